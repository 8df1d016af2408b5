#include "source/ExcelDriver.h"
#include <windows.h>
#include <cstring>

namespace {
// Whether bytes [begin, end) of `text` contain `needle` (exact bytes).
bool RangeContains(const char* text, std::size_t begin, std::size_t end, const char* needle)
{
    const std::size_t len = std::strlen(needle);
    for (std::size_t i = begin; i + len <= end; ++i)
        if (std::memcmp(text + i, needle, len) == 0) return true;
    return false;
}
}

CString FindExcelDriverInList(const char* list, std::size_t size, const char* alsoContains)
{
    std::size_t pos = 0;
    while (pos < size) {
        // The current name runs to its NUL, or to the end of the buffer when it has none.
        const void* nul = std::memchr(list + pos, '\0', size - pos);
        std::size_t end = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - list) : size;
        if (end == pos) break;   // the empty name ends the list
        if (RangeContains(list, pos, end, "Excel") && (!alsoContains || RangeContains(list, pos, end, alsoContains)))
            return CString(list + pos, static_cast<int>(end - pos));
        pos = end + 1;
    }
    return CString();
}

bool IsOpenXmlWorkbookPath(const char* path)
{
    const std::size_t len = std::strlen(path);
    if (len < 5) return false;
    const char* ext = path + len - 5;
    // ASCII case only: the locale's word comparison of lstrcmpi would skip hyphens.
    return _stricmp(ext, ".xlsx") == 0 || _stricmp(ext, ".xlsm") == 0;
}

CString ChooseExcelDriverInList(const char* list, std::size_t size, const char* path)
{
    if (IsOpenXmlWorkbookPath(path)) {
        CString named = FindExcelDriverInList(list, size, "xlsx");
        if (!named.IsEmpty()) return named;
    }
    return FindExcelDriverInList(list, size);
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

// Fills `buf` with the installed driver names; false when the installer cannot be asked.
bool InstalledDrivers(char (&buf)[kDriverListSize])
{
    GetInstalledDriversFn fn = InstallerDriverList();
    WORD used = 0;
    return fn && fn(buf, sizeof buf, &used);
}
}

CString FindExcelDriver()
{
    char buf[kDriverListSize] = {};
    return InstalledDrivers(buf) ? FindExcelDriverInList(buf, sizeof buf) : CString();
}

CString FindExcelDriverFor(const char* path)
{
    char buf[kDriverListSize] = {};
    return InstalledDrivers(buf) ? ChooseExcelDriverInList(buf, sizeof buf, path) : CString();
}

bool IsExcelDriverInstalled()
{
    return FindExcelDriver() != CString();
}
