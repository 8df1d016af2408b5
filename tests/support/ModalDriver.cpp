#include "ModalDriver.h"
#include <set>

namespace {
struct PendingScript {
    CDialog* dlg;
    const std::function<void(HWND)>* script;
    UINT_PTR timer;
};
PendingScript* g_pending = nullptr;

void CALLBACK RunScriptTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    PendingScript* p = g_pending;
    // The dialog is shown once its modal loop first finds the queue empty: wait for that.
    if (!p || id != p->timer || !p->dlg->m_hWnd || !::IsWindowVisible(p->dlg->m_hWnd)) return;
    ::KillTimer(nullptr, id);
    g_pending = nullptr;
    HWND h = p->dlg->m_hWnd;
    (*p->script)(h);
    // A dialog the script did not end is cancelled.
    if (::IsWindow(h) && p->dlg->m_hWnd == h && p->dlg->m_nModalResult == -1) ::SendMessageA(h, WM_COMMAND, IDCANCEL, 0);
}

struct DialogWatch {
    std::set<HWND> before;
    const std::function<void(HWND)>* handle;
    UINT_PTR timer;
    bool seen;
};
DialogWatch* g_watch = nullptr;

void CALLBACK WatchTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    DialogWatch* w = g_watch;
    if (!w || id != w->timer) return;
    for (HWND h : ThreadDialogs()) {
        if (w->before.count(h) || !::IsWindowVisible(h)) continue;
        ::KillTimer(nullptr, id);
        g_watch = nullptr;
        w->seen = true;
        (*w->handle)(h);
        if (::IsWindow(h)) ::PostMessageA(h, WM_CLOSE, 0, 0);   // never leave the test hanging
        return;
    }
}
}

INT_PTR RunModal(CDialog& dlg, const std::function<void(HWND)>& script)
{
    PendingScript p = {&dlg, &script, 0};
    p.timer = ::SetTimer(nullptr, 0, 10, RunScriptTimer);
    g_pending = &p;
    INT_PTR r = dlg.DoModal();
    if (g_pending == &p) {
        ::KillTimer(nullptr, p.timer);
        g_pending = nullptr;
    }
    return r;
}

bool WithNextDialog(const std::function<void()>& action, const std::function<void(HWND)>& handle)
{
    DialogWatch w = {ThreadDialogs(), &handle, 0, false};
    DialogWatch* outer = g_watch;
    w.timer = ::SetTimer(nullptr, 0, 20, WatchTimer);
    g_watch = &w;
    action();
    if (g_watch == &w) ::KillTimer(nullptr, w.timer);
    g_watch = outer;
    return w.seen;
}

MessageBoxSeen CatchMessageBox(const std::function<void()>& action)
{
    MessageBoxSeen seen;
    WithNextDialog(action, [&](HWND box) {
        seen.shown = true;
        seen.caption = WindowText(box);
        // The message box's text and icon controls.
        seen.text = WindowText(::GetDlgItem(box, 0xFFFF));
        seen.icon = reinterpret_cast<HICON>(::SendDlgItemMessageA(box, 0x0440, STM_GETICON, 0, 0));
        ::SendMessageA(box, WM_COMMAND, IDOK, 0);
    });
    return seen;
}

static BOOL CALLBACK CollectDialogs(HWND h, LPARAM lp)
{
    char cls[16] = "";
    ::GetClassNameA(h, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") == 0) reinterpret_cast<std::set<HWND>*>(lp)->insert(h);
    return TRUE;
}

std::set<HWND> ThreadDialogs()
{
    std::set<HWND> s;
    ::EnumThreadWindows(::GetCurrentThreadId(), CollectDialogs, reinterpret_cast<LPARAM>(&s));
    return s;
}

HICON SystemIcon(LPCSTR id)
{
    return ::LoadIconA(nullptr, id);
}

void ClickButton(HWND dlg, int id)
{
    ::SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dlg, id)));
}

void PumpMessages(DWORD ms)
{
    DWORD end = ::GetTickCount() + ms;
    MSG msg;
    do {
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        ::Sleep(5);
    } while (static_cast<LONG>(end - ::GetTickCount()) > 0);
}

std::vector<CString> ListBoxTexts(const CListBox& list)
{
    std::vector<CString> texts;
    for (int i = 0; i < list.GetCount(); ++i) {
        CString text;
        list.GetText(i, text);
        texts.push_back(text);
    }
    return texts;
}

CString WindowText(HWND h)
{
    CString s;
    int n = ::GetWindowTextLengthA(h);
    ::GetWindowTextA(h, s.GetBuffer(n + 1), n + 1);
    s.ReleaseBuffer();
    return s;
}
