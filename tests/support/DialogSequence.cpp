#include "support/DialogSequence.h"
#include <gtest/gtest.h>
#include <set>

namespace {
struct Sequence {
    std::set<HWND> known;
    std::vector<DialogHandler> handlers;
    DialogSequenceResult result;
    UINT_PTR timer = 0;
};
Sequence* g_sequence = nullptr;

void CALLBACK Poll(HWND, UINT, UINT_PTR id, DWORD)
{
    Sequence* s = g_sequence;
    if (!s || id != s->timer) return;
    for (HWND h : ThreadDialogs()) {
        if (s->known.count(h) || !::IsWindowVisible(h)) continue;
        s->known.insert(h);   // before the handler runs: it may open the next dialog
        size_t n = static_cast<size_t>(s->result.handled + s->result.unexpected);
        if (n < s->handlers.size()) {
            ++s->result.handled;
            s->handlers[n](h);
        } else {
            ++s->result.unexpected;
        }
        if (::IsWindow(h) && ::IsWindowVisible(h)) ::PostMessageA(h, WM_CLOSE, 0, 0);
        return;
    }
}
}

DialogSequenceResult RunDialogSequence(const std::function<void()>& action, std::vector<DialogHandler> handlers)
{
    Sequence s;
    for (HWND h : ThreadDialogs()) s.known.insert(h);
    s.handlers = std::move(handlers);
    Sequence* outer = g_sequence;
    g_sequence = &s;
    s.timer = ::SetTimer(nullptr, 0, 20, Poll);
    action();
    ::KillTimer(nullptr, s.timer);
    g_sequence = outer;
    return s.result;
}

DialogHandler ReadMessageBox(MessageBoxSeen& seen)
{
    return [&seen](HWND box) {
        seen.shown = true;
        seen.caption = WindowText(box);
        seen.text = WindowText(::GetDlgItem(box, 0xFFFF));
        seen.icon = reinterpret_cast<HICON>(::SendDlgItemMessageA(box, 0x0440, STM_GETICON, 0, 0));
        ::SendMessageA(box, WM_COMMAND, IDOK, 0);
    };
}

DialogHandler ChooseFile(const CString& path)
{
    return [path](HWND fd) {
        HWND box = ::GetDlgItem(fd, cmb13);
        HWND combo = ::FindWindowExA(box, nullptr, "ComboBox", nullptr);
        HWND edit = ::FindWindowExA(combo ? combo : box, nullptr, "Edit", nullptr);
        ASSERT_NE(nullptr, edit);
        ::SetWindowTextA(edit, path);
        ::SendMessageA(fd, WM_COMMAND, IDOK, 0);
    };
}
