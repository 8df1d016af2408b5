#include "controls/FlatComboBox.h"

BEGIN_MESSAGE_MAP(CFlatComboBox, CComboBox)
    ON_MESSAGE(WM_PAINT, &CFlatComboBox::OnPaint)
    ON_MESSAGE(WM_PRINTCLIENT, &CFlatComboBox::OnPaint)
    ON_MESSAGE(WM_LBUTTONDOWN, &CFlatComboBox::OnLButtonDown)
    ON_MESSAGE(WM_LBUTTONUP, &CFlatComboBox::OnButtonReleased)
    ON_MESSAGE(WM_CAPTURECHANGED, &CFlatComboBox::OnButtonReleased)
    ON_MESSAGE(WM_KILLFOCUS, &CFlatComboBox::OnButtonReleased)
END_MESSAGE_MAP()

CFlatComboBox::CFlatComboBox()
    : m_colors{RGB(65, 105, 225), RGB(0, 128, 0), RGB(65, 105, 225), RGB(65, 105, 225), RGB(255, 255, 0)}
{
}

void CFlatComboBox::SetColor(int index, COLORREF color, bool redraw)
{
    if (index < 0 || index >= kColorSlots) return;
    m_colors[index] = color;
    if (redraw) Invalidate(TRUE);
}

// Over the combo box's own drawing, in the context given with the message (WM_PRINTCLIENT,
// or WM_PAINT with one) or else in one of the window's own.
LRESULT CFlatComboBox::OnPaint(WPARAM wp, LPARAM)
{
    LRESULT r = Default();
    if (wp) {
        CDC dc(reinterpret_cast<HDC>(wp));
        DrawFlat(dc);
    } else {
        CClientDC dc(m_hWnd);
        DrawFlat(dc);
    }
    return r;
}

LRESULT CFlatComboBox::OnLButtonDown(WPARAM, LPARAM)
{
    m_bButtonDown = true;
    return Default();
}

// The press ends with the release, and also when the control loses the mouse capture or the
// focus (the release may then never reach it).
LRESULT CFlatComboBox::OnButtonReleased(WPARAM, LPARAM)
{
    m_bButtonDown = false;
    return Default();
}

// The button is as wide as the menu bar is high, inside the one-pixel edge; its inner square
// is a third of it in from each side, one pixel larger each way while the button is held.
void CFlatComboBox::ButtonRects(RECT* button, RECT* inner) const
{
    RECT b;
    GetClientRect(&b);
    b.left = b.right - (::GetSystemMetrics(SM_CYMENU) & 0xFF);
    ::InflateRect(&b, -1, -1);
    const int w = (b.right - b.left) / 3, h = (b.bottom - b.top) / 3;
    *button = b;
    *inner = {b.left + w, b.top + h, b.right - w, b.bottom - h};
    if (m_bButtonDown) ::InflateRect(inner, 1, 1);
}

void CFlatComboBox::DrawFlat(CDC& dc)
{
    RECT r;
    GetClientRect(&r);
    dc.Draw3dRect(&r, RGB(255, 255, 255), RGB(255, 255, 255));
    ::InflateRect(&r, -1, -1);
    dc.Draw3dRect(&r, m_colors[0], m_colors[0]);

    RECT button, inner;
    ButtonRects(&button, &inner);
    RECT square = button;
    ::InflateRect(&square, -1, -1);
    --square.left;
    CBrush fill(m_colors[3]);
    CPen outline(PS_SOLID, 1, m_colors[3]);
    {
        CSelection selectBrush(dc, fill);
        CSelection selectPen(dc, outline);
        dc.Rectangle(&square);
    }
    CBrush innerFill(m_colors[4]);
    dc.FillRect(&inner, innerFill);
}
