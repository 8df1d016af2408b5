// Access to the workbook stream of an .xls file (an OLE2 compound document) through libgsf.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace xlsodbc {

// Reads the whole "Workbook" (BIFF8) or "Book" (BIFF5/7) stream of the file at `path` into
// `out`; the stream names compare without regard to case ("WORKBOOK", "BOOK" as reporting
// tools write them). On failure returns false and puts a readable reason into `error` (without the file
// name: "the file does not exist", "it is a folder, not a file", ...).
bool read_workbook_stream(const std::string& path, std::vector<uint8_t>& out, std::string& error);

// Describes what a file that is not a compound document looks like, from its first bytes.
std::string describe_foreign_file(const uint8_t* head, size_t n);

}  // namespace xlsodbc
