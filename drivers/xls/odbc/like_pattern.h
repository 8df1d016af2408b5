// The search patterns of the catalog functions (SQLTables, SQLColumns): '%' stands for any
// run of characters, '_' for one character (not one byte: sheet and column names are often
// Chinese), '\' makes the character after it plain.
#pragma once

#include <string>

namespace xlsodbc {

// Whether a name (UTF-8) matches a pattern (UTF-8), letters compared as names are
// (fold_case). Takes time in proportion to the lengths' product at worst, whatever the number
// of '%'.
bool like_match(const std::string& pattern, const std::string& name);

}  // namespace xlsodbc
