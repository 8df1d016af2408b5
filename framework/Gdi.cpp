#include "framework/Gdi.h"
#include <cstdlib>
#include <cstring>

namespace {
long g_owned = 0;   // user-interface thread only
long g_refused = 0;
}

long GdiHandlesOwned() { return g_owned; }
long GdiDeletesRefused() { return g_refused; }
void gdi_detail::CountOwned(int delta) { g_owned += delta; }

BOOL gdi_detail::CountDeleted(BOOL deleted)
{
    if (deleted) --g_owned;
    else ++g_refused;
    return deleted;
}

void CopyFaceName(LOGFONTA& lf, const char* face)
{
    size_t n = 0;
    while (face[n]) {
        const size_t step = ::IsDBCSLeadByte(static_cast<BYTE>(face[n])) && face[n + 1] ? 2 : 1;
        if (n + step > LF_FACESIZE - 1) break;
        n += step;
    }
    std::memcpy(lf.lfFaceName, face, n);
    lf.lfFaceName[n] = '\0';
}

bool GetIconSize(HICON icon, SIZE* size)
{
    ICONINFO info = {};
    if (!icon || !::GetIconInfo(icon, &info)) return false;
    BITMAP bm = {};
    bool ok = false;
    if (info.hbmColor && ::GetObjectA(info.hbmColor, sizeof bm, &bm)) {
        *size = {bm.bmWidth, bm.bmHeight};
        ok = true;
    } else if (info.hbmMask && ::GetObjectA(info.hbmMask, sizeof bm, &bm)) {
        // A monochrome icon: the mask holds the AND and XOR halves one above the other.
        *size = {bm.bmWidth, bm.bmHeight / 2};
        ok = true;
    }
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    if (info.hbmMask) ::DeleteObject(info.hbmMask);
    return ok;
}

bool CIcon::Load(UINT id)
{
    Destroy();
    m_hIcon = static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON, 0, 0,
                                              LR_DEFAULTCOLOR));
    if (m_hIcon) gdi_detail::CountOwned(+1);
    return m_hIcon != nullptr;
}

void CIcon::Destroy()
{
    if (!m_hIcon) return;
    gdi_detail::CountDeleted(::DestroyIcon(m_hIcon));
    m_hIcon = nullptr;
}

bool CIcon::GetSize(SIZE* size) const { return GetIconSize(m_hIcon, size); }

bool CMemDC::Create(HDC ref, int cx, int cy)
{
    Release();
    m_hDC = ::CreateCompatibleDC(ref);
    if (!m_hDC) return false;
    gdi_detail::CountOwned(+1);
    if (!m_bitmap.CreateCompatibleBitmap(ref, cx, cy)) {
        Release();
        return false;
    }
    m_hOldBitmap = ::SelectObject(m_hDC, m_bitmap);
    m_size = {cx, cy};
    return true;
}

void CMemDC::Release()
{
    if (m_hDC) {
        if (m_hOldBitmap) ::SelectObject(m_hDC, m_hOldBitmap);
        gdi_detail::CountDeleted(::DeleteDC(m_hDC));
    }
    m_hOldBitmap = nullptr;
    m_hDC = nullptr;
    m_bitmap.DeleteObject();
    m_size = {0, 0};
}

void CDC::Draw3dRect(const RECT* r, COLORREF topLeft, COLORREF bottomRight)
{
    const int x = r->left, y = r->top, cx = r->right - r->left, cy = r->bottom - r->top;
    FillSolidRect(x, y, cx - 1, 1, topLeft);
    FillSolidRect(x, y, 1, cy - 1, topLeft);
    FillSolidRect(x + cx - 1, y, 1, cy, bottomRight);
    FillSolidRect(x, y + cy - 1, cx, 1, bottomRight);
}

BOOL CFont::CreatePointFont(int nPointSize, const char* face, HDC hdc)
{
    LOGFONTA lf = {};
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = nPointSize;
    std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return CreatePointFontIndirect(&lf, hdc);
}

BOOL CFont::CreatePointFontIndirect(const LOGFONTA* description, HDC hdc)
{
    LOGFONTA lf = *description;
    // Tenths of a point to logical units of the screen (or the given device), as a
    // character height (negative).
    HDC dc = hdc ? hdc : ::GetDC(nullptr);
    POINT pt = { 0, ::MulDiv(::GetDeviceCaps(dc, LOGPIXELSY), lf.lfHeight, 720) };
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
