#include "controls/SkinButton.h"
#include <windowsx.h>

// The button-type bits of a button's style.
static constexpr DWORD kButtonTypeBits = 0x1F;

BEGIN_MESSAGE_MAP(CSkinButton, CButton)
    ON_WM_DRAWITEM_REFLECT(&CSkinButton::DrawItem)
    ON_WM_CTLCOLOR_REFLECT(&CSkinButton::CtlColor)
    ON_CONTROL_REFLECT_EX(BN_CLICKED, &CSkinButton::OnClicked)
    ON_MESSAGE(WM_GETDLGCODE, &CSkinButton::OnGetDlgCode)
    ON_MESSAGE(BM_SETSTYLE, &CSkinButton::OnSetStyle)
    ON_MESSAGE(BM_SETCHECK, &CSkinButton::OnSetCheck)
    ON_MESSAGE(BM_GETCHECK, &CSkinButton::OnGetCheck)
    ON_MESSAGE(WM_LBUTTONDBLCLK, &CSkinButton::OnLButtonDblClk)
    ON_MESSAGE(WM_MOUSEMOVE, &CSkinButton::OnMouseMove)
    ON_MESSAGE(WM_MOUSELEAVE, &CSkinButton::OnMouseLeave)
    ON_MESSAGE(WM_KILLFOCUS, &CSkinButton::OnKillFocus)
    ON_MESSAGE(WM_CANCELMODE, &CSkinButton::OnEndHoverAfterDefault)
    ON_MESSAGE(WM_ENABLE, &CSkinButton::OnEnable)
    ON_MESSAGE(WM_SYSCOLORCHANGE, &CSkinButton::OnSysColorChange)
END_MESSAGE_MAP()

CSkinButton::CSkinButton()
{
    m_colors[ColorBackActive] = ::GetSysColor(COLOR_BTNFACE);
    m_colors[ColorTextActive] = ::GetSysColor(COLOR_BTNTEXT);
    m_colors[ColorBackIdle] = RGB(255, 255, 255);
    m_colors[ColorTextIdle] = ::GetSysColor(COLOR_BTNTEXT);
    m_colors[ColorBackFocus] = ::GetSysColor(COLOR_BTNFACE);
    m_colors[ColorTextFocus] = ::GetSysColor(COLOR_BTNTEXT);
    m_colors[ColorBorder] = CLR_INVALID;   // set by whoever switches a border style on
}

DWORD CSkinButton::SetIcons(UINT activeIconId, UINT idleIconId)
{
    m_iconActive.Destroy();
    m_iconIdle.Destroy();
    m_sizeActive = m_sizeIdle = {0, 0};
    DWORD result = 0;
    if (m_iconActive.Load(activeIconId)) {
        bool ok = m_iconActive.GetSize(&m_sizeActive);
        if (ok && idleIconId) ok = m_iconIdle.Load(idleIconId) && m_iconIdle.GetSize(&m_sizeIdle);
        if (!ok) {
            m_iconActive.Destroy();
            m_iconIdle.Destroy();
            result = 1;
        }
    }
    Invalidate();
    return result;
}

DWORD CSkinButton::SetColor(BYTE slot, COLORREF color, bool redraw)
{
    if (slot >= ColorSlotCount) return 3;
    m_colors[slot] = color;
    if (redraw) Invalidate();
    return 0;
}

void CSkinButton::SetTransparent(bool redraw)
{
    m_bTransparent = true;
    m_snapshot.Release();
    if (redraw) Invalidate();
}

void CSkinButton::SetBorderStyle(bool singleColorFrame, bool underline)
{
    m_bFrame = singleColorFrame;
    m_bUnderline = underline;
    Invalidate();
}

// The button draws itself: its type becomes owner-drawn, and whether it was the default
// push button is remembered for the dialog manager.
void CSkinButton::PreSubclassWindow()
{
    CButton::PreSubclassWindow();
    if ((GetStyle() & kButtonTypeBits) == BS_DEFPUSHBUTTON) m_bDefault = true;
    ModifyStyle(kButtonTypeBits, BS_OWNERDRAW, SWP_FRAMECHANGED);
}

// Nothing erases the face before DrawItem paints all of it.
HBRUSH CSkinButton::CtlColor(HDC, UINT)
{
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

// The button takes the focus; the click goes on to the dialog, which runs its command.
BOOL CSkinButton::OnClicked()
{
    SetFocus();
    return FALSE;
}

// An owner-drawn button still takes part in the dialog manager's default-button handling.
LRESULT CSkinButton::OnGetDlgCode(WPARAM, LPARAM)
{
    return Default() | (m_bDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

// The dialog manager moves the default-button look by changing the button type: remember
// the default state, keep the type owner-drawn.
LRESULT CSkinButton::OnSetStyle(WPARAM wp, LPARAM lp)
{
    const DWORD type = static_cast<DWORD>(wp) & kButtonTypeBits;
    if (type == BS_DEFPUSHBUTTON) m_bDefault = true;
    else if (type == BS_PUSHBUTTON) m_bDefault = false;
    return DefWindowProc(BM_SETSTYLE, (wp & ~static_cast<WPARAM>(kButtonTypeBits)) | BS_OWNERDRAW, lp);
}

LRESULT CSkinButton::OnSetCheck(WPARAM, LPARAM) { return 0; }   // a push button is never checked

LRESULT CSkinButton::OnGetCheck(WPARAM, LPARAM) { return m_nCheck; }

// A quick second click is a second press, not a double click.
LRESULT CSkinButton::OnLButtonDblClk(WPARAM wp, LPARAM lp)
{
    return DefWindowProc(WM_LBUTTONDOWN, wp, lp);
}

LRESULT CSkinButton::OnMouseMove(WPARAM wp, LPARAM lp)
{
    LRESULT r = Default();
    POINT pt = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    ClientToScreen(&pt);
    // Dragging onto a button with the left button held does not light it.
    if ((wp & MK_LBUTTON) && !m_bHover) return r;
    if (::WindowFromPoint(pt) == m_hWnd) {
        if (!m_bHover) {
            m_bHover = true;
            Invalidate();
        }
        // Asked again at every move: the request counts only while the pointer is over the
        // button at the moment it is made.
        TrackLeave();
    } else {
        EndHover();
    }
    return r;
}

LRESULT CSkinButton::OnMouseLeave(WPARAM, LPARAM)
{
    EndHover();
    return 0;
}

// Disabling a focused button takes its focus away before the button hears of the
// disabling: remember that it had it.
LRESULT CSkinButton::OnKillFocus(WPARAM wp, LPARAM lp)
{
    if (!IsWindowEnabled()) m_bFocusTakenByDisable = true;
    return OnEndHoverAfterDefault(wp, lp);
}

LRESULT CSkinButton::OnEndHoverAfterDefault(WPARAM, LPARAM)
{
    LRESULT r = Default();
    EndHover();
    return r;
}

// A disabled button cannot keep the focus: the next control in the dialog's tab order
// takes it (the dialog itself when there is none). Only a button that had the focus moves it.
LRESULT CSkinButton::OnEnable(WPARAM wp, LPARAM)
{
    LRESULT r = Default();
    if (!wp) {
        if (m_bFocusTakenByDisable || ::GetFocus() == m_hWnd) {
            HWND parent = GetParent();
            HWND next = ::GetNextDlgTabItem(parent, m_hWnd, FALSE);
            if (next && next != m_hWnd) ::SendMessageA(parent, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
            else ::SetFocus(parent);
        }
        m_bFocusTakenByDisable = false;
        EndHover();
    }
    return r;
}

// The copy of the dialog's background was drawn with the old colours.
LRESULT CSkinButton::OnSysColorChange(WPARAM, LPARAM)
{
    LRESULT r = Default();
    m_snapshot.Release();
    return r;
}

void CSkinButton::EndHover()
{
    if (!m_bHover) return;
    m_bHover = false;
    Invalidate();
}

void CSkinButton::TrackLeave()
{
    TRACKMOUSEEVENT tme = {sizeof tme, TME_LEAVE, m_hWnd, 0};
    ::TrackMouseEvent(&tme);
}

// Asks the parent to paint its background into the snapshot, shifted so that the part under
// the button lands at (0, 0). What the parent paints, not what the screen shows: on screen
// the place may be covered, stale, or hold the button's own earlier drawing.
bool CSkinButton::TakeSnapshot(HDC ref, int cx, int cy)
{
    if (!m_snapshot.Create(ref, cx, cy)) return false;
    HWND parent = GetParent();
    RECT place;
    GetWindowRect(&place);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
    // A parent that paints nothing on request leaves the plain button colour.
    m_snapshot.FillSolidRect(0, 0, cx, cy, ::GetSysColor(COLOR_BTNFACE));
    POINT old = m_snapshot.SetViewportOrg(-place.left, -place.top);
    ::SendMessageA(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(m_snapshot.GetSafeHdc()), PRF_CLIENT | PRF_ERASEBKGND);
    m_snapshot.SetViewportOrg(old.x, old.y);
    return true;
}

void CSkinButton::DrawBackground(CDC& dc, const RECT& rect)
{
    COLORREF face = m_colors[ColorBackIdle];
    if (m_bHover || m_bPressed) face = m_colors[ColorBackActive];
    else if (m_bFocused) face = m_colors[ColorBackFocus];
    dc.FillSolidRect(&rect, face);
}

void CSkinButton::DrawBorder(CDC& dc, const RECT& rect)
{
    const COLORREF highlight = ::GetSysColor(COLOR_BTNHIGHLIGHT), shadow = ::GetSysColor(COLOR_BTNSHADOW);
    if (m_bPressed) dc.Draw3dRect(&rect, shadow, highlight);
    else if (m_bUnderline) dc.FillSolidRect(rect.left, rect.bottom - 2, rect.right - rect.left, 1, m_colors[ColorBorder]);
    else if (m_bFrame) dc.Draw3dRect(&rect, m_colors[ColorBorder], m_colors[ColorBorder]);
    else dc.Draw3dRect(&rect, highlight, shadow);
}

void CSkinButton::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    CDC dc(lpDIS->hDC);
    const int saved = dc.SaveDC();
    m_bPressed = (lpDIS->itemState & ODS_SELECTED) != 0;
    m_bFocused = (lpDIS->itemState & ODS_FOCUS) != 0;
    m_bDisabled = (lpDIS->itemState & ODS_DISABLED) != 0;
    dc.SetBkMode(TRANSPARENT);
    const RECT item = lpDIS->rcItem;

    RECT client;
    GetClientRect(&client);
    if (m_bTransparent && (m_snapshot.GetSafeHdc() || TakeSnapshot(dc, client.right, client.bottom)))
        dc.BitBlt(0, 0, m_snapshot.Width(), m_snapshot.Height(), m_snapshot, 0, 0);
    else
        DrawBackground(dc, item);

    if (m_bPressed || m_bHover) DrawBorder(dc, item);   // at rest no border

    const CString caption = GetWindowText();
    RECT captionRect = item;
    if (m_iconActive) DrawIcon(dc, item, captionRect, !caption.IsEmpty());
    if (!caption.IsEmpty()) DrawCaption(dc, captionRect, caption);

    // The keyboard focus, unless the system hides focus cues until the keyboard is used.
    if (m_bFocused && !(SendMessage(WM_QUERYUISTATE) & UISF_HIDEFOCUS)) {
        RECT focus = item;
        ::InflateRect(&focus, -3, -3);
        ::DrawFocusRect(dc, &focus);
    }
    dc.RestoreDC(saved);
}

void CSkinButton::DrawIcon(CDC& dc, const RECT& item, RECT& caption, bool hasCaption)
{
    const bool active = m_bPressed || m_bHover || !m_iconIdle;
    const HICON icon = active ? m_iconActive : m_iconIdle;
    const SIZE size = active ? m_sizeActive : m_sizeIdle;
    int x;
    if (hasCaption) {
        x = item.left + 3;
        caption.left += size.cx + 3;
    } else {
        x = item.left + ((item.right - item.left) - size.cx) / 2;
    }
    int y = item.top + ((item.bottom - item.top) - size.cy) / 2;
    if (m_bPressed) {
        ++x;
        ++y;
    }
    dc.DrawState(x, y, size.cx, size.cy, icon, m_bDisabled ? DSS_DISABLED : DSS_NORMAL);
}

// The caption as a word-wrapped block centred both ways in its rectangle. DT_NOCLIP: a font
// slightly wider than measured must not lose its last pixels.
void CSkinButton::DrawCaption(CDC& dc, RECT caption, const CString& text)
{
    if (m_bPressed) ::OffsetRect(&caption, 1, 1);
    RECT block = caption;
    dc.DrawText(text, -1, &block, DT_WORDBREAK | DT_CENTER | DT_CALCRECT);
    ::OffsetRect(&block, ((caption.right - caption.left) - (block.right - block.left)) / 2,
                 ((caption.bottom - caption.top) - (block.bottom - block.top)) / 2);
    const UINT format = DT_WORDBREAK | DT_CENTER | DT_NOCLIP;
    if (m_bDisabled) {
        RECT embossed = block;
        ::OffsetRect(&embossed, 1, 1);
        dc.SetTextColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
        dc.DrawText(text, -1, &embossed, format);
        dc.SetTextColor(::GetSysColor(COLOR_BTNSHADOW));
        dc.DrawText(text, -1, &block, format);
    } else {
        dc.SetTextColor(m_bHover || m_bPressed ? m_colors[ColorTextActive] : m_colors[ColorTextIdle]);
        dc.DrawText(text, -1, &block, format);
    }
}
