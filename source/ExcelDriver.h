// Finding the installed ODBC driver for Excel workbooks.
#pragma once
#include "framework/String.h"
#include <cstddef>

// Size of the buffer the installer fills with the installed driver names.
constexpr int kDriverListSize = 2000;

// The first name in a driver list (names each ended by NUL, the list ended by an empty name)
// that contains "Excel" (exact bytes), or empty text. Reads no further than the empty name
// and never beyond `size` bytes, even when the list is not terminated.
CString FindExcelDriverInList(const char* list, std::size_t size);

// The whole name of the first installed driver whose name contains "Excel", or empty text.
// Asks the ODBC installer every time.
CString FindExcelDriver();
bool IsExcelDriverInstalled();
