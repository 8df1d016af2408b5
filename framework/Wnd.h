// CWnd: a window handle plus thin calls on it, and the routing of the window's messages
// through the class's message map. A CWnd either subclasses an existing window (a control of
// a dialog template) or is attached to a dialog when it is created.
#pragma once
#include "framework/MessageMap.h"
#include "framework/String.h"
#include "framework/Gdi.h"

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    // The object attached to a window by this framework, or null.
    static CWnd* FromHandlePermanent(HWND hWnd);

    // Replaces the window's procedure with the framework's, keeping the old one for Default().
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    // Puts the old procedure back and detaches; returns the window.
    HWND UnsubclassWindow();

    // One-line calls on the window.
    LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::SendMessageA(m_hWnd, msg, wp, lp); }
    BOOL PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::PostMessageA(m_hWnd, msg, wp, lp); }
    void SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text); }
    CString GetWindowText() const;
    void GetWindowText(CString& text) const { text = GetWindowText(); }
    int GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }
    HWND GetDlgItem(int nID) const { return ::GetDlgItem(m_hWnd, nID); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    void SetDlgItemText(int nID, const char* text) { ::SetDlgItemTextA(m_hWnd, nID, text); }
    CString GetDlgItemText(int nID) const;
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    void GetClientRect(RECT* r) const { ::GetClientRect(m_hWnd, r); }
    void GetWindowRect(RECT* r) const { ::GetWindowRect(m_hWnd, r); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL ShowWindow(int nCmd) { return ::ShowWindow(m_hWnd, nCmd); }
    BOOL IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }
    // Repainting calls do nothing before the window exists: a null window would mean the
    // whole screen to the system.
    void Invalidate(BOOL bErase = TRUE) { if (IsWindow()) ::InvalidateRect(m_hWnd, nullptr, bErase); }
    void InvalidateRect(const RECT* r, BOOL bErase = TRUE) { if (IsWindow()) ::InvalidateRect(m_hWnd, r, bErase); }
    void RedrawWindow(const RECT* r, UINT flags) { if (IsWindow()) ::RedrawWindow(m_hWnd, r, nullptr, flags); }
    void UpdateWindow() { if (IsWindow()) ::UpdateWindow(m_hWnd); }
    HWND SetFocus() { return ::SetFocus(m_hWnd); }
    void ClientToScreen(POINT* p) const { ::ClientToScreen(m_hWnd, p); }
    void ClientToScreen(RECT* r) const { ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(r), 2); }
    void ScreenToClient(POINT* p) const { ::ScreenToClient(m_hWnd, p); }
    void ScreenToClient(RECT* r) const { ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(r), 2); }
    // Changes the style bits; with swpFlags (SWP_FRAMECHANGED ...) the window is told so.
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
    // Gives the window a region. The system owns the region from then on: the wrapper lets
    // go of it and never deletes it.
    int SetWindowRgn(CRgn& rgn, BOOL bRedraw);

    HICON SetIcon(HICON hIcon, BOOL bBig) { return reinterpret_cast<HICON>(SendMessage(WM_SETICON, bBig, reinterpret_cast<LPARAM>(hIcon))); }
    UINT_PTR SetTimer(UINT_PTR id, UINT ms) { return ::SetTimer(m_hWnd, id, ms, nullptr); }
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
    HMENU GetSystemMenu(BOOL bRevert) const { return ::GetSystemMenu(m_hWnd, bRevert); }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
    void SetFont(HFONT font, BOOL bRedraw = TRUE) { SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), bRedraw); }
    LONG_PTR GetStyle() const { return ::GetWindowLongPtrA(m_hWnd, GWL_STYLE); }
    int MessageBox(const char* text, const char* caption = nullptr, UINT type = MB_OK) const
    { return ::MessageBoxA(m_hWnd, text, caption, type); }

    // Routes one message: the class's message map, then the default processing.
    virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
    // Offers a notification that the parent received about this window to this window's
    // reflected entries; true when one handled it.
    virtual bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
    // Sees every colour request (WM_CTLCOLOR*) last, after the child's own reflected answer
    // or the default processing gave `standard`; returns the brush to use. The base keeps it.
    virtual HBRUSH OnCtlColor(HDC dc, HWND child, UINT nCtlColor, HBRUSH standard);

    static const MsgMap* GetThisMessageMap();
    virtual const MsgMap* GetMessageMap() const;

    // True while this window's WM_PAINT is being handled (messages it sends meanwhile included).
    bool IsPainting() const { return m_nPaintDepth > 0; }

protected:
    // The processing the window had before it was subclassed.
    LRESULT Default();
    virtual LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp);
    // Called after a window is subclassed, before any message reaches the map.
    virtual void PreSubclassWindow() {}
    // Called when the window is gone; the object is detached by then.
    virtual void PostNcDestroy() {}

    // Attaches without subclassing (a dialog's own window, whose procedure calls ours).
    void Attach(HWND hWnd);
    void Detach();

    bool OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
    // The child's reflected entries, then this class's table; false when none handled it.
    bool RouteMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);

    WNDPROC m_pfnSuper = nullptr;

    static LRESULT CALLBACK StdWndProc(HWND, UINT, WPARAM, LPARAM);

private:
    // The message being routed, for Default().
    struct CurrentMessage { UINT msg; WPARAM wp; LPARAM lp; };
    CurrentMessage m_current = {0, 0, 0};
    int m_nPaintDepth = 0;
};
