// Pixels read back from a device context: what a window shows on the screen, or what a
// drawing routine drew into a memory surface.
#pragma once
#include <windows.h>
#include <vector>

class Pixels {
public:
    // A copy of `width` by `height` pixels of `dc` from (x, y).
    static Pixels FromDC(HDC dc, int x, int y, int width, int height);
    // What a shown window has on the screen: its client area, or with `whole` the whole
    // window in window coordinates. Repaints it first.
    static Pixels FromWindow(HWND h, bool whole = false);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    COLORREF At(int x, int y) const;
    // How many pixels of exactly `color` lie in `r` (all of the copy when r is null).
    int Count(COLORREF color, const RECT* r = nullptr) const;
    // The colour most pixels of the copy have (forgotten ones left out).
    COLORREF MostCommon() const;
    // Of the colours in the copy, the one farthest from `color` (the sum of the channels'
    // differences): text drawn over `color` with smoothed edges has its own colour where a
    // stroke covers a whole pixel, blends of the two elsewhere.
    COLORREF FarthestFrom(COLORREF color) const;
    // Forgets every pixel outside `region` (in the copy's coordinates): At answers
    // CLR_INVALID there.
    void KeepOnly(HRGN region);
    // The smallest rectangle holding every pixel that differs from `background` in `r`;
    // empty when there is none.
    RECT BoundsOfOther(COLORREF background, const RECT& r) const;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<DWORD> m_bits;   // top-down rows of 0x00RRGGBB
    std::vector<bool> m_forgotten;   // empty, or one flag per pixel (KeepOnly)
};

// A memory surface for drawing routines: `width` by `height`, filled with `fill`.
class Surface {
public:
    Surface(int width, int height, COLORREF fill);
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    HDC dc() const { return m_dc; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    Pixels Read() const { return Pixels::FromDC(m_dc, 0, 0, m_width, m_height); }

private:
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
    int m_width, m_height;
};
