// Centring a top-level window where a user expects it to open.
#pragma once
#include <windows.h>

// Centres hWnd over its owner's window rectangle, or on the work area of its own monitor when
// it has no owner (or the owner is hidden or minimised), then moves it wholly into the work
// area of that monitor; a window larger than the work area keeps its top-left corner on it.
void CenterTopLevelWindow(HWND hWnd);
