// Finding the installed ODBC driver for Excel workbooks.
#pragma once
#include "framework/String.h"
#include <cstddef>

// Size of the buffer the installer fills with the installed driver names.
constexpr int kDriverListSize = 2000;

// The first name in a driver list (names each ended by NUL, the list ended by an empty name)
// that contains "Excel" and, when `alsoContains` is given, that text too (exact bytes), or
// empty text. Reads no further than the empty name and never beyond `size` bytes, even when
// the list is not terminated.
CString FindExcelDriverInList(const char* list, std::size_t size, const char* alsoContains = nullptr);

// Whether the workbook at `path` is an Excel 2007 (Office Open XML) one by its name: it ends
// in .xlsx or .xlsm, in any case.
bool IsOpenXmlWorkbookPath(const char* path);

// The driver for the workbook at `path` in a driver list: for an Excel 2007 workbook the first
// name containing both "Excel" and "xlsx" (a driver that says it reads them), else the first
// containing "Excel"; for any other workbook the first containing "Excel".
CString ChooseExcelDriverInList(const char* list, std::size_t size, const char* path);

// The whole name of the first installed driver whose name contains "Excel", or empty text.
// Asks the ODBC installer every time.
CString FindExcelDriver();
// The installed driver chosen for the workbook at `path` (see ChooseExcelDriverInList).
CString FindExcelDriverFor(const char* path);
bool IsExcelDriverInstalled();
