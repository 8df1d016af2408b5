// Whole conversion runs through the real chain: the workbook through the Excel driver, the
// main dialog's commands, FreeTDS and the SQL Server stand-in; what landed is read back.
#include <winsock2.h>
#include "support/ListingFixture.h"
#include "app/Texts.h"
#include "destination/DestinationConnection.h"
#include "support/Fixtures.h"
#include "support/SilentLink.h"
#include "destination/DestinationSettings.h"
#include "framework/AdoConnection.h"
#include "framework/AdoRecordset.h"
#include "framework/AdoError.h"
#include "destination/ConnectionString.h"
#include <gtest/gtest.h>
#include <atomic>
#include <cstring>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {
constexpr const char kDatabase[] = "convert";
const char* const kFields[] = {"编号", "大数", "金额", "入职日期", "日期文本", "姓名", "地址", "备注", "First Name"};

CString ConvertFixture(const char* name)
{
    return FixtureBeside(__FILE__, name);
}

CString Today()
{
    SYSTEMTIME st;
    ::GetLocalTime(&st);
    CString s;
    s.Format("%04d-%02d-%02d", st.wYear, st.wMonth, st.wDay);
    return s;
}

// Rows of a query on the stand-in: the named columns of each row as text ("<NULL>" for NULL).
std::vector<std::vector<CString>> Query(const char* sql, std::vector<const char*> columns)
{
    std::vector<std::vector<CString>> rows;
    try {
    CConnectionPtr connection;
    connection.CreateInstance();
    connection->Open(DestinationConnectionString(StandInServer(), kDatabase, "sa", kStandInPassword));
    CRecordsetPtr rs;
    rs.CreateInstance();
    rs->Open(sql, connection);
    while (!rs->GetEOF()) {
        std::vector<CString> row;
        for (const char* name : columns) {
            auto v = rs->GetCollect(name);
            row.push_back(v ? *v : CString("<NULL>"));
        }
        rows.push_back(row);
        rs->MoveNext();
    }
    rs->Close();
    connection->Close();
    } catch (const _com_error& e) {
        ADD_FAILURE() << sql << "\n" << ComErrorDescription(e).GetString();
    }
    return rows;
}

int RowCount(const char* table)
{
    CString sql;
    sql.Format("select 编号 from %s", table);
    return static_cast<int>(Query(sql, {"编号"}).size());
}

// The rows of the conversion workbooks (every format holds the same ones) as table 导入 holds
// them after one run, read back in the order they went in; `workbook` names the file in
// failure messages.
void ExpectTheConversionRows(const char* workbook)
{
    std::vector<const char*> columns(std::begin(kFields), std::end(kFields));
    auto rows = Query("select * from 导入 order by id", columns);
    ASSERT_EQ(3u, rows.size()) << workbook;
    std::vector<CString> first = {"1", "5000000000", "116.40739812", "2004-01-01 00:00:00.000", "2004-01-02 00:00:00.000",
                                  "张三", "北京市, 海淀区", "O'Brien", "Ann"};
    std::vector<CString> second = {"2", "-12", "0.00000010", "2004-01-01 13:05:00.000", "2004-01-02 10:00:00.000",
                                   "李四", "1,234.50", "x'); delete from 导入;--", "Bob"};
    for (size_t c = 0; c < 9; ++c) {
        EXPECT_STREQ(first[c], rows[0][c]) << workbook << ": " << kFields[c];
        EXPECT_STREQ(second[c], rows[1][c]) << workbook << ": " << kFields[c];
    }
    // The empty cells: 0, 0, today's date and time, empty texts.
    EXPECT_STREQ("3", rows[2][0]);
    EXPECT_STREQ("0", rows[2][1]) << workbook;
    EXPECT_STREQ("0.00000000", rows[2][2]) << workbook;
    EXPECT_EQ(0, rows[2][3].Find(Today())) << workbook << ": " << rows[2][3].GetString();
    EXPECT_EQ(0, rows[2][4].Find(Today())) << workbook;
    for (size_t c = 5; c < 9; ++c) EXPECT_STREQ("", rows[2][c]) << workbook << ": " << kFields[c];
}
}

class ConversionRunTest : public ListingFixture {
protected:
    static void SetUpTestSuite()
    {
        ListingFixture::SetUpTestSuite();
        CreateFreshDatabase(kDatabase);
        StandInExec(kDatabase,
                    "create table 导入 (id int identity(1,1) not null, 编号 int, 大数 bigint, 金额 decimal(20,8), "
                    "入职日期 datetime, 日期文本 datetime, 姓名 nvarchar(20), 地址 varchar(50), 备注 varchar(100), "
                    "[First Name] varchar(20))");
        StandInExec(kDatabase, "create table 短备注 (编号 int, 备注 varchar(7))");
        StandInExec(kDatabase, "create table 静默 (n int not null, text nvarchar(20))");
    }

    // Opens the workbook, lists the destination and chooses the table, as a user does.
    void OpenBoth(const char* workbook, const char* table)
    {
        dlg.m_strExcelPath = ConvertFixture(workbook);
        dlg.LoadExcelFields(dlg.m_strExcelPath);
        ASSERT_GT(dlg.m_listFields.GetCount(), 0) << workbook;
        ListTables(StandInServer(), kDatabase, "sa", kStandInPassword);
        SelectTable(table);
    }

    int FieldIndex(const char* name)
    {
        for (int i = 0; i < dlg.m_listFields.GetCount(); ++i) {
            CString s;
            dlg.m_listFields.GetText(i, s);
            if (s == name) return i;
        }
        return -1;
    }

    int ColumnIndex(const char* name)
    {
        for (int i = 0; i < dlg.m_listColumns.GetItemCount(); ++i)
            if (dlg.m_listColumns.GetItemText(i, 0) == name) return i;
        return -1;
    }

    // Pairs a field with a column by double-clicking each, as a user does.
    void Pair(const char* field, const char* column)
    {
        int f = FieldIndex(field);
        int c = ColumnIndex(column);
        ASSERT_GE(f, 0) << field;
        ASSERT_GE(c, 0) << column;
        dlg.m_listFields.SetCurSel(f);
        ::SendMessageA(main, WM_COMMAND, MAKEWPARAM(IDC_FIELD_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(dlg.m_listFields.m_hWnd));
        ::SendMessageA(main, WM_COMMAND, MAKEWPARAM(IDC_FIELD_LIST, LBN_DBLCLK), reinterpret_cast<LPARAM>(dlg.m_listFields.m_hWnd));
        dlg.m_listColumns.SetItemState(c, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        NMITEMACTIVATE nm = {};
        nm.hdr.hwndFrom = dlg.m_listColumns.m_hWnd;
        nm.hdr.idFrom = IDC_COLUMN_LIST;
        nm.hdr.code = NM_DBLCLK;
        nm.iItem = c;
        ::SendMessageA(main, WM_NOTIFY, IDC_COLUMN_LIST, reinterpret_cast<LPARAM>(&nm));
    }

    void PairAllByName()
    {
        for (const char* f : kFields) Pair(f, f);
    }

    // Presses the convert button; returns the message boxes it showed.
    std::vector<MessageBoxSeen> Convert()
    {
        std::vector<MessageBoxSeen> boxes(3);
        std::vector<DialogHandler> handlers;
        for (MessageBoxSeen& b : boxes) handlers.push_back(ReadMessageBox(b));
        DialogSequenceResult r = RunDialogSequence([&] { ClickButton(main, IDOK); }, handlers);
        boxes.resize(static_cast<size_t>(r.handled));
        return boxes;
    }

    CString Status() { return WindowText(::GetDlgItem(main, IDC_STATUS)); }
};

TEST_F(ConversionRunTest, EveryValueLandsWholeAndASecondRunInsertsEveryRowAgain)
{
    StandInExec(kDatabase, "delete from 导入");
    Run([&] {
        OpenBoth("conversion.xls", "导入");
        PairAllByName();
        ASSERT_EQ(9, dlg.m_listMapping.GetItemCount());
        EXPECT_TRUE(Convert().empty());
        EXPECT_STREQ("数据转换完成,共计导入3条记录.", Status());
        EXPECT_EQ(9, dlg.m_listMapping.GetItemCount());   // the mapping stays for another run
        EXPECT_FALSE(static_cast<bool>(g_pConnection));  // a complete run releases the connection
    });
    // What the dialog's controls hold once it has been shown; another whole import in the
    // same dialog object adds nothing to it.
    const long drawingObjects = GdiHandlesOwned();
    ExpectTheConversionRows("conversion.xls");

    Run([&] {
        OpenBoth("conversion.xls", "导入");
        PairAllByName();
        Convert();
        Convert();
        EXPECT_STREQ("数据转换完成,共计导入3条记录.", Status());
    });
    EXPECT_EQ(drawingObjects, GdiHandlesOwned());
    EXPECT_EQ(9, RowCount("导入"));
}

// Excel 2007 workbooks chosen in the file dialog as a user does: one written by openpyxl (text
// inline in the sheet), one macro-enabled written by LibreOffice (text in the shared strings,
// numbers such as 1E-007). Their fields are listed and every value lands as from the .xls.
TEST_F(ConversionRunTest, Excel2007WorkbooksChosenInTheFileDialogLandValueForValue)
{
    for (const char* workbook : {"conversion.xlsx", "conversion.xlsm"}) {
        SCOPED_TRACE(workbook);
        StandInExec(kDatabase, "delete from 导入");
        Run([&] {
            DialogSequenceResult r = RunDialogSequence([&] { ClickButton(main, IDC_BROWSE_EXCEL); },
                                                       {ChooseFile(ConvertFixture(workbook))});
            EXPECT_EQ(1, r.handled);
            ASSERT_EQ(0, r.unexpected) << "a warning was shown";
            EXPECT_STREQ(ConvertFixture(workbook), dlg.m_strExcelPath);
            std::vector<CString> fields = ListBoxTexts(dlg.m_listFields);
            ASSERT_EQ(std::size(kFields), fields.size());
            for (size_t i = 0; i < fields.size(); ++i) EXPECT_STREQ(kFields[i], fields[i]);

            ListTables(StandInServer(), kDatabase, "sa", kStandInPassword);
            SelectTable("导入");
            PairAllByName();
            ASSERT_EQ(9, dlg.m_listMapping.GetItemCount());
            EXPECT_TRUE(Convert().empty());
            EXPECT_STREQ("数据转换完成,共计导入3条记录.", Status());
        });
        ExpectTheConversionRows(workbook);
    }
}

TEST_F(ConversionRunTest, SheetWithoutDataRowsInsertsNothingAndReportsZero)
{
    Run([&] {
        OpenBoth("header_only.xls", "导入");
        int before = RowCount("导入");
        Pair("编号", "编号");
        // Even a type code without a class is never looked at when no row comes.
        dlg.m_astrMappedTypes[0] = "241";
        EXPECT_TRUE(Convert().empty());
        EXPECT_STREQ("数据转换完成,共计导入0条记录.", Status());
        EXPECT_EQ(before, RowCount("导入"));
    });
}

TEST_F(ConversionRunTest, IncompleteMappingIsRefused)
{
    Run([&] {
        OpenBoth("conversion.xls", "导入");
        Pair("编号", "编号");
        dlg.m_listFields.SetCurSel(0);
        ::SendMessageA(main, WM_COMMAND, MAKEWPARAM(IDC_FIELD_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(dlg.m_listFields.m_hWnd));
        ::SendMessageA(main, WM_COMMAND, MAKEWPARAM(IDC_FIELD_LIST, LBN_DBLCLK), reinterpret_cast<LPARAM>(dlg.m_listFields.m_hWnd));
        auto boxes = Convert();
        ASSERT_EQ(1u, boxes.size());
        EXPECT_STREQ("存在不完整的字段映射,不能进行数据转换!", boxes[0].text);
        EXPECT_STREQ("提示:", boxes[0].caption);
        EXPECT_STREQ("", Status());
    });
}

TEST_F(ConversionRunTest, UnsupportedTypeStopsWithItsMessage)
{
    Run([&] {
        OpenBoth("conversion.xls", "导入");
        Pair("编号", "编号");
        Pair("姓名", "姓名");
        dlg.m_astrMappedTypes[1] = "241";
        int before = RowCount("导入");
        auto boxes = Convert();
        ASSERT_EQ(1u, boxes.size());
        EXPECT_STREQ("字段姓名的数据类型不受支持,数据转换中止!", boxes[0].text);
        EXPECT_STREQ("提示:", boxes[0].caption);
        EXPECT_EQ(SystemIcon(IDI_INFORMATION), boxes[0].icon);
        EXPECT_STREQ("数据转换中止,已导入0条记录.", Status());
        EXPECT_EQ(before, RowCount("导入"));
    });
}

TEST_F(ConversionRunTest, RefusedStatementStopsTheRunAndSaysHowManyRowsWentIn)
{
    StandInExec(kDatabase, "delete from 短备注");
    Run([&] {
        OpenBoth("conversion.xls", "短备注");
        Pair("编号", "编号");
        Pair("备注", "备注");   // row 2's text is too long for varchar(7)
        auto boxes = Convert();
        ASSERT_EQ(1u, boxes.size());
        EXPECT_STREQ("数据库操作异常,终止运行!", boxes[0].text);
        EXPECT_STREQ("提示:", boxes[0].caption);
        EXPECT_STREQ("数据转换中止,已导入1条记录.", Status());
        EXPECT_TRUE(static_cast<bool>(g_pConnection));   // left open after a failed run
    });
    EXPECT_EQ(1, RowCount("短备注"));
}

TEST_F(ConversionRunTest, UnreadableWorkbookAndMissingFieldShowTheDriversText)
{
    Run([&] {
        OpenBoth("conversion.xls", "导入");
        Pair("编号", "编号");
        dlg.m_strExcelPath = ConvertFixture("missing.xls");
        auto boxes = Convert();
        ASSERT_EQ(1u, boxes.size());
        EXPECT_EQ(0, boxes[0].text.Find("打开Excel文件时发生异常:"));
        EXPECT_GT(boxes[0].text.Find("missing.xls"), 0) << boxes[0].text.GetString();
        EXPECT_STREQ("警告:", boxes[0].caption);
        EXPECT_EQ(SystemIcon(IDI_EXCLAMATION), boxes[0].icon);
        EXPECT_STREQ("数据转换中止,已导入0条记录.", Status());

        // A mapped field the workbook does not have.
        dlg.m_strExcelPath = ConvertFixture("conversion.xls");
        dlg.m_listMapping.SetItemText(0, 0, "没有这列");
        boxes = Convert();
        ASSERT_EQ(1u, boxes.size());
        EXPECT_EQ(0, boxes[0].text.Find("打开Excel文件时发生异常:"));
        EXPECT_GT(boxes[0].text.Find("没有这列"), 0) << boxes[0].text.GetString();
    });
}

TEST_F(ConversionRunTest, DestinationThatCannotBeOpenedShowsBothMessages)
{
    Run([&] {
        OpenBoth("conversion.xls", "导入");
        Pair("编号", "编号");
        DestinationSettings::password = "wrong";
        auto boxes = Convert();
        ASSERT_EQ(2u, boxes.size());
        EXPECT_STREQ(kConnectionFailedText, boxes[0].text);
        EXPECT_STREQ("打开目的SQL-Server数据库失败!", boxes[1].text);
        EXPECT_STREQ("数据转换中止,已导入0条记录.", Status());
    });
}

// The server goes away in the middle of a run (SHUTDOWN from another connection once a few
// hundred rows are in): the run ends with its message and the number of rows that went in.
TEST_F(ConversionRunTest, ServerStoppingInMidRunEndsItWithTheCountOfRowsIn)
{
    constexpr int kStopAfter = 200;
    const CString server = StandInServer(3);
    auto exec = [&](const char* database, const char* sql) {
        CConnectionPtr c;
        c.CreateInstance();
        c->Open(DestinationConnectionString(server, database, "sa", kStandInPassword));
        c->Execute(sql);
        c->Close();
    };
    try {
        exec("", "create database convert");
        exec(kDatabase, "create table 序号 (n int not null, text nvarchar(20))");
    } catch (const _com_error& e) {
        FAIL() << ComErrorDescription(e).GetString();
    }

    std::atomic<int> seen{0};
    std::atomic<bool> stop{false};
    std::atomic<HWND> statusLine{nullptr};
    CString progress;   // the status line as read from this thread while rows went in
    std::thread stopper([&] {
        CConnectionPtr c;
        c.CreateInstance();
        c->Open(DestinationConnectionString(server, kDatabase, "sa", kStandInPassword));
        for (int polls = 0; polls < 3000 && !stop; ++polls) {
            CRecordsetPtr rs;
            rs.CreateInstance();
            rs->Open("select n from 序号", c);
            int rows = 0;
            for (; !rs->GetEOF(); rs->MoveNext()) ++rows;
            rs->Close();
            // While rows go in, the status line counts them and the window keeps answering.
            char text[128] = "";
            DWORD_PTR ignored = 0;
            if (HWND status = statusLine.load(); status && progress.IsEmpty() &&
                ::SendMessageTimeoutA(status, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                                      SMTO_ABORTIFHUNG, 5000, &ignored) &&
                std::atoi(text + sizeof("正在转换数据...") - 1) > 0)
                progress = text;
            if (rows >= kStopAfter && !progress.IsEmpty()) {
                seen = rows;
                try { c->Execute("shutdown with nowait"); } catch (const _com_error&) {}
                return;
            }
            ::Sleep(10);
        }
    });
    Run([&] {
        statusLine = ::GetDlgItem(main, IDC_STATUS);
        dlg.m_strExcelPath = ConvertFixture("many_rows.xls");
        dlg.LoadExcelFields(dlg.m_strExcelPath);
        ListTables(server, kDatabase, "sa", kStandInPassword);
        SelectTable("序号");
        Pair("n", "n");
        Pair("text", "text");
        auto boxes = Convert();
        stop = true;
        ASSERT_EQ(1u, boxes.size());
        EXPECT_STREQ("数据库操作异常,终止运行!", boxes[0].text);
        CString status = Status();
        EXPECT_EQ(0, status.Find("数据转换中止,已导入")) << status.GetString();
        int count = std::atoi(status.Mid(static_cast<int>(sizeof("数据转换中止,已导入") - 1)));
        EXPECT_GE(count, kStopAfter);
        EXPECT_LT(count, 5000);
    });
    stopper.join();
    EXPECT_GE(seen.load(), kStopAfter);
    EXPECT_EQ(0, progress.Find("正在转换数据...")) << progress.GetString();
}

namespace {
// Calls `onProgress` on the user-interface thread each time the status line shows the count
// of a run going on ("正在转换数据..." and a number), by subclassing the line for its life.
class CProgressWatch {
public:
    CProgressWatch(HWND status, std::function<void()> onProgress) : m_hWnd(status), m_onProgress(std::move(onProgress))
    {
        s_watch = this;
        m_previous = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(status, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CProgressWatch::Proc)));
    }
    ~CProgressWatch()
    {
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previous));
        s_watch = nullptr;
    }
    CProgressWatch(const CProgressWatch&) = delete;
    CProgressWatch& operator=(const CProgressWatch&) = delete;

private:
    static LRESULT CALLBACK Proc(HWND h, UINT message, WPARAM w, LPARAM l)
    {
        LRESULT result = ::CallWindowProcA(s_watch->m_previous, h, message, w, l);
        const char* text = reinterpret_cast<const char*>(l);
        const size_t head = std::strlen(kConvertingText);
        if (message == WM_SETTEXT && text && std::strncmp(text, kConvertingText, head) == 0 && text[head])
            s_watch->m_onProgress();
        return result;
    }

    static CProgressWatch* s_watch;
    HWND m_hWnd;
    WNDPROC m_previous;
    std::function<void()> m_onProgress;
};
CProgressWatch* CProgressWatch::s_watch = nullptr;
}

// The link to the server falls silent in mid-run, both sockets left open, as a VPN or Wi-Fi
// link does when it drops: the run stops with its message once the statement has outlasted
// its command timeout and the cancel's answer has not come, before the driver's own second
// wait would end it, and the count in the status line is the number of rows in the table
// (the insert that met the silence never reached the server). Once rows go in, the run's
// connection gets a short command timeout, so that the test waits seconds, not half a minute.
TEST_F(ConversionRunTest, LinkFallingSilentInMidRunStopsItWithTheCountOfRowsThatLanded)
{
    constexpr long kTimeout = 4;
    StandInExec(kDatabase, "delete from 静默");
    CSilentLink link(StandInPort());
    ULONGLONG stopMessageShown = 0;
    Run([&] {
        dlg.m_strExcelPath = ConvertFixture("many_rows.xls");
        dlg.LoadExcelFields(dlg.m_strExcelPath);
        ListTables(link.Server(), kDatabase, "sa", kStandInPassword);
        SelectTable("静默");
        Pair("n", "n");
        Pair("text", "text");
        bool silenced = false;
        CProgressWatch watch(::GetDlgItem(main, IDC_STATUS), [&] {
            if (silenced || !g_pConnection || g_pConnection->GetState() != adStateOpen) return;
            g_pConnection->PutCommandTimeout(kTimeout);
            link.FallSilentAfter(20000);   // a hundred rows or so later
            silenced = true;
        });
        MessageBoxSeen box;
        DialogHandler read = ReadMessageBox(box);
        DialogSequenceResult r = RunDialogSequence([&] { ClickButton(main, IDOK); }, {[&](HWND h) {
                                                       stopMessageShown = ::GetTickCount64();
                                                       read(h);
                                                   }});
        ASSERT_TRUE(silenced) << "the run ended before it showed a count";
        EXPECT_EQ(1, r.handled);
        EXPECT_EQ(0, r.unexpected);
        EXPECT_STREQ("数据库操作异常,终止运行!", box.text);
        CString status = Status();
        EXPECT_EQ(0, status.Find("数据转换中止,已导入")) << status.GetString();
        int counted = std::atoi(status.Mid(static_cast<int>(sizeof("数据转换中止,已导入") - 1)));
        EXPECT_GT(counted, 0);
        EXPECT_EQ(counted, static_cast<int>(Query("select n from 静默", {"n"}).size()));
        EXPECT_FALSE(static_cast<bool>(g_pConnection)) << "the connection held by the silent link is given up";
    });
    ASSERT_NE(0u, link.SilentSince()) << "the link never fell silent";
    ASSERT_NE(0u, stopMessageShown);
    ULONGLONG elapsed = stopMessageShown - link.SilentSince();
    std::printf("the run stopped %llu ms after the link fell silent\n", elapsed);
    EXPECT_GE(elapsed, kTimeout * 1000u);
    EXPECT_LT(elapsed, 2 * kTimeout * 1000u) << "the driver's own give-up comes only then";
}
