#include "framework/Wnd.h"
#include <map>

namespace {
// Windows attached to framework objects. Only the user-interface thread touches it.
std::map<HWND, CWnd*>& Attached()
{
    static std::map<HWND, CWnd*> map;
    return map;
}
}

CWnd::~CWnd()
{
    if (m_hWnd) {
        if (m_pfnSuper && ::IsWindow(m_hWnd)) UnsubclassWindow();
        else Detach();
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    auto it = Attached().find(hWnd);
    return it == Attached().end() ? nullptr : it->second;
}

void CWnd::Attach(HWND hWnd)
{
    m_hWnd = hWnd;
    Attached()[hWnd] = this;
}

void CWnd::Detach()
{
    if (m_hWnd) {
        auto it = Attached().find(m_hWnd);
        if (it != Attached().end() && it->second == this) Attached().erase(it);
    }
    m_hWnd = nullptr;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!hWnd || m_hWnd || FromHandlePermanent(hWnd)) return FALSE;
    Attach(hWnd);
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StdWndProc)));
    PreSubclassWindow();
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    return SubclassWindow(::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)));
}

HWND CWnd::UnsubclassWindow()
{
    HWND h = m_hWnd;
    if (h && m_pfnSuper)
        ::SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    Detach();
    return h;
}

CString CWnd::GetWindowText() const
{
    CString s;
    int n = ::GetWindowTextLengthA(m_hWnd);
    ::GetWindowTextA(m_hWnd, s.GetBuffer(n + 1), n + 1);
    s.ReleaseBuffer();
    return s;
}

CString CWnd::GetDlgItemText(int nID) const
{
    HWND h = ::GetDlgItem(m_hWnd, nID);
    CString s;
    int n = ::GetWindowTextLengthA(h);
    ::GetWindowTextA(h, s.GetBuffer(n + 1), n + 1);
    s.ReleaseBuffer();
    return s;
}

const MsgMap* CWnd::GetThisMessageMap()
{
    static const MsgMapEntry entries[] = { { MsgKind::Own, 0, 0, 0, 0, nullptr } };
    static const MsgMap map = { nullptr, entries };
    return &map;
}

const MsgMap* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

bool CWnd::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result)
{
    UINT code = 0;
    UINT key = msg;
    if (msg == WM_COMMAND) code = HIWORD(wp);
    else if (msg == WM_NOTIFY) code = reinterpret_cast<NMHDR*>(lp)->code;
    else if (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC) key = WM_CTLCOLOR_ANY;
    for (const MsgMap* map = GetMessageMap(); map; map = map->base ? map->base() : nullptr) {
        for (const MsgMapEntry* e = map->entries; e->thunk; ++e) {
            if (e->kind != MsgKind::Reflected || e->message != key) continue;
            if ((msg == WM_COMMAND || msg == WM_NOTIFY) && e->code != code) continue;
            if (e->thunk(this, msg, wp, lp, result)) return true;
        }
    }
    return false;
}

// The child window a parent's message is about, when the message is a notification.
static HWND NotifyingChild(HWND parent, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_COMMAND: return reinterpret_cast<HWND>(lp);
    case WM_NOTIFY: return reinterpret_cast<NMHDR*>(lp)->hwndFrom;
    case WM_DRAWITEM: return wp ? reinterpret_cast<DRAWITEMSTRUCT*>(lp)->hwndItem : nullptr;
    case WM_MEASUREITEM: return wp ? ::GetDlgItem(parent, static_cast<int>(wp)) : nullptr;
    default:
        if (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC) return reinterpret_cast<HWND>(lp);
        return nullptr;
    }
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags)
{
    LONG_PTR style = GetStyle();
    LONG_PTR changed = (style & ~static_cast<LONG_PTR>(remove)) | static_cast<LONG_PTR>(add);
    if (changed == style) return FALSE;
    ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, changed);
    if (swpFlags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
    return TRUE;
}

int CWnd::SetWindowRgn(CRgn& rgn, BOOL bRedraw)
{
    int r = ::SetWindowRgn(m_hWnd, rgn, bRedraw);
    if (r) rgn.Detach();
    return r;
}

HBRUSH CWnd::OnCtlColor(HDC, HWND, UINT, HBRUSH standard) { return standard; }

static bool IsCtlColor(UINT msg) { return msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC; }

bool CWnd::OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result)
{
    if (IsCtlColor(msg)) {
        // The standard answer (the child's own, else this window's table, else the default
        // processing), then this window's hook, which may replace it.
        HWND child = reinterpret_cast<HWND>(lp);
        if (!RouteMessage(msg, wp, lp, result)) *result = DefWindowProc(msg, wp, lp);
        HBRUSH brush = OnCtlColor(reinterpret_cast<HDC>(wp), child, msg - WM_CTLCOLORMSGBOX,
                                  reinterpret_cast<HBRUSH>(*result));
        *result = reinterpret_cast<LRESULT>(brush);
        return true;
    }
    return RouteMessage(msg, wp, lp, result);
}

bool CWnd::RouteMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result)
{
    // Notifications about a child go to the child object first.
    if (HWND child = NotifyingChild(m_hWnd, msg, wp, lp)) {
        if (CWnd* c = FromHandlePermanent(child); c && c != this && c->OnChildNotify(msg, wp, lp, result))
            return true;
    }
    UINT code = 0, id = 0;
    if (msg == WM_COMMAND) {
        code = HIWORD(wp);
        id = LOWORD(wp);
    } else if (msg == WM_NOTIFY) {
        auto* nm = reinterpret_cast<NMHDR*>(lp);
        code = nm->code;
        id = static_cast<UINT>(nm->idFrom);
    }
    for (const MsgMap* map = GetMessageMap(); map; map = map->base ? map->base() : nullptr) {
        for (const MsgMapEntry* e = map->entries; e->thunk; ++e) {
            if (e->kind != MsgKind::Own || e->message != msg) continue;
            if (msg == WM_COMMAND || msg == WM_NOTIFY) {
                if (e->code != 0xFFFFFFFFu && e->code != code) continue;
                if (id < e->idFirst || id > e->idLast) continue;
            }
            if (e->thunk(this, msg, wp, lp, result)) return true;
        }
    }
    return false;
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    CurrentMessage saved = m_current;
    m_current = {msg, wp, lp};
    if (msg == WM_PAINT) ++m_nPaintDepth;
    LRESULT result = 0;
    if (!OnWndMsg(msg, wp, lp, &result)) result = DefWindowProc(msg, wp, lp);
    if (msg == WM_PAINT) --m_nPaintDepth;
    m_current = saved;
    return result;
}

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (m_pfnSuper) return ::CallWindowProcA(m_pfnSuper, m_hWnd, msg, wp, lp);
    return ::DefWindowProcA(m_hWnd, msg, wp, lp);
}

LRESULT CWnd::Default()
{
    return DefWindowProc(m_current.msg, m_current.wp, m_current.lp);
}

LRESULT CALLBACK CWnd::StdWndProc(HWND hWnd, UINT msg, WPARAM wp, LPARAM lp)
{
    CWnd* w = FromHandlePermanent(hWnd);
    if (!w) return ::DefWindowProcA(hWnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        // Let the old procedure see the last message, then detach before the handle dies.
        LRESULT r = w->WindowProc(msg, wp, lp);
        WNDPROC super = w->m_pfnSuper;
        if (super) ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(super));
        w->m_pfnSuper = nullptr;
        w->Detach();
        w->PostNcDestroy();
        return r;
    }
    return w->WindowProc(msg, wp, lp);
}
