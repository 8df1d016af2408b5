#include "controls/EditEx.h"
#include <string>

BEGIN_MESSAGE_MAP(CEditEx, CEdit)
    ON_WM_CTLCOLOR_REFLECT(&CEditEx::CtlColor)
    ON_MESSAGE(WM_CHAR, &CEditEx::OnChar)
    ON_MESSAGE(WM_PAINT, &CEditEx::OnPaintThenBorder)
    ON_MESSAGE(WM_NCPAINT, &CEditEx::OnPaintThenBorder)
    ON_MESSAGE(WM_PRINT, &CEditEx::OnPrint)
    ON_MESSAGE(WM_COPY, &CEditEx::OnCopyOrCut)
    ON_MESSAGE(WM_CUT, &CEditEx::OnCopyOrCut)
END_MESSAGE_MAP()

CEditEx::CEditEx() : m_crBack(::GetSysColor(COLOR_WINDOW)), m_crText(::GetSysColor(COLOR_WINDOWTEXT))
{
    CreateBackBrush();
}

void CEditEx::CreateBackBrush()
{
    m_brushBack.CreateSolidBrush(m_crBack);
}

// The control's own limit is raised to the field's: below it the control would refuse the
// characters that the field's rule is there to handle.
void CEditEx::PreSubclassWindow()
{
    CEdit::PreSubclassWindow();
    SendMessage(EM_SETLIMITTEXT, kMaxLength);
}

COLORREF CEditEx::SetBackColor(COLORREF color)
{
    COLORREF old = m_crBack;
    m_crBack = color;
    m_brushBack.DeleteObject();
    CreateBackBrush();
    Invalidate(TRUE);
    return old;
}

COLORREF CEditEx::SetTextColor(COLORREF color)
{
    COLORREF old = m_crText;
    m_crText = color;
    Invalidate(TRUE);
    return old;
}

COLORREF CEditEx::SetBorderColor(COLORREF color)
{
    COLORREF old = m_crBorder;
    m_crBorder = color;
    Invalidate(TRUE);
    return old;
}

void CEditEx::SetFullFrame(bool full)
{
    m_bFullFrame = full;
    Invalidate(TRUE);
}

void CEditEx::SetTextFont(int height, int, BYTE pitchAndFamily, const char* face)
{
    LOGFONTA lf = {};
    lf.lfHeight = height;
    lf.lfWeight = FW_NORMAL;   // the fields always use a normal weight
    lf.lfPitchAndFamily = pitchAndFamily;
    CopyFaceName(lf, face);
    CFont font;
    font.CreateFontIndirect(&lf);
    // The control lets go of the old font before it is deleted.
    if (IsWindow()) SetFont(font, TRUE);
    m_font.Attach(font.Detach());
}

HBRUSH CEditEx::CtlColor(HDC dc, UINT)
{
    ::SetTextColor(dc, m_crText);
    ::SetBkColor(dc, m_crBack);
    return m_brushBack;
}

// A password field gives its text to no clipboard, whatever the edit control would do.
LRESULT CEditEx::OnCopyOrCut(WPARAM, LPARAM)
{
    if (GetStyle() & ES_PASSWORD) return 0;
    return Default();
}

// Below the limit every key is the control's. At the limit a printable character only
// replaces a selection, so the text never grows; other keys (Backspace, control keys) work
// as usual. A double-byte character arrives as two messages, lead byte first: the lead byte
// is kept until the trail byte comes, and the pair is then treated as one character, so half
// a character never goes in.
LRESULT CEditEx::OnChar(WPARAM wp, LPARAM)
{
    const char ch = static_cast<char>(wp);
    if (m_pair != Pair::None) {   // the trail byte of a pair
        const Pair pending = m_pair;
        m_pair = Pair::None;
        const char pair[3] = {m_chLead, ch, '\0'};
        if (pending == Pair::Type) TypePair(pair);
        if (pending == Pair::Replace) ReplaceSelectionOnly(pair);
        return 0;
    }
    const bool full = TextLength() >= kMaxLength;
    if (::IsDBCSLeadByte(static_cast<BYTE>(ch))) {
        m_chLead = ch;
        if (!full) {
            m_pair = Pair::Type;
            return 0;
        }
        DWORD start = 0, end = 0;
        SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        m_pair = start != end ? Pair::Replace : Pair::Drop;
        return 0;
    }
    const BYTE byte = static_cast<BYTE>(ch);
    if (!full || byte < 0x20 || byte > 0x7E) return Default();
    const char single[2] = {ch, '\0'};
    ReplaceSelectionOnly(single);
    return 0;
}

// Typing a double-byte character below the limit: the pair goes in as one piece of text at
// the selection, as the control's own typing would put it. Handed to the control as two
// separate bytes it would not survive: an edit control may convert each byte on its own
// (Wine's does, and puts '?' in the text).
void CEditEx::TypePair(const char* pair)
{
    if (!(GetStyle() & ES_READONLY)) ReplaceSel(pair, TRUE);
}

// The length in characters, as the control's own limit counts it. The wide length of an
// ANSI window's text may count a double-byte character twice, so it only sizes the buffer.
int CEditEx::TextLength() const
{
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(m_hWnd)) + 1, L'\0');
    return ::GetWindowTextW(m_hWnd, &text[0], static_cast<int>(text.size()));
}

bool CEditEx::ReplaceSelectionOnly(const char* text)
{
    DWORD start = 0, end = 0;
    SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    // The byte length bounds the selection whatever unit the control reports it in.
    if (start == end || end > static_cast<DWORD>(GetWindowTextLength())) return false;
    ReplaceSel(text, TRUE);
    return true;
}

// The border lies just outside the client area, over the item's static edge, so it is
// drawn through the window's own context in window coordinates; and again after a frame
// repaint, which would cover it.
LRESULT CEditEx::OnPaintThenBorder(WPARAM, LPARAM)
{
    LRESULT r = Default();
    CWindowDC dc(m_hWnd);
    DrawBorder(dc);
    return r;
}

// A copy of the window asked for with its frame gets the border too (the context is in
// window coordinates).
LRESULT CEditEx::OnPrint(WPARAM wp, LPARAM lp)
{
    LRESULT r = Default();
    if (lp & PRF_NONCLIENT) {
        CDC dc(reinterpret_cast<HDC>(wp));
        DrawBorder(dc);
    }
    return r;
}

void CEditEx::DrawBorder(CDC& dc)
{
    RECT border, window;
    GetClientRect(&border);
    GetWindowRect(&window);
    POINT origin = {0, 0};
    ClientToScreen(&origin);
    ::OffsetRect(&border, origin.x - window.left, origin.y - window.top);
    ::InflateRect(&border, 1, 1);
    if (m_bFullFrame) {
        dc.Draw3dRect(&border, m_crBorder, m_crBorder);
        return;
    }
    // The underline look: the edge painted over in the background colour, then one line on
    // the last pixel row of the client area.
    dc.Draw3dRect(&border, m_crBack, m_crBack);
    CPen pen(PS_SOLID, 1, m_crBorder);
    CSelection selectPen(dc, pen);
    CSelection selectBrush(dc, ::GetStockObject(NULL_BRUSH));
    dc.MoveTo(border.left, border.bottom - 2);
    dc.LineTo(border.right, border.bottom - 2);
}
