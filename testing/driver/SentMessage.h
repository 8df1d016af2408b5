// A message sent to another process's window from a worker thread, so that the caller can
// watch the program while it is handled (and give up) instead of hanging in SendMessage.
// SendMessageTimeout is no substitute: under Wine, the late answer of a message that timed
// out can be taken as the answer of the next one sent.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

class SentMessage {
public:
    // Starts sending; `wide` sends the Unicode message. With `outBytes`, lParam is replaced
    // by a buffer of that size owned by this object (for messages that write a text back).
    SentMessage(HWND h, UINT msg, WPARAM wp, LPARAM lp, bool wide, size_t outBytes = 0);
    ~SentMessage();
    SentMessage(const SentMessage&) = delete;
    SentMessage& operator=(const SentMessage&) = delete;

    // Waits up to `ms` for the answer; true once it came.
    bool Wait(DWORD ms) const;
    LRESULT Result() const;
    // The buffer written back, as ANSI text, or as UTF-16 converted to the ANSI code page.
    std::string Text() const;

private:
    struct Call;
    static DWORD WINAPI Run(LPVOID call);

    Call* m_call;
    HANDLE m_thread;
};
