// GDI wrappers. A GDI object either owns its handle (created through the wrapper: deleted in
// the destructor) or is a view of a handle owned elsewhere (FromHandle: never deleted).
// The wrappers count the handles they own (objects, memory DCs, icons), so that tests can see
// a leak: the system's own count (GetGuiResources) is not available on every platform. A
// delete the system refuses (an object still selected into a context, a handle deleted
// elsewhere) leaves the handle counted and is counted itself.
#pragma once
#include <windows.h>

// Handles owned by the framework's drawing wrappers right now.
long GdiHandlesOwned();
// Deletes of owned handles that the system refused since the program started.
long GdiDeletesRefused();
namespace gdi_detail {
void CountOwned(int delta);
// Counts the outcome of deleting an owned handle; returns `deleted`.
BOOL CountDeleted(BOOL deleted);
}

template <class H>
class CGdiObjectT {
public:
    CGdiObjectT() = default;
    ~CGdiObjectT() { DeleteObject(); }
    CGdiObjectT(const CGdiObjectT&) = delete;
    CGdiObjectT& operator=(const CGdiObjectT&) = delete;

    H m_hObject = nullptr;
    operator H() const { return m_hObject; }
    H GetSafeHandle() const { return m_hObject; }
    bool IsOwner() const { return m_bOwned; }

    // Takes ownership of a handle.
    void Attach(H h)
    {
        DeleteObject();
        m_hObject = h;
        m_bOwned = h != nullptr;
        if (m_bOwned) gdi_detail::CountOwned(+1);
    }
    // Views a handle owned elsewhere.
    void AttachView(H h) { DeleteObject(); m_hObject = h; m_bOwned = false; }
    // Lets go of the handle; whoever receives it owns it from then on.
    H Detach()
    {
        H h = m_hObject;
        if (m_bOwned) gdi_detail::CountOwned(-1);
        m_hObject = nullptr;
        m_bOwned = false;
        return h;
    }
    BOOL DeleteObject()
    {
        BOOL ok = FALSE;
        if (m_hObject && m_bOwned) ok = gdi_detail::CountDeleted(::DeleteObject(m_hObject));
        m_hObject = nullptr;
        m_bOwned = false;
        return ok;
    }

private:
    bool m_bOwned = false;
};

class CFont : public CGdiObjectT<HFONT> {
public:
    BOOL CreateFontIndirect(const LOGFONTA* lf) { Attach(::CreateFontIndirectA(lf)); return m_hObject != nullptr; }
    // A font of nPointSize tenths of a point, measured on the screen.
    BOOL CreatePointFont(int nPointSize, const char* face, HDC hdc = nullptr);
    // A font from a description whose height is in tenths of a point.
    BOOL CreatePointFontIndirect(const LOGFONTA* lf, HDC hdc = nullptr);
    BOOL GetLogFont(LOGFONTA* lf) const { return ::GetObjectA(m_hObject, sizeof *lf, lf) == static_cast<int>(sizeof *lf); }
};

// Copies a face name into a font description: whole characters only (a double-byte
// character is never cut in two), at most LF_FACESIZE - 1 bytes, always terminated.
void CopyFaceName(LOGFONTA& lf, const char* face);

class CBrush : public CGdiObjectT<HBRUSH> {
public:
    CBrush() = default;
    explicit CBrush(COLORREF c) { CreateSolidBrush(c); }
    BOOL CreateSolidBrush(COLORREF c) { Attach(::CreateSolidBrush(c)); return m_hObject != nullptr; }
};

class CPen : public CGdiObjectT<HPEN> {
public:
    CPen() = default;
    CPen(int style, int width, COLORREF c) { CreatePen(style, width, c); }
    BOOL CreatePen(int style, int width, COLORREF c) { Attach(::CreatePen(style, width, c)); return m_hObject != nullptr; }
    // A solid geometric pen of `width` with square ends, drawn with a solid brush of `c`.
    BOOL CreateGeometricPen(int width, COLORREF c)
    {
        LOGBRUSH lb = {BS_SOLID, c, 0};
        Attach(::ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_SQUARE, static_cast<DWORD>(width), &lb, 0, nullptr));
        return m_hObject != nullptr;
    }
};

class CBitmap : public CGdiObjectT<HBITMAP> {
public:
    BOOL CreateCompatibleBitmap(HDC dc, int cx, int cy) { Attach(::CreateCompatibleBitmap(dc, cx, cy)); return m_hObject != nullptr; }
};

class CRgn : public CGdiObjectT<HRGN> {
public:
    BOOL CreateRectRgn(int l, int t, int r, int b) { Attach(::CreateRectRgn(l, t, r, b)); return m_hObject != nullptr; }
    BOOL CreateRoundRectRgn(int l, int t, int r, int b, int w, int h) { Attach(::CreateRoundRectRgn(l, t, r, b, w, h)); return m_hObject != nullptr; }
    BOOL PtInRegion(int x, int y) const { return ::PtInRegion(m_hObject, x, y); }
};

// An icon loaded from the program's resources at its natural size, owned (destroyed with
// the wrapper). Loaded without LR_SHARED, so destroying it is allowed.
class CIcon {
public:
    CIcon() = default;
    ~CIcon() { Destroy(); }
    CIcon(const CIcon&) = delete;
    CIcon& operator=(const CIcon&) = delete;

    // Replaces the icon held with icon resource `id`; false when it cannot be loaded.
    bool Load(UINT id);
    void Destroy();
    operator HICON() const { return m_hIcon; }
    // The icon's width and height; false when its information cannot be read.
    bool GetSize(SIZE* size) const;

    HICON m_hIcon = nullptr;
};

// The width and height of an icon. GetIconInfo hands back two bitmaps, which are deleted
// here; false when the information cannot be read.
bool GetIconSize(HICON icon, SIZE* size);

// Selects an object into a device context for one scope and selects the old one back at its
// end, before the context is released or the object deleted.
class CSelection {
public:
    CSelection(HDC dc, HGDIOBJ obj) : m_hDC(dc), m_hOld(obj ? ::SelectObject(dc, obj) : nullptr) {}
    ~CSelection() { if (m_hOld) ::SelectObject(m_hDC, m_hOld); }
    CSelection(const CSelection&) = delete;
    CSelection& operator=(const CSelection&) = delete;

private:
    HDC m_hDC;
    HGDIOBJ m_hOld;
};

// A device context. CPaintDC and CClientDC own theirs for one paint; CDC::FromHandle views one.
class CDC {
public:
    CDC() = default;
    explicit CDC(HDC h) : m_hDC(h) {}
    virtual ~CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC = nullptr;
    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const { return m_hDC; }

    BOOL DrawIcon(int x, int y, HICON h) { return ::DrawIcon(m_hDC, x, y, h); }
    // An icon at its own size.
    BOOL DrawIconEx(int x, int y, HICON h) { return ::DrawIconEx(m_hDC, x, y, h, 0, 0, 0, nullptr, DI_NORMAL); }
    // An icon of cx by cy at (x, y) with a DSS_* state effect (DSS_DISABLED embosses it).
    BOOL DrawState(int x, int y, int cx, int cy, HICON h, UINT state)
    { return ::DrawStateA(m_hDC, nullptr, nullptr, reinterpret_cast<LPARAM>(h), 0, x, y, cx, cy, DST_ICON | state); }
    HGDIOBJ SelectObject(HGDIOBJ h) { return ::SelectObject(m_hDC, h); }
    COLORREF SetTextColor(COLORREF c) { return ::SetTextColor(m_hDC, c); }
    COLORREF SetBkColor(COLORREF c) { return ::SetBkColor(m_hDC, c); }
    int SetBkMode(int m) { return ::SetBkMode(m_hDC, m); }
    int SaveDC() { return ::SaveDC(m_hDC); }
    BOOL RestoreDC(int saved) { return ::RestoreDC(m_hDC, saved); }
    POINT SetViewportOrg(int x, int y) { POINT old = {0, 0}; ::SetViewportOrgEx(m_hDC, x, y, &old); return old; }
    POINT SetWindowOrg(int x, int y) { POINT old = {0, 0}; ::SetWindowOrgEx(m_hDC, x, y, &old); return old; }
    int GetClipBox(RECT* r) const { return ::GetClipBox(m_hDC, r); }
    BOOL GetTextMetrics(TEXTMETRICA* tm) const { return ::GetTextMetricsA(m_hDC, tm); }
    SIZE GetTextExtent(const char* text, int n) const { SIZE s = {0, 0}; ::GetTextExtentPoint32A(m_hDC, text, n, &s); return s; }
    BOOL Rectangle(const RECT* r) { return ::Rectangle(m_hDC, r->left, r->top, r->right, r->bottom); }
    void FillSolidRect(const RECT* r, COLORREF c);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF c) { RECT r = {x, y, x + cx, y + cy}; FillSolidRect(&r, c); }
    int FillRect(const RECT* r, HBRUSH b) { return ::FillRect(m_hDC, r, b); }
    int FrameRect(const RECT* r, HBRUSH b) { return ::FrameRect(m_hDC, r, b); }
    BOOL FillRgn(HRGN rgn, HBRUSH b) { return ::FillRgn(m_hDC, rgn, b); }
    // A one-pixel outline on the innermost pixels of r: top and left in topLeft, right and
    // bottom in bottomRight.
    void Draw3dRect(const RECT* r, COLORREF topLeft, COLORREF bottomRight);
    BOOL MoveTo(int x, int y) { return ::MoveToEx(m_hDC, x, y, nullptr); }
    BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
    BOOL BitBlt(int x, int y, int cx, int cy, HDC src, int sx, int sy, DWORD rop = SRCCOPY)
    { return ::BitBlt(m_hDC, x, y, cx, cy, src, sx, sy, rop); }
    int DrawText(const char* text, int n, RECT* r, UINT fmt) { return ::DrawTextA(m_hDC, text, n, r, fmt); }
};

// A memory device context with a bitmap of its own selected into it, compatible with another
// context; both owned, and the bitmap selected out before either is deleted.
class CMemDC : public CDC {
public:
    CMemDC() = default;
    ~CMemDC() override { Release(); }
    // Makes a cx by cy surface compatible with `ref`; false when the system refuses.
    bool Create(HDC ref, int cx, int cy);
    void Release();
    int Width() const { return m_size.cx; }
    int Height() const { return m_size.cy; }

private:
    CBitmap m_bitmap;
    HGDIOBJ m_hOldBitmap = nullptr;
    SIZE m_size = {0, 0};
};

class CPaintDC : public CDC {
public:
    explicit CPaintDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = ::BeginPaint(hWnd, &m_ps); }
    ~CPaintDC() override { ::EndPaint(m_hWnd, &m_ps); }
    PAINTSTRUCT m_ps = {};

private:
    HWND m_hWnd;
};

// A context the system lends for one scope: the client area (GetDC) or the whole window,
// frame included, in window coordinates (GetWindowDC). Released at the end of the scope.
template <HDC(WINAPI* Acquire)(HWND)>
class CLentDC : public CDC {
public:
    explicit CLentDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = Acquire(hWnd); }
    ~CLentDC() override { ::ReleaseDC(m_hWnd, m_hDC); }

private:
    HWND m_hWnd;
};
using CClientDC = CLentDC<&::GetDC>;
using CWindowDC = CLentDC<&::GetWindowDC>;
