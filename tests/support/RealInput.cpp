#include "RealInput.h"
#include <thread>

namespace {
INPUT MouseInput(DWORD flags, LONG dx = 0, LONG dy = 0)
{
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = dx;
    in.mi.dy = dy;
    in.mi.dwFlags = flags;
    return in;
}

void Send(INPUT in) { ::SendInput(1, &in, sizeof in); }

// Absolute pointer positions are given in 0..65535 over the primary screen.
LONG Normalised(LONG v, int extent) { return static_cast<LONG>((v * 65536LL + extent - 1) / extent); }
}

void MouseMoveTo(POINT p)
{
    Send(MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, Normalised(p.x, ::GetSystemMetrics(SM_CXSCREEN)),
                    Normalised(p.y, ::GetSystemMetrics(SM_CYSCREEN))));
}

void MouseButton(bool down) { Send(MouseInput(down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP)); }

void MouseClickAt(POINT p)
{
    MouseMoveTo(p);
    MouseButton(true);
    MouseButton(false);
}

void KeyPress(WORD vk)
{
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, in, sizeof in[0]);
}

void TypeCharacter(wchar_t ch)
{
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wScan = in[1].ki.wScan = ch;
    in[0].ki.dwFlags = KEYEVENTF_UNICODE;
    in[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
    ::SendInput(2, in, sizeof in[0]);
}

void RealDrag(POINT from, POINT to)
{
    MouseMoveTo(from);
    std::thread hand([from, to] {
        ::Sleep(150);
        MouseButton(true);
        for (int step = 1; step <= 5; ++step) {
            ::Sleep(60);
            MouseMoveTo({from.x + (to.x - from.x) * step / 5, from.y + (to.y - from.y) * step / 5});
        }
        ::Sleep(100);
        MouseButton(false);
    });
    DWORD end = ::GetTickCount() + 900;
    MSG msg;
    while (static_cast<LONG>(end - ::GetTickCount()) > 0) {
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        ::Sleep(5);
    }
    hand.join();
}

// Wide, as a dialog's own modal loop is: through IsDialogMessageA, Wine hands an ANSI window
// a double-byte character as two '?'.
void PumpDialogMessages(HWND dlg, DWORD ms)
{
    DWORD end = ::GetTickCount() + ms;
    MSG msg;
    do {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (::IsDialogMessageW(dlg, &msg)) continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(5);
    } while (static_cast<LONG>(end - ::GetTickCount()) > 0);
}

POINT CentreOf(HWND h)
{
    RECT r;
    ::GetWindowRect(h, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

POINT ScreenPoint(HWND h, int x, int y)
{
    POINT p = {x, y};
    ::ClientToScreen(h, &p);
    return p;
}
