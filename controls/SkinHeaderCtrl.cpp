#include "controls/SkinHeaderCtrl.h"
#include "controls/OffscreenDC.h"

namespace {
const char* const kDefaultFace = "宋体";
}

BEGIN_MESSAGE_MAP(CSkinHeaderCtrl, CHeaderCtrl)
    ON_MESSAGE(WM_PAINT, &CSkinHeaderCtrl::OnPaint)
    ON_MESSAGE(WM_PRINTCLIENT, &CSkinHeaderCtrl::OnPaint)
    ON_MESSAGE(HDM_LAYOUT, &CSkinHeaderCtrl::OnLayout)
    ON_MESSAGE(WM_ERASEBKGND, &CSkinHeaderCtrl::OnEraseBkgnd)
END_MESSAGE_MAP()

CSkinHeaderCtrl::CSkinHeaderCtrl()
    : m_crFrame(::GetSysColor(COLOR_BTNFACE)), m_crDivider(::GetSysColor(COLOR_BTNHIGHLIGHT)), m_strFace(kDefaultFace)
{
}

void CSkinHeaderCtrl::SetFontName(const char* face) { m_strFace = face && *face ? face : kDefaultFace; }
void CSkinHeaderCtrl::SetFontSize(int height, int width) { m_nFontHeight = height; m_nFontWidth = width; }
void CSkinHeaderCtrl::SetFontBold(int bold) { m_nBold = bold; }
void CSkinHeaderCtrl::SetHeightFactor(float factor) { m_fHeightFactor = factor; }
void CSkinHeaderCtrl::SetTitleColor(COLORREF color) { m_crTitle = color; }
void CSkinHeaderCtrl::SetGradientMode(int mode) { m_nGradientMode = mode; }

void CSkinHeaderCtrl::SetBackGradient(COLORREF start, int step)
{
    m_nRed = GetRValue(start);
    m_nGreen = GetGValue(start);
    m_nBlue = GetBValue(start);
    m_nStep = step;
}

void CSkinHeaderCtrl::SetFrameColor(COLORREF color, bool on)
{
    m_crFrame = color;
    m_bFrame = on;
    Invalidate(on);
}

void CSkinHeaderCtrl::SetDividerColor(COLORREF color, bool on)
{
    m_crDivider = color;
    m_bDividers = on;
    Invalidate(on);
}

// The list view asks its header for its place: the header's own answer, made taller.
LRESULT CSkinHeaderCtrl::OnLayout(WPARAM, LPARAM lp)
{
    LRESULT r = Default();
    auto* layout = reinterpret_cast<HDLAYOUT*>(lp);
    if (layout && layout->pwpos && layout->prc) {
        layout->pwpos->cy = static_cast<int>(static_cast<float>(layout->pwpos->cy) * m_fHeightFactor);
        layout->prc->top = layout->pwpos->cy;
    }
    return r;
}

void CSkinHeaderCtrl::RelayoutHeader(CListCtrl& list)
{
    list.SetFont(list.GetFont(), TRUE);
    RECT r;
    list.GetWindowRect(&r);
    const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    ::SetWindowPos(list, nullptr, 0, 0, r.right - r.left, r.bottom - r.top + 1, flags);
    ::SetWindowPos(list, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, flags);
}

// The whole picture is painted at once: nothing erases it first.
LRESULT CSkinHeaderCtrl::OnEraseBkgnd(WPARAM, LPARAM) { return TRUE; }

// Mode 0 is flat: its step is zeroed (and stays so until SetBackGradient). Mode 1 shades down
// over the whole height, the others turn at the middle.
int CSkinHeaderCtrl::Divisor()
{
    if (m_nGradientMode == 0) {
        m_nStep = 0;
        return 1;
    }
    return m_nGradientMode == 1 ? 1 : 2;
}

// Rows from `first` to `end` (not included) between `left` and `right`: the first row in the
// start colour, each next one a step darker, or lighter once past `middle`; a component never
// drops below 0 and shows only its low byte above 255.
void CSkinHeaderCtrl::ShadeRows(CDC& dc, int left, int right, int first, int end, int middle) const
{
    int r = m_nRed, g = m_nGreen, b = m_nBlue;
    for (int y = first; y < end; ++y) {
        CBrush brush(RGB(r & 0xFF, g & 0xFF, b & 0xFF));
        const RECT row = {left, y, right, y + 1};
        dc.FillRect(&row, brush);
        const int step = y > middle ? m_nStep : -m_nStep;
        r = r + step < 0 ? 0 : r + step;
        g = g + step < 0 ? 0 : g + step;
        b = b + step < 0 ? 0 : b + step;
    }
}

// A context given with the message (WM_PRINTCLIENT, or WM_PAINT as the common controls take
// it) is drawn into directly; the header's own repaint goes through an offscreen copy.
LRESULT CSkinHeaderCtrl::OnPaint(WPARAM wp, LPARAM)
{
    if (wp) {
        CDC dc(reinterpret_cast<HDC>(wp));
        RECT area;
        dc.GetClipBox(&area);
        Paint(dc, area);
        return 0;
    }
    CPaintDC paint(m_hWnd);
    COffscreenDC dc(paint);
    if (!::IsRectEmpty(&dc.Area())) Paint(dc, dc.Area());
    return 0;
}

void CSkinHeaderCtrl::Paint(CDC& dc, const RECT& area)
{
    RECT client;
    GetClientRect(&client);
    const int divisor = Divisor();
    // Rows are counted from the top of the header whatever part is repainted, so that a
    // partial repaint matches the rest.
    ShadeRows(dc, area.left, area.right, 0, client.bottom, client.bottom / divisor);
    dc.SetBkMode(TRANSPARENT);
    DrawTitles(dc);
    const int count = GetItemCount();
    RECT last;
    if (count > 0 && GetItemRect(count - 1, &last))
        ShadeRows(dc, last.right + 1, client.right, last.top, last.bottom + 1, last.bottom / divisor);
    if (m_bDividers) DrawDividers(dc);
    if (m_bFrame) dc.Draw3dRect(&client, m_crFrame, m_crFrame);
}

void CSkinHeaderCtrl::DrawTitles(CDC& dc)
{
    LOGFONTA lf = {};
    lf.lfHeight = m_nFontHeight;
    lf.lfWidth = m_nFontWidth;
    lf.lfWeight = m_nBold == 1 ? FW_BOLD : FW_NORMAL;
    CopyFaceName(lf, m_strFace);
    CFont font;
    font.CreateFontIndirect(&lf);
    CSelection select(dc, font);
    dc.SetTextColor(m_crTitle);
    TEXTMETRICA tm = {};
    dc.GetTextMetrics(&tm);
    const int count = GetItemCount();
    for (int i = 0; i < count && i < m_astrTitles.GetSize() && i < m_strAlign.GetLength(); ++i) {
        RECT r;
        if (!GetItemRect(i, &r)) continue;
        UINT format = DT_CENTER;
        switch (m_strAlign.GetAt(i)) {
        case '0': format = DT_LEFT; r.left += 3; break;
        case '2': format = DT_RIGHT; r.right -= 3; break;
        default: break;
        }
        ::OffsetRect(&r, 0, ((r.bottom - r.top) - tm.tmHeight) / 2);
        dc.DrawText(m_astrTitles[i], -1, &r, format);
    }
}

void CSkinHeaderCtrl::DrawDividers(CDC& dc)
{
    CPen pen(PS_SOLID, 1, m_crDivider);
    CSelection select(dc, pen);
    const int count = GetItemCount();
    for (int pos = 0; pos < count; ++pos) {
        RECT r;
        if (!GetItemRect(OrderToIndex(pos), &r)) continue;
        dc.MoveTo(r.right, r.top);
        dc.LineTo(r.right, r.bottom);
    }
}
