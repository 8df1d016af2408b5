// The program's texts for the user, each in one place: message box captions and texts, the
// status line, the list headings and the file dialog's title. Texts with %s or %d are
// formats for CString::Format.
#pragma once

// Message box captions.
constexpr const char kNoticeCaption[] = "提示:";
constexpr const char kWarningCaption[] = "警告:";

// Start-up.
constexpr const char kNoExcelDriverText[] = "未安装Microsoft Excel驱动程序,不能运行!";

// The workbook.
constexpr const char kOpenWorkbookTitle[] = "打开文件...";
// The open-file dialog's one entry: both workbook formats, macro-enabled ones included.
constexpr const char kWorkbookFileFilter[] = "Microsoft Excel File(*.xls;*.xlsx)|*.xls;*.xlsx;*.xlsm||";
constexpr const char kWorkbookOpenFailedText[] = "打开Excel文件失败!\n\n请检查您的源文件是否有误后再重新操作.";
constexpr const char kNoSheet1Text[] = "指定Excel文件中不存在Sheet1工作表,操作失败!";
constexpr const char kWorkbookErrorFormat[] = "Excel数据库错误:%s";

// The destination.
constexpr const char kConnectionFailedText[] = "数据库连接失败，请确认数据源是否配置正确\n或者您的本地网络是否连通!\n";
constexpr const char kQueryFailedText[] = "数据库操作异常,终止运行!";
constexpr const char kEnterDatabaseText[] = "请输入目的数据库名称!";

// The field mapping.
constexpr const char kMappingIncompleteForNewText[] = "存在不完整的字段映射,不能建立新的字段映射关系!";
constexpr const char kFieldUnpairedFormat[] = "Excel字段%s尚未设置对应的SQL映射字段.\n请一一设置字段映射关系.";
constexpr const char kColumnUnpairedFormat[] = "SQL-Server字段%s尚未设置对应的Excel映射字段.\n请一一设置字段映射关系.";

// The conversion.
constexpr const char kNoMappingText[] = "尚未建立字段映射表,不能进行数据转换!";
constexpr const char kMappingIncompleteText[] = "存在不完整的字段映射,不能进行数据转换!";
constexpr const char kSheetOpenFailedText[] = "不能打开指定的[Sheet1]工作表!\n\n请检查您的源文件是否有误后再重新操作.";
constexpr const char kDestinationOpenFailedText[] = "打开目的SQL-Server数据库失败!";
constexpr const char kUnsupportedTypeFormat[] = "字段%s的数据类型不受支持,数据转换中止!";
constexpr const char kWorkbookExceptionText[] = "打开Excel文件时发生异常:";
constexpr const char kConvertingText[] = "正在转换数据...";
constexpr const char kStoppedFormat[] = "数据转换中止,已导入%d条记录.";
constexpr const char kDoneFormat[] = "数据转换完成,共计导入%d条记录.";

// The headings of the mapping list and the column list.
constexpr const char kMappingFieldHeading[] = "Excel字段名称";
constexpr const char kMappingColumnHeading[] = "SQL字段名称";
constexpr const char kMappingTypeHeading[] = "SQL字段数据类型";
constexpr const char kColumnNameHeading[] = "字段名称";
constexpr const char kColumnTypeHeading[] = "数据类型";
