// Output of the driver: lines in UTF-8 on standard output, whatever the code page of the text
// they carry (the program's texts are GBK under code page 936).
#pragma once
#include <string>

// Conversions between the ANSI code page and Unicode.
std::wstring AnsiToWide(const std::string& text);
std::string WideToAnsi(const std::wstring& text);

// Converts text in the ANSI code page to UTF-8.
std::string AnsiToUtf8(const std::string& text);

// Writes one line, given in the ANSI code page, as UTF-8 to standard output (unbuffered, so a
// script reading the output sees it at once).
void PrintLine(const std::string& text);
// The same on standard error.
void PrintError(const std::string& text);
