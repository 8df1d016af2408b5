#include "Pixels.h"
#include "ModalDriver.h"
#include <algorithm>
#include <cstdlib>
#include <map>

Pixels Pixels::FromDC(HDC dc, int x, int y, int width, int height)
{
    Pixels p;
    p.m_width = width;
    p.m_height = height;
    p.m_bits.resize(static_cast<size_t>(width) * height);
    HDC mem = ::CreateCompatibleDC(dc);
    HBITMAP bmp = ::CreateCompatibleBitmap(dc, width, height);
    HGDIOBJ old = ::SelectObject(mem, bmp);
    ::BitBlt(mem, 0, 0, width, height, dc, x, y, SRCCOPY);
    ::SelectObject(mem, old);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    ::GetDIBits(mem, bmp, 0, height, p.m_bits.data(), &info, DIB_RGB_COLORS);
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
    return p;
}

Pixels Pixels::FromWindow(HWND h, bool whole)
{
    ::RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessages(100);
    RECT r;
    if (whole) {
        ::GetWindowRect(h, &r);
        ::OffsetRect(&r, -r.left, -r.top);
    } else {
        ::GetClientRect(h, &r);
    }
    HDC dc = whole ? ::GetWindowDC(h) : ::GetDC(h);
    Pixels p = FromDC(dc, 0, 0, r.right, r.bottom);
    ::ReleaseDC(h, dc);
    return p;
}

COLORREF Pixels::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return CLR_INVALID;
    DWORD v = m_bits[static_cast<size_t>(y) * m_width + x];
    if (!m_forgotten.empty() && m_forgotten[static_cast<size_t>(y) * m_width + x]) return CLR_INVALID;
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

int Pixels::Count(COLORREF color, const RECT* r) const
{
    RECT all = {0, 0, m_width, m_height};
    if (!r) r = &all;
    int n = 0;
    for (int y = r->top; y < r->bottom; ++y)
        for (int x = r->left; x < r->right; ++x)
            if (At(x, y) == color) ++n;
    return n;
}

COLORREF Pixels::MostCommon() const
{
    std::map<COLORREF, int> counts;
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x)
            if (const COLORREF c = At(x, y); c != CLR_INVALID) ++counts[c];
    auto most = std::max_element(counts.begin(), counts.end(),
                                 [](const auto& a, const auto& b) { return a.second < b.second; });
    return most == counts.end() ? CLR_INVALID : most->first;
}

COLORREF Pixels::FarthestFrom(COLORREF color) const
{
    auto distance = [color](COLORREF c) {
        return std::abs(GetRValue(c) - GetRValue(color)) + std::abs(GetGValue(c) - GetGValue(color)) +
               std::abs(GetBValue(c) - GetBValue(color));
    };
    COLORREF farthest = color;
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x)
            if (const COLORREF c = At(x, y); c != CLR_INVALID && distance(c) > distance(farthest)) farthest = c;
    return farthest;
}

void Pixels::KeepOnly(HRGN region)
{
    m_forgotten.assign(m_bits.size(), false);
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x)
            if (!::PtInRegion(region, x, y)) m_forgotten[static_cast<size_t>(y) * m_width + x] = true;
}

RECT Pixels::BoundsOfOther(COLORREF background, const RECT& r) const
{
    RECT b = {0, 0, 0, 0};
    bool any = false;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            if (At(x, y) == background) continue;
            if (!any) b = {x, y, x + 1, y + 1};
            b.left = x < b.left ? x : b.left;
            b.top = y < b.top ? y : b.top;
            b.right = x + 1 > b.right ? x + 1 : b.right;
            b.bottom = y + 1 > b.bottom ? y + 1 : b.bottom;
            any = true;
        }
    return b;
}

Surface::Surface(int width, int height, COLORREF fill) : m_width(width), m_height(height)
{
    HDC screen = ::GetDC(nullptr);
    m_dc = ::CreateCompatibleDC(screen);
    m_bitmap = ::CreateCompatibleBitmap(screen, width, height);
    ::ReleaseDC(nullptr, screen);
    m_old = ::SelectObject(m_dc, m_bitmap);
    RECT r = {0, 0, width, height};
    HBRUSH brush = ::CreateSolidBrush(fill);
    ::FillRect(m_dc, &r, brush);
    ::DeleteObject(brush);
}

Surface::~Surface()
{
    ::SelectObject(m_dc, m_old);
    ::DeleteObject(m_bitmap);
    ::DeleteDC(m_dc);
}
