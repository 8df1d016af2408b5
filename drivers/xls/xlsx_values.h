// The small texts of SpreadsheetML: cell references, numbers in attributes, escaped strings,
// ISO 8601 dates; and the sizes an .xlsx part may have.
#pragma once

#include <gsf/gsf.h>

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

namespace xlsodbc {

// The largest part accepted: a worksheet of a million rows of ten columns is about 0.5 GB of
// XML; the other parts are far smaller.
constexpr gsf_off_t kMaxSheetPart = gsf_off_t(8) << 30;
constexpr gsf_off_t kMaxOtherPart = gsf_off_t(1) << 30;

// A whole unsigned decimal number, nothing before or after it.
template <typename T>
bool parse_unsigned(std::string_view s, T& out) {
  if (s.empty()) return false;
  auto r = std::from_chars(s.data(), s.data() + s.size(), out);
  return r.ec == std::errc() && r.ptr == s.data() + s.size();
}
template <typename T>
bool parse_unsigned(const char* s, T& out) {
  return s && parse_unsigned(std::string_view(s), out);
}

// A cell reference such as "B12" into 0-based column and row; false when it is no reference
// or lies beyond the grid (XFD1048576): `beyond` tells which.
bool parse_cell_reference(std::string_view r, uint32_t& col, uint32_t& row, bool& beyond);

// Decodes the _xHHHH_ escapes with which SpreadsheetML writes UTF-16 units XML cannot carry
// (control characters; "_x005F_" is a literal underscore).
void unescape_xstring(std::string& s);

// The serial number of an ISO 8601 date cell (t="d": "2024-05-01", "2024-05-01T13:05:00",
// "13:05:00"), in the workbook's date system; false when the text is not such a date.
bool iso_date_serial(const std::string& s, bool date1904, double& serial);

}  // namespace xlsodbc
