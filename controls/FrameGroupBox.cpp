#include "controls/FrameGroupBox.h"
#include <initializer_list>

BEGIN_MESSAGE_MAP(CFrameGroupBox, CButton)
    ON_MESSAGE(WM_PAINT, &CFrameGroupBox::OnPaint)
    ON_MESSAGE(WM_PRINTCLIENT, &CFrameGroupBox::OnPaint)
    ON_WM_CTLCOLOR_REFLECT(&CFrameGroupBox::CtlColor)
END_MESSAGE_MAP()

CFrameGroupBox::CFrameGroupBox()
    : m_crMain(::GetSysColor(COLOR_BTNSHADOW)), m_crSecond(::GetSysColor(COLOR_BTNHIGHLIGHT)),
      m_crDisabledMain(::GetSysColor(COLOR_BTNSHADOW)), m_crDisabledSecond(::GetSysColor(COLOR_BTNHIGHLIGHT))
{
    SetCaptionFont(nullptr);
}

void CFrameGroupBox::SetLineColors(COLORREF main, COLORREF second, bool redraw)
{
    m_crMain = main ? main : m_crDisabledMain;
    m_crSecond = second ? second : m_crDisabledSecond;
    if (redraw) Invalidate(FALSE);
}

void CFrameGroupBox::SetCaptionColor(COLORREF color, bool redraw)
{
    m_crCaption = color;
    if (redraw) Invalidate(TRUE);
}

void CFrameGroupBox::SetCaptionFont(const LOGFONTA* description)
{
    LOGFONTA lf = {};
    if (description) {
        lf = *description;
    } else {
        lf.lfHeight = 80;
        lf.lfWeight = FW_NORMAL;
        lf.lfOutPrecision = OUT_STROKE_PRECIS;
        lf.lfClipPrecision = CLIP_STROKE_PRECIS;
        lf.lfQuality = PROOF_QUALITY;
        CopyFaceName(lf, "MS Sans Serif");
    }
    m_font.CreatePointFontIndirect(&lf);
}

void CFrameGroupBox::SetLook(int look)
{
    m_nLook = look == LookFlat || look == LookDouble ? look : LookEtched;
}

// The caption, its alignment and the frame's bounds are read once, when attached.
void CFrameGroupBox::PreSubclassWindow()
{
    m_strCaption = GetWindowText();
    const LONG_PTR style = GetStyle();
    const LONG_PTR horizontal = style & BS_CENTER;
    m_nAlign = horizontal == BS_CENTER ? AlignCentre : horizontal == BS_RIGHT ? AlignRight : AlignLeft;

    GetWindowRect(&m_rcFrame);
    ScreenToClient(&m_rcFrame);
    const LONG_PTR ex = ::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE);
    const int cxEdge = ::GetSystemMetrics(SM_CXEDGE), cyEdge = ::GetSystemMetrics(SM_CYEDGE);
    if (ex & WS_EX_DLGMODALFRAME) {
        ::InflateRect(&m_rcFrame, -2 * cxEdge, -2 * cyEdge);
        --m_rcFrame.left;
    }
    if (ex & WS_EX_CLIENTEDGE) {
        ::InflateRect(&m_rcFrame, -(cxEdge + 1), -(cyEdge + 1));
        --m_rcFrame.left;
        if (ex & WS_EX_DLGMODALFRAME) ++m_rcFrame.right;
    }
    if (ex & WS_EX_STATICEDGE) {
        ::InflateRect(&m_rcFrame, -2 * ::GetSystemMetrics(SM_CXBORDER), -2 * ::GetSystemMetrics(SM_CYBORDER));
        --m_rcFrame.left;
    }
    m_nLook = (style & BS_FLAT) ? 0 : 1;   // both drawn etched; the owner chooses its look
    m_bCaptionImage = (style & (BS_ICON | BS_BITMAP)) != 0;
    CButton::PreSubclassWindow();
}

// The caption as drawn: one space each side.
CString CFrameGroupBox::SpacedCaption() const
{
    CString text;
    text.Format(" %s ", static_cast<const char*>(m_strCaption));
    return text;
}

// The gap's ends and the top line's row. The line sits at half the height of the context's
// own font (before the caption font is chosen); the gap is as wide as the caption with a
// space each side, in the caption font.
void CFrameGroupBox::CaptionGap(HDC hdc, int* xs, int* xe, int* lineY) const
{
    CDC dc(hdc);
    const CString text = SpacedCaption();
    const SIZE plain = dc.GetTextExtent(text, text.GetLength());
    CSelection select(dc, m_font);
    const SIZE caption = dc.GetTextExtent(text, text.GetLength());
    const RECT& f = m_rcFrame;
    *lineY = f.top + plain.cy / 2 - 1;
    switch (m_nAlign) {
    case AlignRight: *xe = f.right - m_nMargin; *xs = *xe - caption.cx; break;
    case AlignCentre: *xs = f.left + (f.right - f.left - caption.cx) / 2; *xe = *xs + caption.cx; break;
    default: *xs = f.left + m_nMargin; *xe = *xs + caption.cx; break;
    }
}

// Every figure starts and ends at the gap, so that the top line stays open between xs and
// xe. The right and bottom lines lie on the control's last pixels (R - w, B - w).
void CFrameGroupBox::DrawFrame(CDC& dc, int xs, int xe, int y, HPEN first, HPEN second) const
{
    const int w = m_nLineWidth;
    const int L = m_rcFrame.left, R = m_rcFrame.right - w, B = m_rcFrame.bottom - w;
    auto figure = [&](HPEN pen, std::initializer_list<POINT> points) {
        CSelection select(dc, pen);
        auto p = points.begin();
        dc.MoveTo(p->x, p->y);
        for (++p; p != points.end(); ++p) dc.LineTo(p->x, p->y);
    };
    if (m_nLook == LookFlat) {
        figure(first, {{xs, y}, {L, y}, {L, B}, {R, B}, {R, y}, {xe, y}});
    } else if (m_nLook == LookDouble) {
        figure(first, {{xs, y}, {L, y}, {L, B}, {R, B}, {R, y}, {xe, y}});
        figure(second, {{xs, y - w}, {L - w, y - w}, {L - w, B + w}, {R + w, B + w}, {R + w, y - w}, {xe, y - w}});
    } else {
        figure(first, {{xs, y}, {L, y}, {L, B - w}, {R - w, B - w}, {R - w, y}, {xe, y}});
        figure(second, {{xs, y + w}, {L + w, y + w}, {L + w, B - 2 * w}});
        figure(second, {{L + w, B}, {R, B}, {R, y + w}});
        figure(second, {{R - 2 * w, y + w}, {xe, y + w}});
    }
}

// Into the context given with the message (WM_PRINTCLIENT, or WM_PAINT with one), else into
// the box's own paint context.
LRESULT CFrameGroupBox::OnPaint(WPARAM wp, LPARAM)
{
    if (wp) {
        CDC dc(reinterpret_cast<HDC>(wp));
        Paint(dc);
    } else {
        CPaintDC dc(m_hWnd);
        Paint(dc);
    }
    return 0;
}

void CFrameGroupBox::Paint(CDC& dc)
{
    const int saved = dc.SaveDC();
    int xs, xe, y;
    CaptionGap(dc, &xs, &xe, &y);
    const bool enabled = IsWindowEnabled() != FALSE;
    CPen first, second;
    first.CreateGeometricPen(m_nLineWidth, enabled ? m_crMain : m_crDisabledMain);
    second.CreateGeometricPen(m_nLineWidth, enabled ? m_crSecond : m_crDisabledSecond);
    DrawFrame(dc, xs, xe, y, first, second);

    if (!m_strCaption.IsEmpty() && !m_bCaptionImage) {
        const CString text = SpacedCaption();
        CSelection select(dc, m_font);
        dc.SetTextColor(m_crCaption);
        dc.SetBkMode(TRANSPARENT);
        if (enabled) {
            RECT r = {xs, y - m_nRise, xe, y};
            dc.DrawText(text, -1, &r, DT_SINGLELINE | DT_VCENTER | DT_NOCLIP);
        } else {
            const SIZE size = dc.GetTextExtent(text, text.GetLength());
            ::DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(static_cast<const char*>(text)), 0, xs,
                         y - size.cy / 2, size.cx, size.cy, DST_PREFIXTEXT | DSS_DISABLED);
        }
    }
    dc.RestoreDC(saved);
}

// The stock group box paints over the dialog on its own now and then (on enabling, on a new
// text) and asks for colours first: the dialog's surface under the box is repainted then,
// and the box over it. Requests that come while the dialog itself paints are left alone, so
// that the two never keep repainting each other.
HBRUSH CFrameGroupBox::CtlColor(HDC, UINT)
{
    HWND parent = GetParent();
    CWnd* owner = CWnd::FromHandlePermanent(parent);
    if (owner && owner->IsPainting()) return nullptr;
    RECT place;
    GetWindowRect(&place);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
    ::InvalidateRect(parent, &place, TRUE);
    return nullptr;
}
