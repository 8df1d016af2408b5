// The main dialog's workbook side through the real Excel driver: choosing a workbook in the
// real file dialog, listing the columns of Sheet1, marking the selected field, and the
// warnings of workbooks that cannot be read.
#include "app/ConverterDlg.h"
#include "app/SharedImageList.h"
#include "support/DialogSequence.h"
#include "source/ExcelDriver.h"
#include "source/Fixtures.h"
#include "source/WorkbookFields.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
const char kDbErrorPrefix[] = "Excel数据库错误:";

class WorkbookFieldsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!g_imageList.m_hImageList) CreateSharedImageList();
    }
    void SetUp() override
    {
        ASSERT_FALSE(FindExcelDriver().IsEmpty()) << "no Excel driver installed";
        app.m_pMainWnd = &dlg;
    }
    void TearDown() override { app.m_pMainWnd = nullptr; }

    void Load(const char* fixture)
    {
        dlg.m_strExcelPath = FixturePath(fixture);
        dlg.LoadExcelFields(dlg.m_strExcelPath);
    }
    std::vector<CString> Fields() const { return ListBoxTexts(dlg.m_listFields); }
    COLORREF TextColor(int i) const { return dlg.m_listFields.GetItemStyle(i)->crText; }
    // Field `marked` is selected and in the marking colour, every other in the normal colour.
    void ExpectOnlyMarked(int marked) const
    {
        EXPECT_EQ(marked, dlg.m_nFieldSel);
        EXPECT_EQ(marked, dlg.m_nFieldMarked);
        for (int i = 0; i < dlg.m_listFields.GetCount(); ++i)
            EXPECT_EQ(i == marked ? kFieldMarkedColor : kFieldTextColor, TextColor(i)) << "item " << i;
    }
    // A mapping row as the mapping table makes it, with its type code.
    void AddMappingRow()
    {
        int row = dlg.m_listMapping.InsertItem(dlg.m_listMapping.GetItemCount(), "one", 0);
        dlg.m_listMapping.SetItemText(row, 1, "id");
        dlg.m_listMapping.SetItemText(row, 2, "int");
        dlg.m_astrMappedTypes.Add("56");
    }
    // Clicks a field the way the mouse does: the list box selects it and notifies the dialog.
    void ClickField(int i)
    {
        RECT r;
        dlg.m_listFields.GetItemRect(i, &r);
        LPARAM at = MAKELPARAM(r.left + 10, (r.top + r.bottom) / 2);
        dlg.m_listFields.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        dlg.m_listFields.SendMessage(WM_LBUTTONUP, 0, at);
    }

    CWinApp app{"SheetMover"};
    CConverterDlg dlg;
};

// Creates folder `name` under %TEMP% with an empty file for each of `files` in it; returns
// the folder's path. RemoveTempFolder removes them again.
CString MakeTempFolder(const char* name, std::initializer_list<const char*> files)
{
    char temp[MAX_PATH] = "";
    ::GetTempPathA(MAX_PATH, temp);
    CString folder = CString(temp) + name;
    ::CreateDirectoryA(folder, nullptr);
    for (const char* f : files) {
        HANDLE h = ::CreateFileA(folder + "\\" + f, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        EXPECT_NE(INVALID_HANDLE_VALUE, h) << f;
        ::CloseHandle(h);
    }
    return folder;
}
void RemoveTempFolder(const CString& folder, std::initializer_list<const char*> files)
{
    for (const char* f : files) ::DeleteFileA(folder + "\\" + f);
    ::RemoveDirectoryA(folder);
}

// The names the open-file dialog lists in its file view, sorted.
std::vector<std::string> ListedFiles(HWND fd)
{
    HWND view = ::FindWindowExA(fd, nullptr, "SHELLDLL_DefView", nullptr);
    HWND list = view ? ::FindWindowExA(view, nullptr, "SysListView32", nullptr) : nullptr;
    std::vector<std::string> names;
    if (!list) return names;
    const int count = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[MAX_PATH] = "";
        LVITEMA item = {};
        item.pszText = text;
        item.cchTextMax = sizeof text;
        ::SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        names.push_back(text);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Shows this process a machine registry whose only ODBC drivers are `drivers` (in this
// order), until the object goes.
class MachineDriversOverride {
public:
    explicit MachineDriversOverride(std::initializer_list<const char*> drivers)
    {
        ::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\SheetMoverTests\\DriversMachine", 0, nullptr,
                          REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &m_root, nullptr);
        HKEY list = nullptr;
        ::RegCreateKeyExA(m_root, "Software\\ODBC\\ODBCINST.INI\\ODBC Drivers", 0, nullptr, REG_OPTION_VOLATILE,
                          KEY_ALL_ACCESS, nullptr, &list, nullptr);
        for (const char* d : drivers)
            ::RegSetValueExA(list, d, 0, REG_SZ, reinterpret_cast<const BYTE*>("Installed"), sizeof "Installed");
        ::RegCloseKey(list);
        ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, m_root);
    }
    ~MachineDriversOverride()
    {
        ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        ::RegDeleteTreeA(m_root, nullptr);
        ::RegCloseKey(m_root);
        ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\SheetMoverTests\\DriversMachine");
    }
    MachineDriversOverride(const MachineDriversOverride&) = delete;
    MachineDriversOverride& operator=(const MachineDriversOverride&) = delete;

private:
    HKEY m_root = nullptr;
};

void ExpectWarning(const MessageBoxSeen& box)
{
    EXPECT_TRUE(box.shown);
    EXPECT_STREQ("警告:", box.caption);
    EXPECT_EQ(SystemIcon(IDI_EXCLAMATION), box.icon);
}

// Whether a pixel lies between the back colour and the text colour (a smoothed glyph edge
// mixes the two), and is not the back colour itself.
bool IsInk(COLORREF p, COLORREF back, COLORREF text)
{
    if (p == back) return false;
    const int channels[3][3] = {{GetRValue(p), GetRValue(back), GetRValue(text)},
                                {GetGValue(p), GetGValue(back), GetGValue(text)},
                                {GetBValue(p), GetBValue(back), GetBValue(text)}};
    // The share of the text colour, taken from the channel in which the two differ most.
    double share = 0;
    int widest = 0;
    for (auto& c : channels)
        if (std::abs(c[2] - c[1]) > widest) { widest = std::abs(c[2] - c[1]); share = double(c[0] - c[1]) / (c[2] - c[1]); }
    if (share <= 0 || share > 1.05) return false;
    for (auto& c : channels)
        if (std::abs(c[1] + share * (c[2] - c[1]) - c[0]) > 12) return false;
    return true;
}

// The ink pixels of each colour inside one item of the field list, read from the screen.
struct ItemInk {
    int normal = 0;
    int marked = 0;
    int other = 0;   // neither white nor either ink
};

ItemInk ReadItem(CColorListBox& list, int i)
{
    list.UpdateWindow();
    RECT r;
    list.GetItemRect(i, &r);
    HDC src = ::GetDC(list.m_hWnd);
    HDC mem = ::CreateCompatibleDC(src);
    HBITMAP bmp = ::CreateCompatibleBitmap(src, r.right - r.left, r.bottom - r.top);
    HGDIOBJ old = ::SelectObject(mem, bmp);
    ::BitBlt(mem, 0, 0, r.right - r.left, r.bottom - r.top, src, r.left, r.top, SRCCOPY);
    ItemInk ink;
    for (int y = 0; y < r.bottom - r.top; ++y)
        for (int x = 0; x < r.right - r.left; ++x) {
            COLORREF p = ::GetPixel(mem, x, y);
            if (p == kFieldBackColor) continue;
            if (IsInk(p, kFieldBackColor, kFieldTextColor)) ++ink.normal;
            else if (IsInk(p, kFieldBackColor, kFieldMarkedColor)) ++ink.marked;
            else ++ink.other;
        }
    ::SelectObject(mem, old);
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
    ::ReleaseDC(list.m_hWnd, src);
    return ink;
}
}

TEST_F(WorkbookFieldsTest, ListsTheColumnsOfSheet1InOrderInTheNormalColour)
{
    RunModal(dlg, [&](HWND) {
        Load("three_columns.xls");
        auto names = Fields();
        ASSERT_EQ(3u, names.size());
        EXPECT_STREQ("one", names[0]);
        EXPECT_STREQ("two", names[1]);
        EXPECT_STREQ("three", names[2]);
        for (int i = 0; i < 3; ++i) {
            const ListItemStyle* s = dlg.m_listFields.GetItemStyle(i);
            EXPECT_EQ(kFieldBackColor, s->crBack);
            EXPECT_EQ(kFieldTextColor, s->crText);
            EXPECT_EQ(0u, s->nFormat);
            EXPECT_EQ(static_cast<UINT>(DT_VCENTER), s->nFormatEx);
            EXPECT_EQ(22, static_cast<int>(dlg.m_listFields.SendMessage(LB_GETITEMHEIGHT, static_cast<WPARAM>(i))));
            ItemInk ink = ReadItem(dlg.m_listFields, i);
            EXPECT_GT(ink.normal, 10) << i;
            EXPECT_EQ(0, ink.marked) << i;
            EXPECT_EQ(0, ink.other) << i;
        }
        EXPECT_EQ(-1, dlg.m_nFieldSel);
        EXPECT_EQ(-1, dlg.m_nFieldMarked);

        // Loading again replaces the items, and keeps the selection indices.
        dlg.m_nFieldSel = dlg.m_nFieldMarked = 1;
        Load("chinese_header.xls");
        names = Fields();
        ASSERT_EQ(3u, names.size());
        EXPECT_STREQ("姓名", names[0]);
        EXPECT_STREQ("年龄", names[1]);
        EXPECT_STREQ("备注", names[2]);
        EXPECT_EQ(1, dlg.m_nFieldSel);
        EXPECT_EQ(1, dlg.m_nFieldMarked);
    });
}

TEST_F(WorkbookFieldsTest, SelectingAFieldMarksItAndGivesThePreviousOneItsNormalColour)
{
    RunModal(dlg, [&](HWND) {
        Load("three_columns.xls");
        ClickField(2);
        ExpectOnlyMarked(2);
        ClickField(0);
        ExpectOnlyMarked(0);
        // What the list shows: item 0 in the marking colour, item 2 in the normal one, and no
        // selection highlight.
        ItemInk ink0 = ReadItem(dlg.m_listFields, 0);
        ItemInk ink2 = ReadItem(dlg.m_listFields, 2);
        EXPECT_GT(ink0.marked, 10);
        EXPECT_EQ(0, ink0.normal);
        EXPECT_GT(ink2.normal, 10);
        EXPECT_EQ(0, ink2.marked);

        // Clicking the marked field again changes nothing.
        ClickField(0);
        ExpectOnlyMarked(0);
    });
}

TEST_F(WorkbookFieldsTest, UnreadableWorkbooksShowTheDriversTextAndLeaveTheList)
{
    RunModal(dlg, [&](HWND) {
        Load("three_columns.xls");
        ClickField(1);
        struct Case { const char* fixture; const char* mentions; } cases[] = {
            {"no_sheet1.xls", "Sheet1"}, {"corrupt.xls", "corrupt.xls"}, {"does_not_exist.xls", "does_not_exist.xls"}};
        for (const Case& c : cases) {
            MessageBoxSeen box = CatchMessageBox([&] { Load(c.fixture); });
            ExpectWarning(box);
            EXPECT_EQ(0, box.text.Find(kDbErrorPrefix)) << c.fixture << ": " << box.text;
            EXPECT_GT(box.text.GetLength(), static_cast<int>(sizeof kDbErrorPrefix) + 10) << c.fixture;
            EXPECT_GE(box.text.Find(c.mentions), 0) << box.text;
            EXPECT_EQ(3u, Fields().size()) << c.fixture;
            EXPECT_EQ(kFieldMarkedColor, TextColor(1));
            EXPECT_EQ(1, dlg.m_nFieldMarked);
        }
    });
}

TEST_F(WorkbookFieldsTest, WithoutAnExcelDriverTheOpenFailsWithTheDriverManagersText)
{
    // This process alone sees an empty machine registry: the installer then lists no driver.
    HKEY empty = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\SheetMoverTests\\EmptyMachine", 0,
                                               nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &empty, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, empty));
    CString driver = FindExcelDriver();
    ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    ::RegCloseKey(empty);
    ASSERT_TRUE(driver.IsEmpty()) << "the override did not hide the drivers";

    RunModal(dlg, [&](HWND) {
        Load("three_columns.xls");
        ::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\SheetMoverTests\\EmptyMachine", 0, nullptr,
                          REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &empty, nullptr);
        ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, empty);
        MessageBoxSeen box = CatchMessageBox([&] { Load("chinese_header.xls"); });
        ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        ::RegCloseKey(empty);
        ExpectWarning(box);
        EXPECT_EQ(0, box.text.Find(kDbErrorPrefix)) << box.text;
        EXPECT_GT(box.text.GetLength(), static_cast<int>(sizeof kDbErrorPrefix) + 10) << box.text;
        auto names = Fields();
        ASSERT_EQ(3u, names.size());
        EXPECT_STREQ("one", names[0]);
    });
}

TEST_F(WorkbookFieldsTest, TheFileDialogOffersBothWorkbookFormatsFromTheCurrentFolderAndCancelChangesNothing)
{
    RunModal(dlg, [&](HWND h) {
        Load("three_columns.xls");
        ::SetDlgItemTextA(h, IDC_EXCEL_PATH, dlg.m_strExcelPath);
        AddMappingRow();
        CString title, filter, folder;
        int filters = 0;
        DialogSequenceResult r = RunDialogSequence([&] { ClickButton(h, IDC_BROWSE_EXCEL); }, {[&](HWND fd) {
            title = WindowText(fd);
            HWND types = ::GetDlgItem(fd, cmb1);
            filters = static_cast<int>(::SendMessageA(types, CB_GETCOUNT, 0, 0));
            filter = WindowText(types);
            char path[MAX_PATH] = "";
            ::SendMessageA(fd, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(path));
            folder = path;
            EXPECT_FALSE(::IsWindowEnabled(h));   // modal over the main dialog
            ::SendMessageA(fd, WM_COMMAND, IDCANCEL, 0);
        }});
        EXPECT_EQ(1, r.handled);
        EXPECT_EQ(0, r.unexpected);   // no message box after a cancel
        EXPECT_STREQ("打开文件...", title);
        EXPECT_EQ(1, filters);
        EXPECT_STREQ("Microsoft Excel File(*.xls;*.xlsx)", filter);
        char current[MAX_PATH] = "";
        ::GetCurrentDirectoryA(MAX_PATH, current);
        EXPECT_EQ(0, lstrcmpiA(current, folder)) << folder;

        EXPECT_STREQ(FixturePath("three_columns.xls"), dlg.m_strExcelPath);
        EXPECT_STREQ(FixturePath("three_columns.xls"), WindowText(::GetDlgItem(h, IDC_EXCEL_PATH)));
        EXPECT_EQ(3u, Fields().size());
        EXPECT_EQ(1, dlg.m_listMapping.GetItemCount());
        EXPECT_EQ(1, dlg.m_astrMappedTypes.GetSize());
    });
}

TEST_F(WorkbookFieldsTest, TheFileDialogListsXlsXlsxAndXlsmWorkbooksAndNoOtherFile)
{
    const auto files = {"a.xls", "b.xlsx", "c.xlsm", "D.XLSX", "e.xlsb", "f.csv", "g.xlt", "h.xlsx.txt", "i.xltx"};
    const CString folder = MakeTempFolder("工作簿格式", files);
    char before[MAX_PATH] = "";
    ::GetCurrentDirectoryA(MAX_PATH, before);
    ASSERT_TRUE(::SetCurrentDirectoryA(folder));   // the dialog opens on the current folder
    std::vector<std::string> listed;
    RunModal(dlg, [&](HWND h) {
        RunDialogSequence([&] { ClickButton(h, IDC_BROWSE_EXCEL); }, {[&](HWND fd) {
            PumpMessages(200);
            listed = ListedFiles(fd);
            ::SendMessageA(fd, WM_COMMAND, IDCANCEL, 0);
        }});
    });
    ::SetCurrentDirectoryA(before);
    RemoveTempFolder(folder, files);
    EXPECT_EQ((std::vector<std::string>{"D.XLSX", "a.xls", "b.xlsx", "c.xlsm"}), listed);
}

TEST_F(WorkbookFieldsTest, AnExcel2007WorkbookIsOpenedWithTheDriverThatNamesXlsx)
{
    // The .xls fixture under an .xlsx name: the installed driver reads a workbook by its
    // content, so only the driver chosen by the name can make it fail.
    const auto files = {"三列.xlsx", "三列.xls"};
    const CString folder = MakeTempFolder("驱动选择", {});
    for (const char* f : files) ASSERT_TRUE(::CopyFileA(FixturePath("three_columns.xls"), folder + "\\" + f, FALSE));
    const CString xlsx = folder + "\\三列.xlsx", xls = folder + "\\三列.xls";
    const CString installed = FindExcelDriver();
    RunModal(dlg, [&](HWND) {
        dlg.m_strExcelPath = xlsx;
        dlg.LoadExcelFields(dlg.m_strExcelPath);
        EXPECT_EQ(3u, Fields().size()) << "the installed driver did not read the renamed workbook";

        // A machine whose first driver naming xlsx cannot be loaded: the .xlsx goes to it and
        // fails, the .xls still goes to the installed one.
        MachineDriversOverride machine({installed, "Unloadable Excel Driver (*.xlsx)"});
        EXPECT_STREQ("Unloadable Excel Driver (*.xlsx)", FindExcelDriverFor(xlsx));
        EXPECT_STREQ(installed, FindExcelDriverFor(xls));
        dlg.m_listFields.RemoveAllItems();
        MessageBoxSeen box = CatchMessageBox([&] { dlg.LoadExcelFields(dlg.m_strExcelPath); });
        ExpectWarning(box);
        EXPECT_EQ(0, box.text.Find(kDbErrorPrefix)) << box.text;
        EXPECT_EQ(0u, Fields().size());
        dlg.m_strExcelPath = xls;
        box = CatchMessageBox([&] { dlg.LoadExcelFields(dlg.m_strExcelPath); });
        EXPECT_FALSE(box.shown) << box.text;
        EXPECT_EQ(3u, Fields().size());
    });
    RemoveTempFolder(folder, files);
}

TEST_F(WorkbookFieldsTest, ChoosingAWorkbookEmptiesTheMappingTableEvenWhenItCannotBeOpened)
{
    RunModal(dlg, [&](HWND h) {
        Load("three_columns.xls");
        AddMappingRow();
        MessageBoxSeen box;
        DialogSequenceResult r = RunDialogSequence([&] { ClickButton(h, IDC_BROWSE_EXCEL); },
                                                   {ChooseFile(FixturePath("corrupt.xls")), ReadMessageBox(box)});
        EXPECT_EQ(2, r.handled);
        ExpectWarning(box);
        EXPECT_EQ(0, box.text.Find(kDbErrorPrefix)) << box.text;
        // The path is the new one, the list the old one, the mapping gone.
        EXPECT_STREQ(FixturePath("corrupt.xls"), dlg.m_strExcelPath);
        EXPECT_STREQ(FixturePath("corrupt.xls"), WindowText(::GetDlgItem(h, IDC_EXCEL_PATH)));
        EXPECT_EQ(3u, Fields().size());
        EXPECT_EQ(0, dlg.m_listMapping.GetItemCount());
        EXPECT_EQ(0, dlg.m_astrMappedTypes.GetSize());

        // A readable one: listed, and again no mapping left.
        AddMappingRow();
        r = RunDialogSequence([&] { ClickButton(h, IDC_BROWSE_EXCEL); },
                              {ChooseFile(FixturePath("chinese_header.xls"))});
        EXPECT_EQ(1, r.handled);
        EXPECT_EQ(0, r.unexpected);
        EXPECT_STREQ("姓名", Fields().at(0));
        EXPECT_EQ(0, dlg.m_listMapping.GetItemCount());
        EXPECT_EQ(0, dlg.m_astrMappedTypes.GetSize());
    });
}

TEST_F(WorkbookFieldsTest, AWorkbookInFoldersWithChineseNamesIsListed)
{
    // %TEMP%\工作簿 数据\二级目录\中文表头.xls, a copy of the Chinese-header fixture.
    char temp[MAX_PATH] = "";
    ::GetTempPathA(MAX_PATH, temp);
    CString folder = CString(temp) + "工作簿 数据";
    ::CreateDirectoryA(folder, nullptr);
    folder += "\\二级目录";
    ::CreateDirectoryA(folder, nullptr);
    CString path = folder + "\\中文表头.xls";
    ASSERT_TRUE(::CopyFileA(FixturePath("chinese_header.xls"), path, FALSE)) << path;

    RunModal(dlg, [&](HWND h) {
        DialogSequenceResult r = RunDialogSequence([&] { ClickButton(h, IDC_BROWSE_EXCEL); }, {ChooseFile(path)});
        EXPECT_EQ(1, r.handled);
        EXPECT_EQ(0, r.unexpected) << "a warning was shown";
        EXPECT_EQ(0, lstrcmpiA(path, dlg.m_strExcelPath)) << dlg.m_strExcelPath;
        EXPECT_STREQ(dlg.m_strExcelPath, WindowText(::GetDlgItem(h, IDC_EXCEL_PATH)));
        auto names = Fields();
        ASSERT_EQ(3u, names.size());
        EXPECT_STREQ("姓名", names[0]);
        EXPECT_STREQ("年龄", names[1]);
        EXPECT_STREQ("备注", names[2]);
    });
    ::DeleteFileA(path);
    ::RemoveDirectoryA(folder);
    ::RemoveDirectoryA(CString(temp) + "工作簿 数据");
}
