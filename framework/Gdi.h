// GDI wrappers. A GDI object either owns its handle (created through the wrapper: deleted in
// the destructor) or is a view of a handle owned elsewhere (FromHandle: never deleted).
#pragma once
#include <windows.h>

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
    void Attach(H h) { DeleteObject(); m_hObject = h; m_bOwned = true; }
    // Views a handle owned elsewhere.
    void AttachView(H h) { DeleteObject(); m_hObject = h; m_bOwned = false; }
    H Detach() { H h = m_hObject; m_hObject = nullptr; m_bOwned = false; return h; }
    BOOL DeleteObject()
    {
        BOOL ok = FALSE;
        if (m_hObject && m_bOwned) ok = ::DeleteObject(m_hObject);
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
};

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
    HGDIOBJ SelectObject(HGDIOBJ h) { return ::SelectObject(m_hDC, h); }
    COLORREF SetTextColor(COLORREF c) { return ::SetTextColor(m_hDC, c); }
    COLORREF SetBkColor(COLORREF c) { return ::SetBkColor(m_hDC, c); }
    int SetBkMode(int m) { return ::SetBkMode(m_hDC, m); }
    void FillSolidRect(const RECT* r, COLORREF c);
    int DrawText(const char* text, int n, RECT* r, UINT fmt) { return ::DrawTextA(m_hDC, text, n, r, fmt); }
};

class CPaintDC : public CDC {
public:
    explicit CPaintDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = ::BeginPaint(hWnd, &m_ps); }
    ~CPaintDC() override { ::EndPaint(m_hWnd, &m_ps); }
    PAINTSTRUCT m_ps = {};

private:
    HWND m_hWnd;
};

class CClientDC : public CDC {
public:
    explicit CClientDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = ::GetDC(hWnd); }
    ~CClientDC() override { ::ReleaseDC(m_hWnd, m_hDC); }

private:
    HWND m_hWnd;
};
