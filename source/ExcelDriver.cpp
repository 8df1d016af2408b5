#include "source/ExcelDriver.h"
#include <windows.h>
#include <cstring>

CString FindExcelDriverInList(const char* list, std::size_t size)
{
    static const char kNeedle[] = "Excel";
    const std::size_t needleLen = sizeof kNeedle - 1;
    std::size_t pos = 0;
    while (pos < size) {
        // The current name runs to its NUL, or to the end of the buffer when it has none.
        const void* nul = std::memchr(list + pos, '\0', size - pos);
        std::size_t end = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - list) : size;
        if (end == pos) break;   // the empty name ends the list
        for (std::size_t i = pos; i + needleLen <= end; ++i) {
            if (std::memcmp(list + i, kNeedle, needleLen) == 0)
                return CString(list + pos, static_cast<int>(end - pos));
        }
        pos = end + 1;
    }
    return CString();
}

namespace {
using GetInstalledDriversFn = BOOL(WINAPI*)(LPSTR, WORD, WORD*);

// The installer library is loaded when the driver list is first asked for.
GetInstalledDriversFn InstallerDriverList()
{
    static HMODULE lib = ::LoadLibraryA("odbccp32.dll");
    if (!lib) return nullptr;
    return reinterpret_cast<GetInstalledDriversFn>(
        reinterpret_cast<void*>(::GetProcAddress(lib, "SQLGetInstalledDrivers")));
}
}

CString FindExcelDriver()
{
    GetInstalledDriversFn fn = InstallerDriverList();
    if (!fn) return CString();
    char buf[kDriverListSize] = {};
    WORD used = 0;
    if (!fn(buf, sizeof buf, &used)) return CString();
    return FindExcelDriverInList(buf, sizeof buf);
}

bool IsExcelDriverInstalled()
{
    return FindExcelDriver() != CString();
}
