#include "Stripes.h"
#include <gtest/gtest.h>

std::vector<Stripe> FrameLines(RECT r, COLORREF color)
{
    // Each line leaves its end pixels to the line across (corner 1): the row beside a
    // horizontal line holds the vertical lines' pixels there.
    return {{"frame top", {r.left, r.top, r.right, r.top + 1}, color, 1},
            {"frame bottom", {r.left, r.bottom - 1, r.right, r.bottom}, color, 1},
            {"frame left", {r.left, r.top, r.left + 1, r.bottom}, color, 1},
            {"frame right", {r.right - 1, r.top, r.right, r.bottom}, color, 1}};
}

Pixels OwnSurface(HWND dlg)
{
    std::vector<HWND> hidden;
    for (HWND child = ::GetWindow(dlg, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (::IsWindowVisible(child)) hidden.push_back(child);
    for (HWND child : hidden) ::ShowWindow(child, SW_HIDE);
    Pixels p = Pixels::FromWindow(dlg);
    for (HWND child : hidden) ::ShowWindow(child, SW_SHOWNA);

    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    if (::GetWindowRgn(dlg, region) != ERROR) {
        RECT window;
        POINT client = {0, 0};
        ::GetWindowRect(dlg, &window);
        ::ClientToScreen(dlg, &client);
        ::OffsetRgn(region, window.left - client.x, window.top - client.y);
        p.KeepOnly(region);
    }
    ::DeleteObject(region);
    return p;
}

namespace {
bool Inside(const std::vector<RECT>& rects, int x, int y)
{
    const POINT pt = {x, y};
    for (const RECT& r : rects)
        if (::PtInRect(&r, pt)) return true;
    return false;
}

bool InCorner(const Stripe& s, int x, int y)
{
    const bool nearX = x < s.rect.left + s.corner || x >= s.rect.right - s.corner;
    const bool nearY = y < s.rect.top + s.corner || y >= s.rect.bottom - s.corner;
    return nearX && nearY;
}
}

void ExpectStripes(const Pixels& p, const std::vector<Stripe>& stripes, const std::vector<RECT>& covered)
{
    for (const Stripe& s : stripes) {
        const RECT& r = s.rect;
        int wrong = 0, first = -1;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                const COLORREF c = p.At(x, y);
                if (c == CLR_INVALID || c == s.color || InCorner(s, x, y) || Inside(covered, x, y)) continue;
                if (!wrong++) first = y;
            }
        EXPECT_EQ(0, wrong) << s.what << ": pixels not in its colour, the first in row " << first;

        int outside = 0;
        auto look = [&](int x, int y) {
            if (!Inside(covered, x, y) && p.At(x, y) == s.color) ++outside;
        };
        for (int x = r.left + s.corner; x < r.right - s.corner; ++x) {
            look(x, r.top - 1);
            look(x, r.bottom);
        }
        for (int y = r.top + s.corner; y < r.bottom - s.corner; ++y) {
            look(r.left - 1, y);
            look(r.right, y);
        }
        EXPECT_EQ(0, outside) << s.what << ": pixels of its colour just outside it";
    }
}
