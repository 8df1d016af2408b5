// Input as a person gives it: the real pointer and keyboard of the window system (SendInput),
// not messages posted to a window. Hover, leave tracking, dragging and the dialog manager's
// keys only work this way.
#pragma once
#include <windows.h>

void MouseMoveTo(POINT screen);
void MouseButton(bool down);
void MouseClickAt(POINT screen);
void KeyPress(WORD vk);
// Types one character as a keyboard layout would deliver it (an ANSI window receives a
// double-byte character as two WM_CHAR messages).
void TypeCharacter(wchar_t ch);

// Presses the left button at `from`, moves to `to` in steps and releases there. The input
// comes from a second thread while this thread pumps messages: a window system's move loop
// runs inside the message pump and returns only at the release.
void RealDrag(POINT from, POINT to);

// Pumps this thread's messages for about `ms` milliseconds through the dialog manager of
// `dlg` (Tab, Enter and Escape handled as in a modal loop).
void PumpDialogMessages(HWND dlg, DWORD ms);

// The centre of a window and a point given in a window's client coordinates, on the screen.
POINT CentreOf(HWND h);
POINT ScreenPoint(HWND h, int x, int y);
