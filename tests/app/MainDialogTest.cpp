// The main dialog as it opens, and where: centred on the work area, with the dialogs it opens
// centred over it and kept on the screen unless they placed themselves. Its banner timer, the
// system-menu usage entry, and the Enter and Escape keys.
#include "app/Banner.h"
#include "app/ConverterDlg.h"
#include "support/MainDialogFixture.h"
#include "support/ModalDriver.h"
#include <gtest/gtest.h>

namespace {
class MainDialogTest : public MainDialogFixture {};

RECT WorkArea()
{
    RECT r = {};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

RECT WindowRect(HWND h)
{
    RECT r = {};
    ::GetWindowRect(h, &r);
    return r;
}

void ExpectCentredOn(const RECT& outer, const RECT& inner)
{
    EXPECT_NEAR((outer.left + outer.right) / 2, (inner.left + inner.right) / 2, 2);
    EXPECT_NEAR((outer.top + outer.bottom) / 2, (inner.top + inner.bottom) / 2, 2);
}

// Opens the dialog that `command` of the main dialog `h` shows and returns where it was.
RECT OpenedDialogRect(HWND h, int command)
{
    RECT r = {};
    bool shown = WithNextDialog([&] { ClickButton(h, command); },
                                [&](HWND d) {
                                    r = WindowRect(d);
                                    ::SendMessageA(d, WM_COMMAND, IDCANCEL, 0);
                                });
    EXPECT_TRUE(shown);
    return r;
}

// A dialog on the usage template, owned by the main dialog, that moves or resizes itself in
// OnInitDialog.
class CSelfPlacingDlg : public CDialog {
public:
    CSelfPlacingDlg(CWnd* owner, int x, int y, UINT flags, int cx = 0, int cy = 0)
        : CDialog(IDD_USAGE, owner), m_x(x), m_y(y), m_cx(cx), m_cy(cy), m_flags(flags) {}
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        ::SetWindowPos(m_hWnd, nullptr, m_x, m_y, m_cx, m_cy, m_flags | SWP_NOZORDER | SWP_NOACTIVATE);
        return TRUE;
    }

private:
    int m_x, m_y, m_cx, m_cy;
    UINT m_flags;
};

struct ColumnSeen {
    CString text;
    int width;
};

std::vector<ColumnSeen> Columns(HWND list)
{
    std::vector<ColumnSeen> cols;
    HWND header = reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0));
    int n = static_cast<int>(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        char buf[64] = "";
        LVCOLUMNA c = {};
        c.mask = LVCF_TEXT | LVCF_WIDTH;
        c.pszText = buf;
        c.cchTextMax = sizeof buf;
        ::SendMessageA(list, LVM_GETCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&c));
        cols.push_back({buf, c.cx});
    }
    return cols;
}
}

TEST_F(MainDialogTest, OpensWithTitleBannerServerAndEmptyLists)
{
    RunModal(dlg, [&](HWND h) {
        EXPECT_STREQ("Excel-SQLServer Data Conveter:", WindowText(h));
        EXPECT_STREQ(g_astrBanner[0], WindowText(::GetDlgItem(h, IDC_BANNER)));
        EXPECT_STREQ("(local)", WindowText(::GetDlgItem(h, IDC_SERVER)));
        EXPECT_STREQ("", WindowText(::GetDlgItem(h, IDC_STATUS)));
        EXPECT_STREQ("", WindowText(::GetDlgItem(h, IDC_EXCEL_PATH)));
        EXPECT_EQ(0, dlg.m_listFields.GetCount());
        EXPECT_EQ(0, dlg.m_comboTables.GetCount());
        EXPECT_EQ(0, dlg.m_listColumns.GetItemCount());
        EXPECT_EQ(0, dlg.m_listMapping.GetItemCount());
        EXPECT_EQ(-1, dlg.m_nFieldSel);
        EXPECT_EQ(-1, dlg.m_nColumnSel);
        EXPECT_EQ(-1, dlg.m_nMappingSel);
        EXPECT_EQ(-1, dlg.m_nFieldMarked);
        EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageA(h, WM_GETICON, ICON_BIG, 0)), dlg.m_hIcon);
        EXPECT_EQ(reinterpret_cast<LRESULT>(dlg.m_hIcon), ::SendMessageA(h, WM_QUERYDRAGICON, 0, 0));
    });
}

TEST_F(MainDialogTest, MainDialogOpensCentredOnTheWorkAreaAndItsDialogsOverIt)
{
    RunModal(dlg, [&](HWND h) {
        RECT main = WindowRect(h);
        ExpectCentredOn(WorkArea(), main);
        ExpectCentredOn(main, OpenedDialogRect(h, IDC_DESTINATION));
        ExpectCentredOn(main, OpenedDialogRect(h, IDC_HOWTO));
    });
}

TEST_F(MainDialogTest, DialogsOpenedNearAScreenEdgeLieWhollyOnTheScreen)
{
    RunModal(dlg, [&](HWND h) {
        const RECT work = WorkArea();
        RECT main = WindowRect(h);
        // Mostly past the bottom-right corner: centred over it, the dialog would stick out
        // there, so it moves just far enough in.
        ::SetWindowPos(h, nullptr, work.right - 60, work.bottom - 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        RECT usage = OpenedDialogRect(h, IDC_HOWTO);
        EXPECT_EQ(work.right, usage.right);
        EXPECT_EQ(work.bottom, usage.bottom);
        EXPECT_GE(usage.left, work.left);
        EXPECT_GE(usage.top, work.top);
        // Mostly past the top-left corner.
        ::SetWindowPos(h, nullptr, work.left + 60 - (main.right - main.left), work.top + 60 - (main.bottom - main.top),
                       0, 0, SWP_NOSIZE | SWP_NOZORDER);
        RECT settings = OpenedDialogRect(h, IDC_DESTINATION);
        EXPECT_EQ(work.left, settings.left);
        EXPECT_EQ(work.top, settings.top);
        EXPECT_LE(settings.right, work.right);
        EXPECT_LE(settings.bottom, work.bottom);
    });
}

TEST_F(MainDialogTest, ADialogThatMovedItselfKeepsItsPlaceOneThatOnlyGrewIsStillCentredOnScreen)
{
    RunModal(dlg, [&](HWND h) {
        ::SetWindowPos(h, nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        CSelfPlacingDlg moved(&dlg, 37, 53, SWP_NOSIZE);
        RunModal(moved, [&](HWND d) {
            RECT r = WindowRect(d);
            EXPECT_EQ(37, r.left);
            EXPECT_EQ(53, r.top);
        });
        // Larger than the work area, it keeps its top-left corner (title and first controls)
        // on it.
        const RECT work = WorkArea();
        CSelfPlacingDlg grown(&dlg, 0, 0, SWP_NOMOVE, work.right - work.left + 200, work.bottom - work.top + 120);
        RunModal(grown, [&](HWND d) {
            RECT r = WindowRect(d);
            EXPECT_EQ(work.left, r.left);
            EXPECT_EQ(work.top, r.top);
        });
    });
}

TEST_F(MainDialogTest, ReportListsHaveTheirColumnsStylesAndSharedImageList)
{
    RunModal(dlg, [&](HWND) {
        auto mapping = Columns(dlg.m_listMapping);
        ASSERT_EQ(3u, mapping.size());
        EXPECT_STREQ("Excel字段名称", mapping[0].text);
        EXPECT_EQ(120, mapping[0].width);
        EXPECT_STREQ("SQL字段名称", mapping[1].text);
        EXPECT_EQ(120, mapping[1].width);
        EXPECT_STREQ("SQL字段数据类型", mapping[2].text);
        EXPECT_EQ(150, mapping[2].width);
        auto columns = Columns(dlg.m_listColumns);
        ASSERT_EQ(2u, columns.size());
        EXPECT_STREQ("字段名称", columns[0].text);
        EXPECT_EQ(150, columns[0].width);
        EXPECT_STREQ("数据类型", columns[1].text);
        EXPECT_EQ(120, columns[1].width);
        for (CListCtrl* list : {&dlg.m_listMapping, &dlg.m_listColumns}) {
            EXPECT_EQ(static_cast<DWORD>(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT),
                      list->GetExtendedStyle() & (LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT));
            EXPECT_EQ(g_imageList.m_hImageList, list->GetImageList(LVSIL_SMALL));
            EXPECT_EQ(RGB(69, 69, 69), list->GetTextColor());
            EXPECT_EQ(static_cast<HFONT>(dlg.m_fontLists), list->GetFont());
        }
        EXPECT_EQ(2, g_imageList.GetImageCount());
    });
    EXPECT_EQ(2, g_imageList.GetImageCount());
}

TEST_F(MainDialogTest, BannerTurnsOverEveryTimerTickThroughEightTexts)
{
    RunModal(dlg, [&](HWND h) {
        HWND banner = ::GetDlgItem(h, IDC_BANNER);
        int start = g_nBannerLine;
        ::SendMessageA(h, WM_TIMER, IDT_BANNER, 0);
        EXPECT_EQ((start + 1) % 8, g_nBannerLine);
        EXPECT_STREQ(g_astrBanner[(start + 1) % 8], WindowText(banner));
        for (int i = 0; i < 8; ++i) ::SendMessageA(h, WM_TIMER, IDT_BANNER, 0);   // a full cycle
        EXPECT_EQ((start + 1) % 8, g_nBannerLine);
        EXPECT_STREQ(g_astrBanner[(start + 1) % 8], WindowText(banner));
        // Another timer id changes nothing.
        ::SendMessageA(h, WM_TIMER, 1234, 0);
        EXPECT_EQ((start + 1) % 8, g_nBannerLine);
    });
}

TEST_F(MainDialogTest, BannerTextsHaveTheirForm)
{
    EXPECT_STREQ("欢迎使用MS Excel->SQL-Server数据转换器:", g_astrBanner[0]);
    CString first(g_astrBanner[1]);
    EXPECT_GT(first.Find(' '), 0);
    EXPECT_EQ(first.GetLength() - 1, first.Find(':'));
    for (int i = 2; i < 8; ++i) EXPECT_GT(CString(g_astrBanner[i]).Find(':'), 0) << i;
}

TEST_F(MainDialogTest, SystemMenuEndsWithTheUsageEntryWhichOpensTheUsageDialog)
{
    RunModal(dlg, [&](HWND h) {
        HMENU sys = ::GetSystemMenu(h, FALSE);
        ASSERT_NE(nullptr, sys);
        int n = ::GetMenuItemCount(sys);
        ASSERT_GE(n, 2);
        EXPECT_EQ(static_cast<UINT>(MF_SEPARATOR), ::GetMenuState(sys, static_cast<UINT>(n - 2), MF_BYPOSITION) & MF_SEPARATOR);
        char text[64] = "";
        ::GetMenuStringA(sys, static_cast<UINT>(n - 1), text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ("关于 SHEETMOVER(&A)...", text);
        EXPECT_EQ(static_cast<UINT>(IDM_ABOUTBOX), ::GetMenuItemID(sys, n - 1));

        CString usage;
        bool shown = WithNextDialog([&] { ::SendMessageA(h, WM_SYSCOMMAND, IDM_ABOUTBOX, 0); },
                                    [&](HWND u) {
                                        usage = WindowText(::GetDlgItem(u, IDC_USAGE_TEXT));
                                        EXPECT_FALSE(::IsWindowEnabled(h));   // modal over the main dialog
                                        ::SendMessageA(u, WM_COMMAND, IDOK, 0);
                                    });
        EXPECT_TRUE(shown);
        EXPECT_EQ(0, usage.Find("\t\t\t使用方法\r\n\r\n    本工具"));
        // Button 5 opens the same dialog; Escape closes it.
        shown = WithNextDialog([&] { ClickButton(h, IDC_HOWTO); },
                               [&](HWND u) { ::SendMessageA(u, WM_COMMAND, IDCANCEL, 0); });
        EXPECT_TRUE(shown);
        EXPECT_TRUE(::IsWindow(h));
        EXPECT_TRUE(::IsWindowEnabled(h));
    });
}

TEST_F(MainDialogTest, EnterWithoutMappingShowsTheNoticeAndKeepsTheDialogOpen)
{
    RunModal(dlg, [&](HWND h) {
        // Enter is the default command: the dialog manager turns it into IDOK.
        EXPECT_EQ(IDOK, LOWORD(::SendMessageA(h, DM_GETDEFID, 0, 0)));
        MessageBoxSeen box = CatchMessageBox([&] { ::SendMessageA(h, WM_COMMAND, IDOK, 0); });
        EXPECT_TRUE(box.shown);
        EXPECT_STREQ("尚未建立字段映射表,不能进行数据转换!", box.text);
        EXPECT_STREQ("提示:", box.caption);
        EXPECT_EQ(SystemIcon(IDI_INFORMATION), box.icon);
        EXPECT_TRUE(::IsWindow(h));
        EXPECT_STREQ("", WindowText(::GetDlgItem(h, IDC_STATUS)));
    });
}

TEST_F(MainDialogTest, EscapeEndsTheRunWithCancelAndEmptiesTheStringLists)
{
    INT_PTR r = RunModal(dlg, [&](HWND h) {
        dlg.m_astrColumnTypes.Add("56");
        dlg.m_astrMappedTypes.Add("167");
        dlg.m_astrMappedColumns.Add("name");
        dlg.m_astrMappedFields.Add("姓名");
        ::SendMessageA(h, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(IDCANCEL, r);
    EXPECT_TRUE(dlg.m_astrColumnTypes.IsEmpty());
    EXPECT_TRUE(dlg.m_astrMappedTypes.IsEmpty());
    EXPECT_TRUE(dlg.m_astrMappedColumns.IsEmpty());
    EXPECT_TRUE(dlg.m_astrMappedFields.IsEmpty());
}
