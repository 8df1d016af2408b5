// The usage dialog: its composed text, read-only but selectable, closed by OK and Escape.
#include "usage/UsageDlg.h"
#include "res/resource.h"
#include "support/ModalDriver.h"
#include <gtest/gtest.h>

TEST(UsageDialogTest, TextIsTheHeadingTheStepsAndTheClosingLineInOrder)
{
    const char expected[] =
        "\t\t\t使用方法\r\n\r\n"
        "    本工具是一款完全免费,无毒无污染的绿色软件,您可以自由使用和传播,\r\n如果在使用过程中发生BUG,"
        "请发送邮件到support@example.com,多谢!\r\n本软件具体操作步骤:\r\n"
        "1.首先选择数据源--MS Excel文件,选定后,软件将打开源文件,并将Excel文\r\n    件的所有字段显示到列表中."
        "(默认工作簿名称为Sheet1,所有字段类型为\r\n    文本型)\r\n"
        "2.输入SQL-Server数据库主机名称或者IP地址.\r\n"
        "3.设定SQL-SERVER服务器的相关参数.\r\n"
        "4.在下拉列表框中选择SQL-SERVER目的数据表,选定后列表将显示所有字\r\n    段,但不包括属性为Identity的字段.\r\n"
        "5.建立字段映射关系:通过鼠标双击或者点击相应按钮即可操作.\r\n"
        "6.建立字段映射完成后,点击[数据转换]按钮,软件将开始工作.\r\n"
        "7.界面中的所有列表均支持鼠标双击操作.\r\n\r\n祝使用愉快!\r\n"
        "\r\n\t\t\t\tNorvale 软件工作室";
    EXPECT_STREQ(expected, ComposeUsageText());
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
