#include "controls/BaseDialog.h"

BEGIN_MESSAGE_MAP(CBaseDialog, CDialog)
    ON_MESSAGE_VOID(WM_PAINT, &CBaseDialog::OnPaint)
    ON_MESSAGE(WM_PRINTCLIENT, &CBaseDialog::OnPrintClient)
    ON_MOUSE(WM_LBUTTONDOWN, &CBaseDialog::OnLButtonDown)
END_MESSAGE_MAP()

CBaseDialog::CBaseDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : CDialog(nIDTemplate, pParentWnd),
      m_crBackground(::GetSysColor(COLOR_BTNFACE)),
      m_crFrame(::GetSysColor(COLOR_BTNFACE))
{
    m_brushBackground.CreateSolidBrush(m_crBackground);
    for (Band& band : m_band) band.color = ::GetSysColor(COLOR_BTNFACE);
}

// Rebuilds the brush the dialog is erased with; repaints nothing by itself.
void CBaseDialog::SetBackgroundColor(COLORREF color)
{
    m_crBackground = color;
    m_brushBackground.CreateSolidBrush(color);
}

// The base colour of the shade; the erasing brush keeps the colour of the last
// SetBackgroundColor.
void CBaseDialog::SetBackgroundStyle(int style, COLORREF baseColor, bool redraw)
{
    m_nBackgroundStyle = style;
    m_crBackground = baseColor;
    if (redraw) Invalidate(TRUE);
}

// Keeps the vertical inset (0: the same as the horizontal one). Switching the frame off does
// not repaint: the old frame stays until something else repaints the dialog.
void CBaseDialog::SetFrame(bool show, int inset, COLORREF color)
{
    SetFrame(show, inset, m_nFrameInsetY, color);
}

void CBaseDialog::SetFrame(bool show, int insetX, int insetY, COLORREF color)
{
    m_bFrame = show;
    m_nFrameInsetX = insetX;
    m_nFrameInsetY = insetY;
    m_crFrame = color;
    if (show) Invalidate(TRUE);
}

// The band rectangles are computed once, from the client rectangle of this moment: the
// dialogs have fixed sizes.
void CBaseDialog::SetCaptionBand(int margin, int top, int height, COLORREF color, bool rounded)
{
    RECT client;
    GetClientRect(&client);
    const int m = margin < 0 ? 0 : margin;
    const int t = top < 0 ? 0 : top;
    const int h = height < 0 ? 8 : height;
    m_band[0] = {true, {m, t, client.right - m, t + h}, color, rounded};
    Invalidate(TRUE);
}

void CBaseDialog::SetFooterBand(int margin, int fromBottom, int height, COLORREF color, bool rounded)
{
    RECT client;
    GetClientRect(&client);
    const int m = margin < 0 ? 0 : margin;
    const int d = fromBottom < 0 ? 0 : fromBottom;
    int h = height < 0 ? 8 : height;
    if (h > d) h = d - 1;
    m_band[1] = {true, {m, client.bottom - d, client.right - m, client.bottom - d + h}, color, rounded};
    Invalidate(TRUE);
}

void CBaseDialog::SetCaptionIcon(int x, int y, UINT iconId, bool redraw)
{
    SIZE size;
    if (!m_icon.Load(iconId) || !m_icon.GetSize(&size)) m_icon.Destroy();
    m_ptIcon = {x, y};
    if (redraw) Invalidate(TRUE);
}

void CBaseDialog::PaintBackground(CDC& dc)
{
    RECT client;
    GetClientRect(&client);
    if (m_nBackgroundStyle > 0) PaintShade(dc, client.right, client.bottom);
    if (m_bFrame) PaintFrame(dc, client);
    for (const Band& band : m_band)
        if (band.shown) PaintBand(dc, band);
    if (m_icon) dc.DrawIconEx(m_ptIcon.x, m_ptIcon.y, m_icon);
}

// One row at a time: every channel steps down by one level per row to the turning row
// (height / style), then up again; a channel leaving 0..254 wraps (kept modulo 255 with its
// sign, drawn by its low eight bits).
void CBaseDialog::PaintShade(CDC& dc, int width, int height)
{
    if (m_nBackgroundStyle > BackgroundShadeToMiddle) return;
    int r = GetRValue(m_crBackground), g = GetGValue(m_crBackground), b = GetBValue(m_crBackground);
    const int turn = height / m_nBackgroundStyle;
    for (int i = 0; i < height; ++i) {
        dc.FillSolidRect(0, i, width, 1, RGB(r & 0xFF, g & 0xFF, b & 0xFF));
        const int step = i <= turn ? -1 : 1;
        r = (r + step) % 255;
        g = (g + step) % 255;
        b = (b + step) % 255;
    }
}

void CBaseDialog::PaintFrame(CDC& dc, const RECT& client)
{
    if (m_nFrameInsetX <= 0) m_nFrameInsetX = 1;
    if (m_nFrameInsetY == 0) m_nFrameInsetY = m_nFrameInsetX;
    RECT frame = client;
    ::InflateRect(&frame, -m_nFrameInsetX, -m_nFrameInsetY);
    CBrush brush(m_crFrame);
    dc.FrameRect(&frame, brush);
}

void CBaseDialog::PaintBand(CDC& dc, const Band& band)
{
    CBrush brush(band.color);
    if (band.rounded) {
        CRgn rgn;
        if (rgn.CreateRoundRectRgn(band.rect.left, band.rect.top, band.rect.right, band.rect.bottom, 2, 2))
            dc.FillRgn(rgn, brush);
    } else {
        dc.FillRect(&band.rect, brush);
    }
}

void CBaseDialog::OnPaint()
{
    CPaintDC dc(m_hWnd);
    PaintBackground(dc);
}

// What the dialog would paint, into the given context: the erase with the background brush
// when asked for, then the rest of its look.
LRESULT CBaseDialog::OnPrintClient(WPARAM wp, LPARAM lp)
{
    CDC dc(reinterpret_cast<HDC>(wp));
    if (lp & PRF_ERASEBKGND) {
        RECT client;
        GetClientRect(&client);
        dc.FillRect(&client, m_brushBackground);
    }
    PaintBackground(dc);
    return 0;
}

static bool IsStaticControl(HWND h)
{
    char cls[16] = "";
    ::GetClassNameA(h, cls, sizeof cls);
    return lstrcmpiA(cls, "Static") == 0;
}

// The dialog's own background gets the background brush. On a shaded background a static
// control (told by its window class: read-only edits and group boxes ask with the same
// message) is given the hollow brush, so that the shade shows behind its text.
HBRUSH CBaseDialog::OnCtlColor(HDC dc, HWND child, UINT nCtlColor, HBRUSH standard)
{
    if (nCtlColor == CTLCOLOR_DLG && child == m_hWnd) return m_brushBackground;
    if (m_nBackgroundStyle > BackgroundSolid && nCtlColor == CTLCOLOR_STATIC && IsStaticControl(child)) {
        ::SetBkMode(dc, TRANSPARENT);
        return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    }
    return standard;
}

// A press on the dialog's own surface (or on a label that lets clicks through) grabs the
// dialog as if by its caption: the window system then moves it with the mouse.
void CBaseDialog::OnLButtonDown(UINT, POINT pt)
{
    PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(pt.x, pt.y));
    Default();
}

void CBaseDialog::OnOK()
{
    if (!UpdateData(TRUE)) return;
    CDialog::OnOK();
}
