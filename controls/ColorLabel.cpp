#include "controls/ColorLabel.h"
#include <shellapi.h>

namespace {
void ShellOpen(const char* text)
{
    ::ShellExecuteA(nullptr, "open", text, nullptr, nullptr, SW_SHOWNORMAL);   // a failure is ignored
}
CColorLabel::LinkOpener g_opener = &ShellOpen;
}

CColorLabel::LinkOpener CColorLabel::SetLinkOpener(LinkOpener opener)
{
    LinkOpener old = g_opener;
    g_opener = opener ? opener : &ShellOpen;
    return old;
}

BEGIN_MESSAGE_MAP(CColorLabel, CStatic)
    ON_WM_CTLCOLOR_REFLECT(&CColorLabel::CtlColor)
    ON_MESSAGE(WM_SETTEXT, &CColorLabel::OnSetText)
    ON_MESSAGE(WM_LBUTTONDOWN, &CColorLabel::OnLButtonDown)
    ON_MESSAGE(WM_GETDLGCODE, &CColorLabel::OnGetDlgCode)
    ON_MESSAGE(WM_KEYDOWN, &CColorLabel::OnKeyDown)
    ON_MESSAGE(WM_SETCURSOR, &CColorLabel::OnSetCursor)
END_MESSAGE_MAP()

CColorLabel::CColorLabel() : m_crText(::GetSysColor(COLOR_WINDOWTEXT)), m_lf()
{
    m_brushBack.CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof m_lf, &m_lf);
    m_font.CreateFontIndirect(&m_lf);
}

// The control must not keep using a font that is about to be deleted.
CColorLabel::~CColorLabel()
{
    if (IsWindow() && GetFont() == m_font.GetSafeHandle()) SetFont(nullptr, FALSE);
}

CColorLabel& CColorLabel::SetText(const char* text)
{
    SetWindowText(text);
    return *this;
}

CColorLabel& CColorLabel::SetTextColor(COLORREF color)
{
    m_crText = color;
    RedrawWithParent(true);
    return *this;
}

CColorLabel& CColorLabel::SetBkColor(COLORREF color)
{
    m_brushBack.CreateSolidBrush(color);
    return *this;
}

CColorLabel& CColorLabel::SetFontName(const char* face)
{
    CopyFaceName(m_lf, face);
    RebuildFont();
    return *this;
}

CColorLabel& CColorLabel::SetFontSize(int size)
{
    m_lf.lfHeight = -size;
    RebuildFont();
    return *this;
}

CColorLabel& CColorLabel::SetFontBold(bool bold)
{
    m_lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    RebuildFont();
    return *this;
}

CColorLabel& CColorLabel::SetFontUnderline(bool underline)
{
    m_lf.lfUnderline = underline ? TRUE : FALSE;
    RebuildFont();
    return *this;
}

CColorLabel& CColorLabel::SetLink(bool link)
{
    m_bLink = link;
    if (IsWindow()) {
        const DWORD linkStyles = SS_NOTIFY | WS_TABSTOP;
        ModifyStyle(link ? 0 : linkStyles, link ? linkStyles : 0);
    }
    return *this;
}

CColorLabel& CColorLabel::SetLinkCursor(HCURSOR cursor)
{
    m_hCursor = cursor;
    return *this;
}

// The control is handed the new font before the old one is deleted, then repainted.
void CColorLabel::RebuildFont()
{
    CFont font;
    font.CreateFontIndirect(&m_lf);
    if (IsWindow()) SetFont(font, FALSE);
    m_font.Attach(font.Detach());
    RedrawWithParent(true);
}

void CColorLabel::RedrawWithParent(bool now)
{
    if (!IsWindow()) return;
    HWND parent = GetParent();
    RECT place;
    GetWindowRect(&place);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
    const UINT flags = RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | (now ? RDW_UPDATENOW : 0);
    ::RedrawWindow(parent, &place, nullptr, flags);
}

// The font is the window's own (RebuildFont hands it over), which the static control selects
// for its text and selects out again: a font selected here would stay in the context, which
// may be the caller's and outlive the font.
HBRUSH CColorLabel::CtlColor(HDC dc, UINT nCtlColor)
{
    if (nCtlColor == CTLCOLOR_STATIC) {
        ::SetTextColor(dc, m_crText);
        ::SetBkMode(dc, TRANSPARENT);
    }
    return m_brushBack;
}

LRESULT CColorLabel::OnSetText(WPARAM, LPARAM)
{
    LRESULT r = Default();
    RedrawWithParent(false);
    return r;
}

// Clicks reach the label only while it reports them (a link); a plain label lets them
// through to the dialog.
LRESULT CColorLabel::OnLButtonDown(WPARAM, LPARAM)
{
    OpenLink();
    return Default();
}

// A focused link takes Enter for itself instead of the dialog's default button.
LRESULT CColorLabel::OnGetDlgCode(WPARAM, LPARAM lp)
{
    LRESULT code = Default();
    const MSG* msg = reinterpret_cast<const MSG*>(lp);
    if ((GetStyle() & SS_NOTIFY) && msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN)
        code |= DLGC_WANTMESSAGE;
    return code;
}

LRESULT CColorLabel::OnKeyDown(WPARAM wp, LPARAM)
{
    if ((GetStyle() & SS_NOTIFY) && (wp == VK_RETURN || wp == VK_SPACE)) {
        OpenLink();
        return 0;
    }
    return Default();
}

LRESULT CColorLabel::OnSetCursor(WPARAM, LPARAM)
{
    if (!m_hCursor) return Default();
    ::SetCursor(m_hCursor);
    return TRUE;
}

void CColorLabel::OpenLink()
{
    g_opener(GetWindowText());
}
