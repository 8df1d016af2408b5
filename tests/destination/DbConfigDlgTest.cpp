// The destination settings dialog: what it shows, what confirming and leaving store.
#include "support/DialogSequence.h"
#include "destination/DbConfigDlg.h"
#include "destination/DestinationSettings.h"
#include "res/resource.h"
#include <gtest/gtest.h>

namespace {
class DbConfigDlgTest : public ::testing::Test {
protected:
    void SetUp() override { DestinationSettings::SetDefaults(); }

    struct Fields {
        CString database, login, password;
    };
    static Fields Read(HWND dlg)
    {
        return {WindowText(::GetDlgItem(dlg, IDC_DB_NAME)), WindowText(::GetDlgItem(dlg, IDC_LOGIN)),
                WindowText(::GetDlgItem(dlg, IDC_PASSWORD))};
    }
    static void Type(HWND dlg, const char* database, const char* login, const char* password)
    {
        ::SetDlgItemTextA(dlg, IDC_DB_NAME, database);
        ::SetDlgItemTextA(dlg, IDC_LOGIN, login);
        ::SetDlgItemTextA(dlg, IDC_PASSWORD, password);
    }
    // The stored texts, and what the next opening of the dialog shows.
    static void ExpectStoredAndShown(const char* database, const char* login, const char* password)
    {
        EXPECT_STREQ(database, DestinationSettings::database);
        EXPECT_STREQ(login, DestinationSettings::login);
        EXPECT_STREQ(password, DestinationSettings::password);
        Fields f;
        CDbConfigDlg dlg;
        RunModal(dlg, [&](HWND h) { f = Read(h); });
        EXPECT_STREQ(database, f.database);
        EXPECT_STREQ(login, f.login);
        EXPECT_STREQ(password, f.password);
    }
};
}

TEST_F(DbConfigDlgTest, ANewRunShowsEmptyDatabaseLoginSaAndEmptyPasswordInTheClear)
{
    CDbConfigDlg dlg;
    RunModal(dlg, [&](HWND h) {
        Fields f = Read(h);
        EXPECT_STREQ("", f.database);
        EXPECT_STREQ("sa", f.login);
        EXPECT_STREQ("", f.password);
        EXPECT_EQ(0, ::GetWindowLongPtrA(::GetDlgItem(h, IDC_PASSWORD), GWL_STYLE) & ES_PASSWORD);
        EXPECT_EQ(0, ::SendDlgItemMessageA(h, IDC_PASSWORD, EM_GETPASSWORDCHAR, 0, 0));
        EXPECT_EQ(::GetDlgItem(h, IDOK), ::GetFocus());   // the first tab stop
    });
}

TEST_F(DbConfigDlgTest, ConfirmingStoresTheTextsAsTypedAndTheNextOpeningShowsThem)
{
    CDbConfigDlg dlg;
    INT_PTR r = RunModal(dlg, [&](HWND h) {
        Type(h, " 数据 库 ", " admin", "p w ");
        ClickButton(h, IDOK);
    });
    EXPECT_EQ(IDOK, r);
    ExpectStoredAndShown(" 数据 库 ", " admin", "p w ");
}

TEST_F(DbConfigDlgTest, AnEmptyDatabaseIsRefusedWithANoticeButTheTextsAreAlreadyStored)
{
    DestinationSettings::database = "old";
    MessageBoxSeen box;
    bool stillOpen = false;
    CDbConfigDlg dlg;
    INT_PTR r = RunModal(dlg, [&](HWND h) {
        Type(h, "", "u1", "secret");
        DialogSequenceResult seen = RunDialogSequence([&] { ClickButton(h, IDOK); }, {ReadMessageBox(box)});
        EXPECT_EQ(1, seen.handled);
        EXPECT_EQ(0, seen.unexpected);
        stillOpen = ::IsWindowVisible(h) != FALSE;
        ClickButton(h, IDCANCEL);   // 返回
    });
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(IDCANCEL, r);
    EXPECT_STREQ("请输入目的数据库名称!", box.text);
    EXPECT_STREQ("提示:", box.caption);
    EXPECT_EQ(SystemIcon(IDI_INFORMATION), box.icon);
    ExpectStoredAndShown("", "u1", "secret");
}

TEST_F(DbConfigDlgTest, ReturnAndEscapeStoreNothing)
{
    for (bool escape : {false, true}) {
        DestinationSettings::database = "kept";
        CDbConfigDlg dlg;
        INT_PTR r = RunModal(dlg, [&](HWND h) {
            Type(h, "typed", "typed", "typed");
            if (escape)
                ::SendMessageA(h, WM_COMMAND, IDCANCEL, 0);   // what the dialog manager makes of Escape
            else
                ClickButton(h, IDCANCEL);
        });
        EXPECT_EQ(IDCANCEL, r);
        ExpectStoredAndShown("kept", "sa", "");
    }
}
