// Opening a workbook file, whichever format it is in: the first bytes decide (a compound
// document is an .xls workbook, a zip package an .xlsx / .xlsm one), never the file's name.
#pragma once

#include "workbook.h"

#include <cstdint>
#include <string>

namespace xlsodbc {

// Opens the workbook at `path`. On failure returns false with a readable reason (without the
// file name: "the file does not exist", "it is a folder, not a file", ...).
bool open_workbook_file(const std::string& path, Workbook& wb, std::string& error);

// Opens a workbook held in memory (the bytes are copied).
bool open_workbook_bytes(const uint8_t* data, size_t size, Workbook& wb, std::string& error);

}  // namespace xlsodbc
