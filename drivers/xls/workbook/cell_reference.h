// Cell references as worksheets write them: "B12" is column 1, row 11 (0-based).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace xlsodbc {

// A cell reference such as "B12" into 0-based column and row; false when it is no reference
// or lies beyond the grid (XFD1048576): `beyond` tells which.
bool parse_cell_reference(std::string_view r, uint32_t& col, uint32_t& row, bool& beyond);

// "A", "B", ... "XFD" for a 0-based column.
std::string column_letters(unsigned col);

}  // namespace xlsodbc
