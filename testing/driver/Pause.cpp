#include "testing/driver/Pause.h"
#include "testing/driver/Console.h"
#include "testing/driver/Failure.h"
#include <cstdio>

namespace {
constexpr DWORD kLongestPauseMs = 10 * 60 * 1000;

bool Exists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
}

void PauseAt(const std::string& dir, const std::string& name, HWND main)
{
    if (dir.empty()) return;
    const std::string base = dir + "\\" + name;
    const std::string ready = base + ".ready", go = base + ".go";
    ::DeleteFileA(go.c_str());
    if (FILE* f = std::fopen(ready.c_str(), "w")) {
        std::fprintf(f, "%p\n", static_cast<void*>(main));
        std::fclose(f);
    } else {
        throw DriverFailure("cannot write " + ready);
    }
    PrintLine("pause: " + name);
    const ULONGLONG end = ::GetTickCount64() + kLongestPauseMs;
    while (!Exists(go)) {
        if (::GetTickCount64() > end) throw DriverFailure("nobody ended the pause " + name);
        ::Sleep(20);
    }
    ::DeleteFileA(ready.c_str());
    ::DeleteFileA(go.c_str());
}
