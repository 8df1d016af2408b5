// The running program seen from outside: its process, its windows, and messages sent to them
// with time limits, so that a program busy in a modal loop or a long command never hangs the
// driver. Every wait fails at once when the program shows a message box.
#pragma once
#include <windows.h>
#include <functional>
#include <string>

class SentMessage;

class TargetProgram {
public:
    ~TargetProgram();

    // Starts the program (its folder as working folder) and waits for its main window.
    void Start(const std::string& exe);
    // Finds a running program by its main window's title (in process `pid` when given).
    void Attach(DWORD pid = 0);

    HWND Main() const { return m_main; }
    HWND Item(int id) const;
    HANDLE Process() const { return m_process; }

    // The top-level dialog (#32770) of the program that satisfies `match`, or null.
    HWND FindDialog(const std::function<bool(HWND)>& match) const;
    // The text of a message box the program shows, if it shows one.
    bool MessageBoxText(std::string& text) const;

    // A window's text, read without sending it a message when it belongs to another process.
    static std::string Text(HWND h);
    // The text of a control that keeps its own (an edit), asked of the control itself.
    std::string ControlText(HWND h) const;

    // Sends and waits for the answer, watching for message boxes; fails after `seconds`.
    LRESULT Send(HWND h, UINT msg, WPARAM wp, LPARAM lp, int seconds = 60) const;
    // The same as a Unicode message. Wine hands list and combo box item texts to another
    // process unconverted (UTF-16) when asked through the ANSI message, while window texts
    // come right through it: each is asked the way that works.
    LRESULT SendW(HWND h, UINT msg, WPARAM wp, LPARAM lp, int seconds = 60) const;
    void SetControlText(HWND h, const std::string& text) const;
    // Item `index` of a list box (LB_GETTEXT) or a combo box (CB_GETLBTEXT).
    std::string ListText(HWND h, UINT lengthMsg, UINT textMsg, WPARAM index) const;
    // Returns once the program has answered a message sent now: every message sent before it
    // has been handled, or a modal loop (a dialog) runs.
    void WaitIdle(const char* what, int seconds = 60) const;
    // Polls `done` every `intervalMs` until it is true; fails on a message box or after
    // `seconds`.
    void WaitFor(const std::function<bool()>& done, const char* what, int seconds = 60, DWORD intervalMs = 10) const;
    // Fails when a message box is shown.
    void CheckNoMessageBox() const;

    // Ends the program: dismisses any dialog, closes the main window and waits; terminates
    // it when it does not end within a few seconds.
    void Close();
    // Stops watching the program without ending it.
    void Release();

private:
    bool FindMainWindow();
    LRESULT Await(const SentMessage& m, const char* what, int seconds) const;
    // Fails when a message box shows, the program has ended or `end` (a tick count) is past.
    void CheckWaiting(const char* what, ULONGLONG end, int seconds) const;

    HANDLE m_process = nullptr;
    DWORD m_pid = 0;
    HWND m_main = nullptr;
};

// Title of the program's main window (its beginning).
extern const char kMainTitle[];
