// The program as its own process: without an Excel driver it shows only the driver message
// and ends with exit code 0; with one it opens the main dialog.
#include "support/ModalDriver.h"
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace {
const char kDriversKey[] = "Software\\ODBC\\ODBCINST.INI\\ODBC Drivers";

// Takes every driver whose name contains "Excel" out of the installer's list for the
// lifetime of the object, and puts them back afterwards.
class ExcelDriversHidden {
public:
    ExcelDriversHidden()
    {
        HKEY key;
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kDriversKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
        char name[512];
        char data[512];
        for (DWORD i = 0;; ++i) {
            DWORD nameLen = sizeof name, dataLen = sizeof data, type = 0;
            if (::RegEnumValueA(key, i, name, &nameLen, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataLen) != ERROR_SUCCESS) break;
            if (std::string(name).find("Excel") != std::string::npos) m_saved.emplace_back(name, std::string(data, dataLen));
        }
        for (auto& v : m_saved) ::RegDeleteValueA(key, v.first.c_str());
        ::RegCloseKey(key);
    }
    ~ExcelDriversHidden()
    {
        HKEY key;
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kDriversKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
        for (auto& v : m_saved)
            ::RegSetValueExA(key, v.first.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(v.second.data()), static_cast<DWORD>(v.second.size()));
        ::RegCloseKey(key);
    }

private:
    std::vector<std::pair<std::string, std::string>> m_saved;
};

void SetDriverEntry(const char* name, bool present)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kDriversKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    if (present) ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>("Installed"), 10);
    else ::RegDeleteValueA(key, name);
    ::RegCloseKey(key);
}

std::string ProgramPath()
{
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p(path);
    p.erase(p.find_last_of('\\'));           // .../tests
    p.erase(p.find_last_of('\\') + 1);       // build folder
    return p + SM_PROGRAM_NAME;
}

struct ProcessWindows {
    DWORD pid;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectProcessWindows(HWND h, LPARAM lp)
{
    auto* pw = reinterpret_cast<ProcessWindows*>(lp);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(h, &pid);
    if (pid == pw->pid && ::IsWindowVisible(h)) pw->windows.push_back(h);
    return TRUE;
}

std::vector<HWND> VisibleWindowsOf(DWORD pid)
{
    ProcessWindows pw = {pid, {}};
    ::EnumWindows(CollectProcessWindows, reinterpret_cast<LPARAM>(&pw));
    return pw.windows;
}

// Starts the program and waits until it shows a window; returns that window.
HWND StartAndWaitForWindow(PROCESS_INFORMATION& pi)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    std::string cmd = "\"" + ProgramPath() + "\"";
    if (!::CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return nullptr;
    for (int i = 0; i < 400; ++i) {
        auto windows = VisibleWindowsOf(pi.dwProcessId);
        if (!windows.empty()) return windows.front();
        if (::WaitForSingleObject(pi.hProcess, 50) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
}

DWORD WaitForExit(PROCESS_INFORMATION& pi)
{
    DWORD code = 12345;
    if (::WaitForSingleObject(pi.hProcess, 20000) == WAIT_OBJECT_0) ::GetExitCodeProcess(pi.hProcess, &code);
    else ::TerminateProcess(pi.hProcess, 99);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return code;
}
}

TEST(StartupTest, WithoutAnExcelDriverOnlyTheMessageShowsAndTheExitCodeIsZero)
{
    ExcelDriversHidden hidden;
    PROCESS_INFORMATION pi = {};
    HWND box = StartAndWaitForWindow(pi);
    ASSERT_NE(nullptr, box) << ProgramPath();
    EXPECT_STREQ("未安装Microsoft Excel驱动程序,不能运行!", WindowText(::GetDlgItem(box, 0xFFFF)));
    EXPECT_STREQ("SheetMover", WindowText(box));   // the framework's message box: the program's name
    EXPECT_EQ(nullptr, reinterpret_cast<HICON>(::SendDlgItemMessageA(box, 0x0440, STM_GETICON, 0, 0)));
    EXPECT_EQ(1u, VisibleWindowsOf(pi.dwProcessId).size());
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(0u, WaitForExit(pi));
}

TEST(StartupTest, WithADriverNamedExcelTheMainDialogOpens)
{
    ExcelDriversHidden hidden;
    SetDriverEntry("Startup Test Excel Driver", true);
    PROCESS_INFORMATION pi = {};
    HWND main = StartAndWaitForWindow(pi);
    SetDriverEntry("Startup Test Excel Driver", false);
    ASSERT_NE(nullptr, main);
    EXPECT_STREQ("Excel-SQLServer Data Conveter:", WindowText(main));
    ::PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, WaitForExit(pi));
}
