#include "framework/CenterWindow.h"

namespace {
// Moves the span [lo, hi) by as little as it takes to lie within [areaLo, areaHi); a span
// longer than the area starts at areaLo.
LONG ShiftInto(LONG lo, LONG hi, LONG areaLo, LONG areaHi)
{
    if (hi > areaHi) lo -= hi - areaHi;
    if (lo < areaLo) lo = areaLo;
    return lo;
}
}

void CenterTopLevelWindow(HWND hWnd)
{
    HWND owner = ::GetWindow(hWnd, GW_OWNER);
    if (owner && (!::IsWindowVisible(owner) || ::IsIconic(owner))) owner = nullptr;

    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (!::GetMonitorInfoA(::MonitorFromWindow(owner ? owner : hWnd, MONITOR_DEFAULTTONEAREST), &monitor)) return;
    const RECT& work = monitor.rcWork;

    RECT window, over = work;
    ::GetWindowRect(hWnd, &window);
    if (owner) ::GetWindowRect(owner, &over);
    const LONG width = window.right - window.left, height = window.bottom - window.top;
    LONG x = (over.left + over.right - width) / 2;
    LONG y = (over.top + over.bottom - height) / 2;
    x = ShiftInto(x, x + width, work.left, work.right);
    y = ShiftInto(y, y + height, work.top, work.bottom);
    ::SetWindowPos(hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
