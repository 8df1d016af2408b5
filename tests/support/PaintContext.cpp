#include "PaintContext.h"
#include "Pixels.h"
#include <gtest/gtest.h>

namespace {
bool IsOwnerDrawnButton(HWND h)
{
    char name[16] = "";
    ::GetClassNameA(h, name, sizeof name);
    return lstrcmpiA(name, "Button") == 0 && (::GetWindowLongA(h, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW;
}

// An owner-drawn button paints in its parent's WM_DRAWITEM, which is sent here as the system
// sends it: the system's own part of that paint (under Wine it selects the button's font into
// the context before and leaves it there) is not the control's. Any other window paints on
// WM_PRINT.
void AskToPaint(HWND window, HDC dc)
{
    if (!IsOwnerDrawnButton(window)) {
        ::SendMessageA(window, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_ERASEBKGND | PRF_CLIENT | PRF_NONCLIENT);
        return;
    }
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = static_cast<UINT>(::GetDlgCtrlID(window));
    dis.itemAction = ODA_DRAWENTIRE;
    dis.hwndItem = window;
    dis.hDC = dc;
    ::GetClientRect(window, &dis.rcItem);
    ::SendMessageA(::GetParent(window), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
}
}

void ExpectPaintKeepsContext(HWND window)
{
    RECT r;
    ::GetWindowRect(window, &r);
    Surface surface(r.right - r.left, r.bottom - r.top, RGB(255, 255, 255));
    HDC dc = surface.dc();
    HFONT font = ::CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    HPEN pen = ::CreatePen(PS_DOT, 1, RGB(1, 2, 3));
    HBRUSH brush = ::CreateSolidBrush(RGB(4, 5, 6));
    HGDIOBJ oldFont = ::SelectObject(dc, font), oldPen = ::SelectObject(dc, pen), oldBrush = ::SelectObject(dc, brush);
    const HGDIOBJ bitmap = ::GetCurrentObject(dc, OBJ_BITMAP);

    AskToPaint(window, dc);

    const struct { const char* name; UINT type; HGDIOBJ before; } objects[] = {
        {"font", OBJ_FONT, font}, {"pen", OBJ_PEN, pen}, {"brush", OBJ_BRUSH, brush}, {"bitmap", OBJ_BITMAP, bitmap}};
    for (const auto& o : objects) EXPECT_EQ(o.before, ::GetCurrentObject(dc, o.type)) << "the " << o.name << " was changed";
    ::SelectObject(dc, oldFont);
    ::SelectObject(dc, oldPen);
    ::SelectObject(dc, oldBrush);
    EXPECT_TRUE(::DeleteObject(font) && ::DeleteObject(pen) && ::DeleteObject(brush));
}
