#include "testing/driver/TargetProgram.h"
#include "testing/driver/Console.h"
#include "testing/driver/Failure.h"
#include "testing/driver/SentMessage.h"
#include <cstring>
#include <vector>

const char kMainTitle[] = "Excel-SQLServer Data Conveter:";

namespace {
constexpr int kMessageBoxTextId = 0xFFFF;
constexpr size_t kTextBytes = 4096;
constexpr int kAnswerSeconds = 60;
constexpr ULONGLONG kCheckMs = 100;

std::string ClassOf(HWND h)
{
    char cls[64] = "";
    ::GetClassNameA(h, cls, sizeof cls);
    return cls;
}

struct WindowSearch {
    DWORD pid;   // 0: every process
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND h, LPARAM lp)
{
    auto* s = reinterpret_cast<WindowSearch*>(lp);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(h, &owner);
    if (owner == s->pid || s->pid == 0) s->found.push_back(h);
    return TRUE;
}

std::vector<HWND> TopWindows(DWORD pid)
{
    WindowSearch search{pid, {}};
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The program's top-level dialogs (message boxes among them), hidden ones too. Asking the
// window server for one class costs a request or two, where walking every top-level window
// costs several per window: the robot asks this many times a second while a run is timed,
// and must not load the machine it measures.
std::vector<HWND> TopDialogs(DWORD pid)
{
    std::vector<HWND> found;
    for (HWND h = nullptr; (h = ::FindWindowExA(nullptr, h, "#32770", nullptr)) != nullptr;) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(h, &owner);
        if (owner == pid) found.push_back(h);
    }
    return found;
}

bool IsMainWindow(HWND h)
{
    return ::IsWindowVisible(h) && TargetProgram::Text(h).rfind(kMainTitle, 0) == 0;
}
}

TargetProgram::~TargetProgram()
{
    Release();
}

std::string TargetProgram::Text(HWND h)
{
    char buffer[4096] = "";
    ::GetWindowTextA(h, buffer, sizeof buffer);
    return buffer;
}

std::string TargetProgram::ControlText(HWND h) const
{
    SentMessage m(h, WM_GETTEXT, kTextBytes, 0, false, kTextBytes);
    Await(m, "the text of a control", kAnswerSeconds);
    return m.Text();
}

void TargetProgram::SetControlText(HWND h, const std::string& text) const
{
    Send(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string TargetProgram::ListText(HWND h, UINT lengthMsg, UINT textMsg, WPARAM index) const
{
    LRESULT length = SendW(h, lengthMsg, index, 0);
    if (length < 0) return std::string();
    SentMessage m(h, textMsg, index, 0, true, (static_cast<size_t>(length) + 1) * sizeof(wchar_t));
    Await(m, "the text of a list item", kAnswerSeconds);
    return m.Text();
}

HWND TargetProgram::Item(int id) const
{
    HWND h = ::GetDlgItem(m_main, id);
    if (!h) throw DriverFailure("the main window has no control " + std::to_string(id));
    return h;
}

bool TargetProgram::FindMainWindow()
{
    for (HWND h : TopWindows(m_pid)) {
        if (!IsMainWindow(h)) continue;
        m_main = h;
        if (!m_pid) ::GetWindowThreadProcessId(h, &m_pid);
        return true;
    }
    return false;
}

void TargetProgram::Start(const std::string& exe)
{
    std::string folder = exe.substr(0, exe.find_last_of("\\/") == std::string::npos ? 0 : exe.find_last_of("\\/"));
    std::string command = "\"" + exe + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &si, &pi))
        throw DriverFailure("cannot start " + exe + " (error " + std::to_string(::GetLastError()) + ")");
    ::CloseHandle(pi.hThread);
    m_process = pi.hProcess;
    m_pid = pi.dwProcessId;
    ::WaitForInputIdle(m_process, 30000);
    WaitFor(
        [this] {
            if (::WaitForSingleObject(m_process, 0) == WAIT_OBJECT_0) throw DriverFailure("the program ended at start-up");
            return FindMainWindow();
        },
        "the main window", 60);
}

void TargetProgram::Attach(DWORD pid)
{
    m_pid = pid;
    if (!FindMainWindow()) throw DriverFailure(std::string("no window titled \"") + kMainTitle + "\" is open");
    m_process = ::OpenProcess(PROCESS_ALL_ACCESS, FALSE, m_pid);
    if (!m_process) throw DriverFailure("cannot open the program's process");
}

HWND TargetProgram::FindDialog(const std::function<bool(HWND)>& match) const
{
    for (HWND h : TopDialogs(m_pid))
        if (h != m_main && ::IsWindowVisible(h) && match(h)) return h;
    return nullptr;
}

bool TargetProgram::MessageBoxText(std::string& text) const
{
    // Seen before it is shown: its modal loop answers messages before the box is visible.
    HWND box = nullptr;
    for (HWND h : TopDialogs(m_pid)) {
        if (h == m_main) continue;
        HWND label = ::GetDlgItem(h, kMessageBoxTextId);
        if (label && ClassOf(label) == "Static") box = h;
    }
    if (!box) return false;
    // Its caption and text are set while it initialises: read them once it shows.
    for (int i = 0; i < 200 && ::IsWindow(box) && !::IsWindowVisible(box); ++i) ::Sleep(10);
    text = "[" + Text(box) + "] " + Text(::GetDlgItem(box, kMessageBoxTextId));
    return true;
}

void TargetProgram::CheckNoMessageBox() const
{
    std::string text;
    if (MessageBoxText(text)) throw DriverFailure("the program shows a message box: " + text);
}

void TargetProgram::CheckWaiting(const char* what, ULONGLONG end, int seconds) const
{
    CheckNoMessageBox();
    if (m_process && ::WaitForSingleObject(m_process, 0) == WAIT_OBJECT_0)
        throw DriverFailure(std::string("the program ended while waiting for ") + what);
    if (::GetTickCount64() > end)
        throw DriverFailure(std::string("gave up waiting for ") + what + " after " + std::to_string(seconds) + " s");
}

LRESULT TargetProgram::Await(const SentMessage& m, const char* what, int seconds) const
{
    const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
    while (!m.Wait(10)) CheckWaiting(what, end, seconds);
    CheckNoMessageBox();
    return m.Result();
}

LRESULT TargetProgram::Send(HWND h, UINT msg, WPARAM wp, LPARAM lp, int seconds) const
{
    SentMessage m(h, msg, wp, lp, false);
    return Await(m, ("the answer to message " + std::to_string(msg)).c_str(), seconds);
}

LRESULT TargetProgram::SendW(HWND h, UINT msg, WPARAM wp, LPARAM lp, int seconds) const
{
    SentMessage m(h, msg, wp, lp, true);
    return Await(m, ("the answer to message " + std::to_string(msg)).c_str(), seconds);
}

void TargetProgram::WaitIdle(const char* what, int seconds) const
{
    SentMessage m(m_main, WM_NULL, 0, 0, false);
    Await(m, what, seconds);
}

void TargetProgram::WaitFor(const std::function<bool()>& done, const char* what, int seconds, DWORD intervalMs) const
{
    const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
    // Whatever `done` looks at is asked every interval; the costlier checks (a message box,
    // the program still there, the time) come at most every kCheckMs, so that a short
    // interval does not load the machine while a run is timed.
    ULONGLONG nextCheck = 0;
    for (;;) {
        const ULONGLONG now = ::GetTickCount64();
        if (now >= nextCheck) {
            CheckWaiting(what, end, seconds);
            nextCheck = now + kCheckMs;
        }
        if (done()) {
            CheckNoMessageBox();
            return;
        }
        ::Sleep(intervalMs);
    }
}

void TargetProgram::Close()
{
    if (!m_process) return;
    for (int round = 0; round < 20 && ::WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT; ++round) {
        // Modal dialogs first (message boxes, the file dialog, the settings), then the program.
        if (HWND dialog = FindDialog([](HWND) { return true; })) ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        else if (m_main && ::IsWindow(m_main)) ::PostMessageA(m_main, WM_COMMAND, IDCANCEL, 0);
        ::WaitForSingleObject(m_process, 250);
    }
    if (::WaitForSingleObject(m_process, 5000) == WAIT_TIMEOUT) ::TerminateProcess(m_process, 1);
    Release();
}

void TargetProgram::Release()
{
    if (m_process) ::CloseHandle(m_process);
    m_process = nullptr;
}
