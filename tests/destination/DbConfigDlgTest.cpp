// The destination settings dialog: what it shows, what confirming and leaving store.
#include "support/DialogSequence.h"
#include "support/Pixels.h"
#include "support/RealInput.h"
#include "support/StandIn.h"
#include "destination/ConnectionString.h"
#include "destination/DbConfigDlg.h"
#include "destination/DestinationConnection.h"
#include "destination/DestinationSettings.h"
#include "framework/AdoConnectionString.h"
#include "res/resource.h"
#include <cstring>
#include <cwchar>
#include <gtest/gtest.h>
#include <string>

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
    // Puts `text` on the clipboard in place of what it held.
    static void PutOnClipboard(HWND owner, const char* text)
    {
        ASSERT_TRUE(::OpenClipboard(owner));
        ::EmptyClipboard();
        HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE, std::strlen(text) + 1);
        std::strcpy(static_cast<char*>(::GlobalLock(copy)), text);
        ::GlobalUnlock(copy);
        ::SetClipboardData(CF_TEXT, copy);
        ::CloseClipboard();
    }
    static CString ClipboardText(HWND owner)
    {
        CString text;
        if (!::OpenClipboard(owner)) return "<clipboard busy>";
        if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
            text = static_cast<const char*>(::GlobalLock(data));
            ::GlobalUnlock(data);
        }
        ::CloseClipboard();
        return text;
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

TEST_F(DbConfigDlgTest, ANewRunShowsEmptyDatabaseLoginSaAndAnEmptyMaskedPassword)
{
    CDbConfigDlg dlg;
    RunModal(dlg, [&](HWND h) {
        Fields f = Read(h);
        EXPECT_STREQ("", f.database);
        EXPECT_STREQ("sa", f.login);
        EXPECT_STREQ("", f.password);
        EXPECT_NE(0, ::GetWindowLongPtrA(::GetDlgItem(h, IDC_PASSWORD), GWL_STYLE) & ES_PASSWORD);
        EXPECT_NE(0, ::SendDlgItemMessageA(h, IDC_PASSWORD, EM_GETPASSWORDCHAR, 0, 0));
        for (int other : {IDC_DB_NAME, IDC_LOGIN})
            EXPECT_EQ(0, ::GetWindowLongPtrA(::GetDlgItem(h, other), GWL_STYLE) & ES_PASSWORD);
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

namespace {
bool SamePixels(const Pixels& a, const Pixels& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.At(x, y) != b.At(x, y)) return false;
    return true;
}
}

// Passwords holding what connection strings treat specially, and a double-byte character,
// typed into the real dialog key by key: the field shows one mask character per character
// and nothing else, the program reads the exact text, a copy or cut leaves the clipboard as
// it was, and the connection made from the stored settings gets the text unchanged (the
// stand-in with the braced password lets it in).
TEST_F(DbConfigDlgTest, ATypedPasswordIsMaskedReadExactlyKeptOffTheClipboardAndUsedUnchanged)
{
    struct Case {
        const wchar_t* keys;
        const char* text;   // the same in the program's code page
        int standIn;        // offset of a stand-in whose password it is; -1 for none
    };
    const Case cases[] = {{L"{口;令=12", "{口;令=12", -1}, {L"{pw;1=2'\"", kBracedPassword, 1}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.text);
        DestinationSettings::SetDefaults();
        CDbConfigDlg dlg;
        INT_PTR r = RunModal(dlg, [&](HWND h) {
            HWND field = ::GetDlgItem(h, IDC_PASSWORD);
            ::SetDlgItemTextA(h, IDC_DB_NAME, "master");
            ::SetForegroundWindow(h);
            ::SetFocus(field);
            for (const wchar_t* key = k.keys; *key; ++key) {
                TypeCharacter(*key);
                PumpDialogMessages(h, 30);
            }
            EXPECT_STREQ(k.text, WindowText(field));

            // What the field shows depends on the number of characters alone: it is what the
            // same number of mask characters shows.
            const auto mask = static_cast<wchar_t>(::SendMessageW(field, EM_GETPASSWORDCHAR, 0, 0));
            ASSERT_NE(0, mask);
            ::SetFocus(::GetDlgItem(h, IDC_LOGIN));   // no caret in the pictures
            Pixels typed = Pixels::FromWindow(field);
            EXPECT_GT(typed.Count(RGB(65, 105, 225)), 0) << "no mask characters drawn";
            ::SetWindowTextW(field, std::wstring(std::wcslen(k.keys), mask).c_str());
            EXPECT_TRUE(SamePixels(typed, Pixels::FromWindow(field)));
            ::SetWindowTextA(field, k.text);

            // The login field copies its text; the password field neither copies nor cuts.
            PutOnClipboard(h, "before");
            HWND login = ::GetDlgItem(h, IDC_LOGIN);
            ::SendMessageA(login, EM_SETSEL, 0, -1);
            ::SendMessageA(login, WM_COPY, 0, 0);
            EXPECT_STREQ("sa", ClipboardText(h));
            for (UINT message : {WM_COPY, WM_CUT}) {
                PutOnClipboard(h, "before");
                ::SendMessageA(field, EM_SETSEL, 0, -1);
                ::SendMessageA(field, message, 0, 0);
                EXPECT_STREQ("before", ClipboardText(h)) << message;
                EXPECT_STREQ(k.text, WindowText(field)) << message;
            }
            ClickButton(h, IDOK);
        });
        EXPECT_EQ(IDOK, r);
        EXPECT_STREQ(k.text, DestinationSettings::password);
        // The connection string made from the settings gives the driver the text unchanged.
        std::vector<CConnectionAttribute> attributes;
        CString error;
        ASSERT_TRUE(ParseConnectionString(DestinationConnectionString("(local)", DestinationSettings::database,
                                                                      DestinationSettings::login,
                                                                      DestinationSettings::password),
                                          attributes, error));
        EXPECT_STREQ(k.text, SqlServerLoginFromAttributes(attributes).password);
        if (k.standIn >= 0) {
            EXPECT_TRUE(ConnectDestination(StandInServer(k.standIn)));
            g_pConnection.Release();
        }
    }
}
