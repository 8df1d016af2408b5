// The running program seen from outside: its process, its windows, and messages sent to them
// with time limits, so that a program busy in a modal loop or a long command never hangs the
// driver. Every wait fails at once when the program shows a message box.
#pragma once
#include <windows.h>
#include <functional>
#include <string>

class TargetProgram {
public:
    ~TargetProgram();

    // Starts the program (its folder as working folder) and waits for its main window.
    void Start(const std::string& exe);
    // Finds a running program by its main window's title.
    void Attach();

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

    // Sends and waits for the answer; fails after `ms` milliseconds.
    LRESULT Send(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT ms = 10000) const;
    // The same as a Unicode message: texts cross processes intact only this way.
    LRESULT SendW(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT ms = 10000) const;
    // Texts of the program's controls, converted between the ANSI code page and Unicode.
    void SetControlText(HWND h, const std::string& text) const;
    // Item `index` of a list box (LB_GETTEXT) or a combo box (CB_GETLBTEXT).
    std::string ListText(HWND h, UINT lengthMsg, UINT textMsg, WPARAM index) const;
    // Sends without waiting for the command to finish: the message stays queued when the
    // answer does not come within a moment. Follow with WaitIdle to know it was handled.
    void Deliver(HWND h, UINT msg, WPARAM wp, LPARAM lp) const;
    // Returns once the program answers a message sent now (the messages delivered before it
    // have been handled, or a modal loop runs); fails on a message box or after `seconds`.
    void WaitIdle(const char* what, int seconds = 60) const;
    // Polls `done` until it is true; fails on a message box or after `seconds`.
    void WaitFor(const std::function<bool()>& done, const char* what, int seconds = 60) const;
    // Fails when a message box is shown.
    void CheckNoMessageBox() const;

    // Ends the program: dismisses any dialog, closes the main window and waits; terminates
    // it when it does not end within a few seconds.
    void Close();
    // Stops watching the program without ending it.
    void Release();

private:
    bool FindMainWindow();
    // The result of a message sent with a time limit; fails when no answer came.
    LRESULT Answer(BOOL answered, DWORD_PTR result, UINT msg, UINT ms) const;

    HANDLE m_process = nullptr;
    DWORD m_pid = 0;
    HWND m_main = nullptr;
};

// Title of the program's main window (its beginning).
extern const char kMainTitle[];
