#include "testing/driver/Console.h"
#include <windows.h>

namespace {
std::wstring ToWide(UINT codePage, const std::string& text)
{
    if (text.empty()) return std::wstring();
    int n = ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
    return wide;
}

std::string FromWide(UINT codePage, const std::wstring& text)
{
    if (text.empty()) return std::string();
    int n = ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}
}

std::wstring AnsiToWide(const std::string& text)
{
    return ToWide(CP_ACP, text);
}

std::string WideToAnsi(const std::wstring& text)
{
    return FromWide(CP_ACP, text);
}

std::string AnsiToUtf8(const std::string& text)
{
    return FromWide(CP_UTF8, AnsiToWide(text));
}

namespace {
void WriteLine(DWORD handle, const std::string& text)
{
    std::string line = AnsiToUtf8(text) + "\n";
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(handle), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}
}

void PrintLine(const std::string& text)
{
    WriteLine(STD_OUTPUT_HANDLE, text);
}

void PrintError(const std::string& text)
{
    WriteLine(STD_ERROR_HANDLE, text);
}
