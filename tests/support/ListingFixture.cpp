#include "support/ListingFixture.h"
#include "support/Fixtures.h"
#include "app/SharedImageList.h"
#include "destination/DestinationConnection.h"
#include "destination/DestinationSettings.h"
#include <algorithm>

void ListingFixture::SetUpTestSuite()
{
    if (!g_imageList.m_hImageList) CreateSharedImageList();
    CreateFreshDatabase(kListingDatabase);
    for (const char* sql : {
             "create table Orders (OrderID int identity(1,1) not null)",
             "create table Customers (CustomerID int identity(1,1) not null, Name nvarchar(40), City varchar(20), "
             "Balance money)",
             "create table [员工] (id int identity(1,1) not null, 编号 int, 姓名 nvarchar(50), 入职日期 datetime, "
             "工资 decimal(10,2), 资料 xml, 位置 geography)",
             "create table Items (code char(5))",
         })
        StandInExec(kListingDatabase, sql);
    CreateFreshDatabase(kQuotingDatabase);
    for (const char* sql : {
             "create table [it's] (a int identity(1,1) not null, b varchar(5))",
             "create table \"乚 x]\" (c bigint)",   // SQLite knows no "]]" inside brackets
             "create table [order] (d bit, e nchar(2))",
         })
        StandInExec(kQuotingDatabase, sql);
}

void ListingFixture::SetUp()
{
    app.m_pMainWnd = &dlg;
    DestinationSettings::SetDefaults();
}

void ListingFixture::TearDown()
{
    app.m_pMainWnd = nullptr;
    g_pConnection.Release();
}

DialogSequenceResult ListingFixture::ListTables(const char* server, const char* database, const char* login,
                                                const char* password, std::vector<MessageBoxSeen>* boxes)
{
    ::SetDlgItemTextA(main, IDC_SERVER, server);
    std::vector<DialogHandler> handlers;
    handlers.push_back([&](HWND settings) {
        EXPECT_EQ(main, ::GetWindow(settings, GW_OWNER));   // owned by the main window ...
        EXPECT_FALSE(::IsWindowEnabled(main));              // ... which it disables meanwhile
        ::SetDlgItemTextA(settings, IDC_DB_NAME, database);
        ::SetDlgItemTextA(settings, IDC_LOGIN, login);
        ::SetDlgItemTextA(settings, IDC_PASSWORD, password);
        confirmedTick = ::GetTickCount();
        ClickButton(settings, IDOK);
    });
    if (boxes) {
        boxes->assign(4, MessageBoxSeen());
        for (MessageBoxSeen& box : *boxes) handlers.push_back(ReadMessageBox(box));
        handlers[1] = [this, first = handlers[1]](HWND box) {
            firstBoxTick = ::GetTickCount();
            first(box);
        };
    }
    DialogSequenceResult r = RunDialogSequence([&] { ClickButton(main, IDC_DESTINATION); }, handlers);
    if (boxes) boxes->resize(static_cast<size_t>(std::max(0, r.handled - 1)));
    return r;
}

DialogSequenceResult ListingFixture::SelectTable(const char* table, std::vector<MessageBoxSeen>* boxes)
{
    int index = static_cast<int>(dlg.m_comboTables.SendMessage(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                               reinterpret_cast<LPARAM>(table)));
    EXPECT_GE(index, 0) << table;
    dlg.m_comboTables.SetCurSel(index);
    std::vector<DialogHandler> handlers;
    if (boxes) {
        boxes->assign(4, MessageBoxSeen());
        for (MessageBoxSeen& box : *boxes) handlers.push_back(ReadMessageBox(box));
    }
    DialogSequenceResult r = RunDialogSequence(
        [&] {
            ::SendMessageA(main, WM_COMMAND, MAKEWPARAM(IDC_TABLE_COMBO, CBN_SELCHANGE),
                           reinterpret_cast<LPARAM>(dlg.m_comboTables.m_hWnd));
        },
        handlers);
    if (boxes) boxes->resize(static_cast<size_t>(r.handled));
    return r;
}

std::vector<CString> ListingFixture::TableBox() const
{
    std::vector<CString> names;
    for (int i = 0; i < dlg.m_comboTables.GetCount(); ++i) {
        CString name;
        dlg.m_comboTables.GetLBText(i, name);
        names.push_back(name);
    }
    return names;
}

std::vector<ListingFixture::ColumnRow> ListingFixture::ColumnRows() const
{
    std::vector<ColumnRow> rows;
    for (int i = 0; i < dlg.m_listColumns.GetItemCount(); ++i)
        rows.push_back({dlg.m_listColumns.GetItemText(i, 0), dlg.m_listColumns.GetItemText(i, 1),
                        dlg.m_listColumns.GetItemImage(i)});
    return rows;
}

std::vector<CString> ListingFixture::ColumnTypes() const
{
    std::vector<CString> codes;
    for (int i = 0; i < dlg.m_astrColumnTypes.GetSize(); ++i) codes.push_back(dlg.m_astrColumnTypes[i]);
    return codes;
}

std::vector<CString> ListingFixture::FieldList() const
{
    return ListBoxTexts(dlg.m_listFields);
}

void ListingFixture::AddMappingRow()
{
    dlg.m_listMapping.InsertItem(0, "姓名", 0);
    dlg.m_listMapping.SetItemText(0, 1, "Name");
    dlg.m_listMapping.SetItemText(0, 2, "nvarchar");
    dlg.m_astrMappedTypes.Add("231");
    dlg.m_listFields.AddItem("stale");
}

CString ListingFixture::FieldsWorkbook()
{
    return FixtureBeside(__FILE__, "fields.xls");
}
