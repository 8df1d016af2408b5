// Access to the workbook stream of an .xls file (an OLE2 compound document) through libgsf.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

typedef struct _GsfInput GsfInput;  // libgsf's input, as gsf-fwd.h names it

namespace xlsodbc {

// The first eight bytes of every compound document.
bool has_compound_signature(const uint8_t* head, size_t n);

// Reads the whole "Workbook" (BIFF8) or "Book" (BIFF5/7) stream of the compound document
// `file` into `out`; the stream names compare without regard to case ("WORKBOOK", "BOOK" as
// reporting tools write them). On failure returns false and puts a readable reason into
// `error` (without the file name).
bool read_workbook_stream(GsfInput* file, std::vector<uint8_t>& out, std::string& error);

}  // namespace xlsodbc
