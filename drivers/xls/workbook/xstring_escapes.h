// The _xHHHH_ escapes of SpreadsheetML strings.
#pragma once

#include <string>

namespace xlsodbc {

// Decodes the _xHHHH_ escapes with which SpreadsheetML writes UTF-16 units XML cannot carry
// (control characters; "_x005F_" is a literal underscore).
void unescape_xstring(std::string& s);

}  // namespace xlsodbc
