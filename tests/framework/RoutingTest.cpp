// Message routing: a class's table before its base class's, notifications offered to the
// child control first, subclassing that keeps and restores the old window procedure.
#include "framework/Framework.h"
#include "support/ModalDriver.h"
#include <gtest/gtest.h>
#include <string>

namespace {
std::string g_log;

// A button that handles its own clicks (reflected from the parent).
class CReflectingButton : public CButton {
protected:
    void OnReflectedClick() { g_log += "child;"; }
    void PreSubclassWindow() override { g_log += "presubclass;"; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CReflectingButton, CButton)
    ON_CONTROL_REFLECT(BN_CLICKED, &CReflectingButton::OnReflectedClick)
END_MESSAGE_MAP()

class CBaseTestDlg : public CDialog {
public:
    CBaseTestDlg() : CDialog(137) {}
protected:
    void OnBaseTimer(UINT_PTR) { g_log += "base-timer;"; }
    void OnBaseClick() { g_log += "base-click;"; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CBaseTestDlg, CDialog)
    ON_WM_TIMER(&CBaseTestDlg::OnBaseTimer)
    ON_BN_CLICKED(1016, &CBaseTestDlg::OnBaseClick)
END_MESSAGE_MAP()

class CDerivedTestDlg : public CBaseTestDlg {
public:
    CReflectingButton m_btnOK;
    CEdit m_edit;
    bool m_okCalled = false;
    void OnOK() override { m_okCalled = true; g_log += "ok;"; }
protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, IDOK, m_btnOK);
        DDX_Control(pDX, 1016, m_edit);
    }
    void OnDerivedClick() { g_log += "derived-click;"; }
    void OnCancelClick() { g_log += "cancel-click;"; CDialog::OnCancel(); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CDerivedTestDlg, CBaseTestDlg)
    ON_BN_CLICKED(1016, &CDerivedTestDlg::OnDerivedClick)
END_MESSAGE_MAP()
}

TEST(RoutingTest, DerivedTableWinsAndBaseTableHandlesTheRest)
{
    g_log.clear();
    CDerivedTestDlg dlg;
    RunModal(dlg, [&](HWND h) {
        ::SendMessageA(h, WM_COMMAND, MAKEWPARAM(1016, BN_CLICKED), 0);
        ::SendMessageA(h, WM_TIMER, 7, 0);
    });
    EXPECT_EQ("presubclass;derived-click;base-timer;", g_log);
}

TEST(RoutingTest, ChildHandlesItsReflectedNotificationBeforeTheParent)
{
    g_log.clear();
    CDerivedTestDlg dlg;
    RunModal(dlg, [&](HWND h) {
        // A click on the OK button: the button's reflected handler takes it, so the dialog's
        // IDOK command does not run.
        ClickButton(h, IDOK);
        EXPECT_FALSE(dlg.m_okCalled);
        // Enter has no button window behind it: the dialog's own table routes it to OnOK.
        ::SendMessageA(h, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(dlg.m_okCalled);
    });
    EXPECT_EQ("presubclass;child;ok;", g_log);
}

TEST(RoutingTest, EscapeEndsTheModalRunWithCancel)
{
    CDerivedTestDlg dlg;
    INT_PTR r = RunModal(dlg, [&](HWND h) {
        ::SendMessageA(h, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(IDCANCEL, r);
    EXPECT_EQ(nullptr, dlg.m_hWnd);   // detached when the window went away
}

TEST(RoutingTest, SubclassingKeepsDefaultProcessingAndUnsubclassRestoresTheProcedure)
{
    CDerivedTestDlg dlg;
    RunModal(dlg, [&](HWND h) {
        HWND edit = ::GetDlgItem(h, 1016);
        ASSERT_EQ(edit, dlg.m_edit.m_hWnd);
        EXPECT_EQ(&dlg.m_edit, CWnd::FromHandlePermanent(edit));
        // Messages the table does not name reach the edit control's own procedure.
        dlg.m_edit.SetWindowText("乚]x");
        EXPECT_STREQ("乚]x", dlg.m_edit.GetWindowText());
        WNDPROC subclassed = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(edit, GWLP_WNDPROC));
        EXPECT_EQ(edit, dlg.m_edit.UnsubclassWindow());
        WNDPROC restored = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(edit, GWLP_WNDPROC));
        EXPECT_NE(subclassed, restored);
        EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(edit));
        EXPECT_EQ(nullptr, dlg.m_edit.m_hWnd);
        // A window can be subclassed again, and only by one object at a time.
        EXPECT_TRUE(dlg.m_edit.SubclassWindow(edit));
        CEdit other;
        EXPECT_FALSE(other.SubclassWindow(edit));
    });
}
