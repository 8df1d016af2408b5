// Driving real modal dialogs and message boxes from a test running on the user-interface
// thread. A modal loop runs the platform's own message loop; these helpers run test code
// from inside it through a thread timer, and read and close the windows it shows.
#pragma once
#include "framework/Framework.h"
#include <functional>
#include <set>
#include <vector>

// Runs `dlg` modally. Once its window exists, calls `script` with it from inside the modal
// loop; if the dialog is still open when the script returns, ends it with IDCANCEL.
// Returns DoModal's result.
INT_PTR RunModal(CDialog& dlg, const std::function<void(HWND)>& script);

// Runs `action`; the first new dialog window of this thread that appears while it runs
// (a message box, or a modal dialog) is passed to `handle`, which must close it. Returns
// whether one appeared.
bool WithNextDialog(const std::function<void()>& action, const std::function<void(HWND)>& handle);

// What a message box showed.
struct MessageBoxSeen {
    bool shown = false;
    CString caption;
    CString text;
    HICON icon = nullptr;
};

// Runs `action` and answers the first message box it shows with OK.
MessageBoxSeen CatchMessageBox(const std::function<void()>& action);

// The icon a message box shows for MB_ICONINFORMATION / MB_ICONEXCLAMATION.
HICON SystemIcon(LPCSTR id);

// The dialog windows (message boxes included) this thread has now, shown or not.
std::set<HWND> ThreadDialogs();

// Presses a dialog's push button the way a click does (BN_CLICKED to the dialog).
void ClickButton(HWND dlg, int id);

// Pumps this thread's pending messages for about `ms` milliseconds.
void PumpMessages(DWORD ms);

// Text of a window.
CString WindowText(HWND h);
// The texts of a list box's items, in order.
std::vector<CString> ListBoxTexts(const CListBox& list);
