// The workbook side of the main dialog: the texts with which a workbook is opened and the
// colours of the Excel field list.
#pragma once
#include "framework/String.h"
#include <windows.h>

// Normal text colour of a field item, and the colour of the selected (marked) field.
constexpr COLORREF kFieldTextColor = RGB(65, 105, 225);
constexpr COLORREF kFieldMarkedColor = RGB(230, 0, 17);
constexpr COLORREF kFieldBackColor = RGB(255, 255, 255);

// The query that lists the columns of the workbook's worksheet named Sheet1 (whatever its
// place among the worksheets).
constexpr const char kFieldQuery[] = "select * from [Sheet1$];";

// The connect string of a workbook: driver name and path inserted as they are.
CString ExcelConnectString(const char* driver, const char* path);
// The connect string of the workbook at `path` with the installed driver chosen for it.
CString WorkbookConnectString(const char* path);
