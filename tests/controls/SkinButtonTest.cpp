// The flat owner-drawn button: its face, border, icon and caption as drawn for each state,
// its colour table, and how it takes part in the dialog (clicks, default button, disabling).
#include "controls/BaseDialog.h"
#include "controls/SkinButton.h"
#include "res/resource.h"
#include "support/ModalDriver.h"
#include "support/Pixels.h"
#include <gtest/gtest.h>

namespace {
const COLORREF kIdle = RGB(250, 250, 240), kActive = RGB(200, 220, 255), kFocus = RGB(230, 255, 230);
const COLORREF kTextIdle = RGB(34, 139, 34), kTextActive = RGB(255, 165, 0);

// The settings template with two skinned buttons and a record of the commands that arrive.
class CButtonTestDlg : public CBaseDialog {
public:
    CButtonTestDlg() : CBaseDialog(IDD_DB_CONFIG) {}
    CSkinButton m_btnOK;       // the template's default push button, "确定"
    CSkinButton m_btnReturn;   // "返回"
    int m_nOK = 0;
    void OnOK() override { ++m_nOK; }   // stays open
    BOOL OnInitDialog() override
    {
        CBaseDialog::OnInitDialog();
        for (CSkinButton* b : {&m_btnOK, &m_btnReturn}) {
            b->SetColor(CSkinButton::ColorBackIdle, kIdle);
            b->SetColor(CSkinButton::ColorBackActive, kActive);
            b->SetColor(CSkinButton::ColorBackFocus, kFocus);
            b->SetColor(CSkinButton::ColorTextIdle, kTextIdle);
            b->SetColor(CSkinButton::ColorTextActive, kTextActive);
            b->SetIcons(IDI_REMOVE_MAPPING, 0);
        }
        return TRUE;
    }
protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, IDOK, m_btnOK);
        DDX_Control(pDX, IDCANCEL, m_btnReturn);
    }
};

// What DrawItem draws for `state`, on a surface of the button's size.
Pixels Draw(CSkinButton& button, UINT state)
{
    RECT r;
    button.GetClientRect(&r);
    Surface s(r.right, r.bottom, RGB(0, 0, 0));
    HGDIOBJ oldFont = ::SelectObject(s.dc(), button.GetFont());
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_BUTTON;
    dis.hwndItem = button.m_hWnd;
    dis.hDC = s.dc();
    dis.rcItem = r;
    dis.itemState = state;
    dis.itemAction = ODA_DRAWENTIRE;
    button.DrawItem(&dis);
    ::SelectObject(s.dc(), oldFont);
    return s.Read();
}

// Where the icon's own pixels lie when it is drawn at (0, 0) on `face`.
RECT IconInk(UINT id, COLORREF face, SIZE* size)
{
    CIcon icon;
    icon.Load(id);
    icon.GetSize(size);
    Surface s(size->cx, size->cy, face);
    ::DrawIconEx(s.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    return s.Read().BoundsOfOther(face, {0, 0, size->cx, size->cy});
}

bool Shifted(const RECT& a, const RECT& b, int dx, int dy)
{
    return b.left == a.left + dx && b.top == a.top + dy && b.right == a.right + dx && b.bottom == a.bottom + dy;
}
}

TEST(SkinButtonTest, FaceAndBorderAtRestFocusedPressedAndDisabled)
{
    CButtonTestDlg dlg;
    RunModal(dlg, [&](HWND) {
        CSkinButton& b = dlg.m_btnReturn;
        b.SetBorderStyle(false, true);   // underline: still sunken while pressed
        RECT r;
        b.GetClientRect(&r);
        const int W = r.right, H = r.bottom;

        Pixels rest = Draw(b, 0);
        EXPECT_EQ(kIdle, rest.At(0, 0));           // no border at rest
        EXPECT_EQ(kIdle, rest.At(W - 1, H - 1));
        EXPECT_EQ(kIdle, rest.At(W / 2, H - 2));   // nor the underline
        EXPECT_GT(rest.Count(kTextIdle), 0);
        EXPECT_EQ(0, rest.Count(kTextActive));

        Pixels focused = Draw(b, ODS_FOCUS);
        EXPECT_EQ(kFocus, focused.At(0, 0));
        EXPECT_GT(focused.Count(kTextIdle), 0);
        // The focus rectangle, three pixels in; nothing between it and the edge.
        const RECT ring = {3, 3, W - 3, 4}, gap = {0, 2, W, 3};
        EXPECT_LT(focused.Count(kFocus, &ring), W - 6);
        EXPECT_EQ(W, focused.Count(kFocus, &gap));

        Pixels pressed = Draw(b, ODS_SELECTED | ODS_FOCUS);
        EXPECT_EQ(::GetSysColor(COLOR_BTNSHADOW), pressed.At(0, 0));
        EXPECT_EQ(::GetSysColor(COLOR_BTNSHADOW), pressed.At(0, H - 2));
        EXPECT_EQ(::GetSysColor(COLOR_BTNHIGHLIGHT), pressed.At(W - 1, H - 1));
        EXPECT_EQ(::GetSysColor(COLOR_BTNHIGHLIGHT), pressed.At(W - 1, 1));
        EXPECT_EQ(kActive, pressed.At(1, 1));
        EXPECT_GT(pressed.Count(kTextActive), 0);

        Pixels disabled = Draw(b, ODS_DISABLED);
        EXPECT_EQ(0, disabled.Count(kTextIdle));
        EXPECT_GT(disabled.Count(::GetSysColor(COLOR_BTNSHADOW)), 0);
        EXPECT_GT(disabled.Count(::GetSysColor(COLOR_BTNHIGHLIGHT)), 0);
    });
}

TEST(SkinButtonTest, IconLeftOfTheCaptionOrCentredWithoutOneAndEverythingMovesWhilePressed)
{
    CButtonTestDlg dlg;
    RunModal(dlg, [&](HWND) {
        CSkinButton& b = dlg.m_btnReturn;
        RECT r;
        b.GetClientRect(&r);
        const RECT all = {0, 0, r.right, r.bottom};
        SIZE size;
        const RECT ink = IconInk(IDI_REMOVE_MAPPING, kIdle, &size);
        const int iconY = (r.bottom - size.cy) / 2;

        // With a caption: the icon 3 pixels in, the text to its right.
        Pixels rest = Draw(b, 0);
        RECT text = rest.BoundsOfOther(kIdle, {3 + size.cx, 0, r.right, r.bottom});
        RECT icon = rest.BoundsOfOther(kIdle, {0, 0, 3 + size.cx, r.bottom});
        EXPECT_TRUE(Shifted(ink, icon, 3, iconY)) << icon.left << "," << icon.top;
        EXPECT_GE(text.left, 3 + size.cx + 3);
        // The text block is centred vertically in the button.
        EXPECT_LE(std::abs((text.top - 0) - (r.bottom - text.bottom)), 3);
        Pixels down = Draw(b, ODS_SELECTED);
        const RECT inner = {1, 1, r.right - 1, r.bottom - 1};
        EXPECT_TRUE(Shifted(icon, down.BoundsOfOther(kActive, {1, 1, 3 + size.cx + 1, r.bottom - 1}), 1, 1));
        EXPECT_TRUE(Shifted(text, down.BoundsOfOther(kActive, {3 + size.cx + 1, 1, r.right - 1, r.bottom - 1}), 1, 1));
        (void)inner;

        // Without a caption: the icon centred both ways.
        b.SetWindowText("");
        icon = Draw(b, 0).BoundsOfOther(kIdle, all);
        EXPECT_TRUE(Shifted(ink, icon, (r.right - size.cx) / 2, iconY)) << icon.left << "," << icon.top;
        EXPECT_TRUE(Shifted(icon, Draw(b, ODS_SELECTED).BoundsOfOther(kActive, inner), 1, 1));
    });
}

TEST(SkinButtonTest, IdleIconAtRestMissingIconsAndTheColourTable)
{
    CButtonTestDlg dlg;
    RunModal(dlg, [&](HWND) {
        CSkinButton& b = dlg.m_btnOK;
        b.SetWindowText("");
        RECT r;
        b.GetClientRect(&r);
        const RECT all = {0, 0, r.right, r.bottom};
        // With an idle icon the button shows it at rest and the active one while pressed.
        EXPECT_EQ(0u, b.SetIcons(IDI_OK_ACTIVE, IDI_OK_IDLE));
        SIZE size;
        Surface idle(20, 20, kIdle), active(20, 20, kActive);
        CIcon i, a;
        i.Load(IDI_OK_IDLE);
        a.Load(IDI_OK_ACTIVE);
        i.GetSize(&size);
        ::DrawIconEx(idle.dc(), 0, 0, i, 0, 0, 0, nullptr, DI_NORMAL);
        ::DrawIconEx(active.dc(), 0, 0, a, 0, 0, 0, nullptr, DI_NORMAL);
        const int x = (r.right - size.cx) / 2, y = (r.bottom - size.cy) / 2;
        Pixels rest = Draw(b, 0), down = Draw(b, ODS_SELECTED);
        Pixels idleInk = idle.Read(), activeInk = active.Read();
        int restSame = 0, downSame = 0;
        for (int v = 0; v < size.cy; ++v)
            for (int u = 0; u < size.cx; ++u) {
                restSame += rest.At(x + u, y + v) == idleInk.At(u, v);
                downSame += down.At(x + 1 + u, y + 1 + v) == activeInk.At(u, v);
            }
        EXPECT_EQ(size.cx * size.cy, restSame);
        EXPECT_EQ(size.cx * size.cy, downSame);

        // An idle icon that cannot be read leaves no icon at all; a missing active one too.
        EXPECT_EQ(1u, b.SetIcons(IDI_OK_ACTIVE, 9999));
        EXPECT_EQ(r.right * r.bottom, Draw(b, 0).Count(kIdle, &all));
        EXPECT_EQ(0u, b.SetIcons(9999, 0));
        EXPECT_EQ(r.right * r.bottom, Draw(b, 0).Count(kIdle, &all));

        COLORREF before[CSkinButton::ColorSlotCount];
        for (BYTE s = 0; s < CSkinButton::ColorSlotCount; ++s) before[s] = b.GetColor(s);
        EXPECT_EQ(3u, b.SetColor(7, RGB(1, 2, 3)));
        EXPECT_EQ(3u, b.SetColor(200, RGB(1, 2, 3)));
        for (BYTE s = 0; s < CSkinButton::ColorSlotCount; ++s) EXPECT_EQ(before[s], b.GetColor(s)) << int(s);
        EXPECT_EQ(0u, b.SetColor(CSkinButton::ColorTextFocus, RGB(1, 2, 3)));
    });
}

TEST(SkinButtonTest, AClickReachesTheDialogAndGivesTheButtonTheFocus)
{
    CButtonTestDlg dlg;
    RunModal(dlg, [&](HWND h) {
        ::SetFocus(::GetDlgItem(h, IDC_DB_NAME));
        ClickButton(h, IDOK);
        EXPECT_EQ(1, dlg.m_nOK);
        EXPECT_EQ(dlg.m_btnOK.m_hWnd, ::GetFocus());
    });
}

TEST(SkinButtonTest, StaysOwnerDrawnAndKeepsTheDefaultButtonRole)
{
    CButtonTestDlg dlg;
    RunModal(dlg, [&](HWND) {
        CSkinButton& ok = dlg.m_btnOK;
        auto type = [](CSkinButton& b) { return static_cast<UINT>(b.GetStyle() & 0x1F); };
        EXPECT_EQ(static_cast<UINT>(BS_OWNERDRAW), type(ok));
        EXPECT_TRUE(ok.SendMessage(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON);
        EXPECT_TRUE(dlg.m_btnReturn.SendMessage(WM_GETDLGCODE) & DLGC_UNDEFPUSHBUTTON);
        // The dialog manager moves the default look with BM_SETSTYLE.
        ok.SendMessage(BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
        EXPECT_EQ(static_cast<UINT>(BS_OWNERDRAW), type(ok));
        EXPECT_TRUE(ok.SendMessage(WM_GETDLGCODE) & DLGC_UNDEFPUSHBUTTON);
        EXPECT_FALSE(ok.SendMessage(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON);
        ok.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
        EXPECT_EQ(static_cast<UINT>(BS_OWNERDRAW), type(ok));
        EXPECT_TRUE(ok.SendMessage(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON);
        // A push button is never checked.
        ok.SendMessage(BM_SETCHECK, BST_CHECKED);
        EXPECT_EQ(BST_UNCHECKED, ok.SendMessage(BM_GETCHECK));
    });
}

TEST(SkinButtonTest, DisablingMovesTheFocusOnOnlyFromTheButtonThatHadIt)
{
    CButtonTestDlg dlg;
    RunModal(dlg, [&](HWND h) {
        HWND ok = dlg.m_btnOK.m_hWnd, ret = dlg.m_btnReturn.m_hWnd;
        HWND field = ::GetDlgItem(h, IDC_DB_NAME);
        ::SetFocus(field);
        ::EnableWindow(ok, FALSE);
        EXPECT_EQ(field, ::GetFocus());
        ::EnableWindow(ok, TRUE);

        ::SetFocus(ok);
        ::EnableWindow(ok, FALSE);
        EXPECT_EQ(ret, ::GetFocus());   // the next tab stop
        ::EnableWindow(ok, TRUE);
    });
}
