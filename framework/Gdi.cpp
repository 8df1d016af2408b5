#include "framework/Gdi.h"
#include <cstdlib>
#include <cstring>

BOOL CFont::CreatePointFont(int nPointSize, const char* face, HDC hdc)
{
    LOGFONTA lf = {};
    lf.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    // Tenths of a point to logical units of the screen (or the given device), as a
    // character height (negative).
    HDC dc = hdc ? hdc : ::GetDC(nullptr);
    POINT pt = { 0, ::MulDiv(::GetDeviceCaps(dc, LOGPIXELSY), nPointSize, 720) };
    POINT origin = { 0, 0 };
    ::DPtoLP(dc, &pt, 1);
    ::DPtoLP(dc, &origin, 1);
    if (!hdc) ::ReleaseDC(nullptr, dc);
    lf.lfHeight = -std::abs(pt.y - origin.y);
    return CreateFontIndirect(&lf);
}

void CDC::FillSolidRect(const RECT* r, COLORREF c)
{
    COLORREF old = ::SetBkColor(m_hDC, c);
    ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, r, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}
