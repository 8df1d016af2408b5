// The usage dialog: its composed text, read-only but selectable, closed by OK and Escape.
#include "usage/UsageDlg.h"
#include "res/resource.h"
#include "support/ModalDriver.h"
#include <gtest/gtest.h>

TEST(UsageDialogTest, HeadingIsFollowedByExactlyOneEmptyLine)
{
    CString text = ComposeUsageText();
    EXPECT_EQ(0, text.Find("\t\t\t使用方法\r\n\r\n"));
    EXPECT_NE(0, text.Find("\t\t\t使用方法\r\n\r\n\r\n"));
    EXPECT_GT(text.Find("7.界面中的所有列表均支持鼠标双击操作.\r\n\r\n祝使用愉快!\r\n\r\n\t\t\t\t"), 0);
    EXPECT_GT(text.Find("@example.com"), 0);
}

TEST(UsageDialogTest, ShowsTheTextReadOnlyWithFocusOnOk)
{
    CUsageDlg dlg;
    INT_PTR r = RunModal(dlg, [&](HWND h) {
        HWND edit = ::GetDlgItem(h, IDC_USAGE_TEXT);
        EXPECT_STREQ(ComposeUsageText(), WindowText(edit));
        EXPECT_TRUE(::GetWindowLongA(edit, GWL_STYLE) & ES_READONLY);
        EXPECT_EQ(::GetDlgItem(h, IDOK), ::GetFocus());
        EXPECT_STREQ("MS Excel->SQL-Server数据转换程序用法:", WindowText(::GetDlgItem(h, IDC_USAGE_HEADING)));
        // Typing changes nothing; the text can still be selected.
        ::SendMessageA(edit, WM_CHAR, 'x', 0);
        EXPECT_STREQ(ComposeUsageText(), WindowText(edit));
        ::SendMessageA(edit, EM_SETSEL, 3, 7);
        DWORD from = 0, to = 0;
        ::SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
        EXPECT_EQ(3u, from);
        EXPECT_EQ(7u, to);
        ::SendMessageA(h, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(IDOK, r);
    CUsageDlg again;
    EXPECT_EQ(IDCANCEL, RunModal(again, [&](HWND h) { ::SendMessageA(h, WM_COMMAND, IDCANCEL, 0); }));
}
