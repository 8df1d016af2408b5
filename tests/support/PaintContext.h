// What a control's painting leaves in a device context it is given: a context lent for one
// paint must be handed back holding the objects it came with.
#pragma once
#include <windows.h>

// Has `window` paint itself (WM_PRINT: background, client and non-client area; an owner-drawn
// button: WM_DRAWITEM to its parent) into a memory context of the test's own, which holds a
// font, pen and brush of the test's besides its bitmap; fails the calling test for each of the
// four that is another one afterwards.
void ExpectPaintKeepsContext(HWND window);
