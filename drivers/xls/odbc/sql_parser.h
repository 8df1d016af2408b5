// The statements the driver understands:
//   SELECT * FROM [Sheet1$]
//   SELECT a, [First Name], b FROM [Sheet1$]      (optional ';' at the end)
// Keywords, worksheet and column names are case-insensitive. A bracketed name may contain
// anything; "]]" inside brackets stands for "]". A bare column name runs to the next comma or
// to the FROM keyword (so "select First Name from [Sheet1$]" names the column "First Name").
// The text is UTF-8.
#pragma once

#include <string>
#include <vector>

namespace xlsodbc {

struct SelectStatement {
  bool all_columns = false;
  std::vector<std::string> columns;  // when !all_columns
  std::string table;                  // as written, without brackets: "Sheet1$"
};

// Parses `sql`. On a syntax error returns false and a readable message in `error`.
bool parse_select(const std::string& sql, SelectStatement& out, std::string& error);

}  // namespace xlsodbc
