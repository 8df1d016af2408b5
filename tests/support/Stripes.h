// Whole stretches of a dialog's own look checked on the screen: its bands and frame lines,
// every row and column of each, and the pixels just outside each edge.
#pragma once
#include "Pixels.h"
#include <vector>

// A stretch painted in one colour.
struct Stripe {
    const char* what;
    RECT rect;
    COLORREF color;
    int corner = 0;   // squares of this size at the corners are left out (a rounded band)
};

// The four one-pixel lines of a frame on the innermost pixels of `r`.
std::vector<Stripe> FrameLines(RECT r, COLORREF color);

// What the dialog itself shows on the screen: its client area with every child window hidden
// for the moment; pixels outside the window's region hold `CLR_INVALID`.
Pixels OwnSurface(HWND dlg);

// Every pixel of each stripe is its colour (leaving out its corners), and the row above, the
// row below, the column left and the column right of it hold none of that colour, so that a
// stripe one pixel short or long at any edge fails. Nothing is checked inside `covered`:
// places where the dialog draws something else over the stripe on purpose.
void ExpectStripes(const Pixels& p, const std::vector<Stripe>& stripes, const std::vector<RECT>& covered = {});
