// How numbers become text: the shortest exact decimal form, and dates/times chosen by the
// cell's number format.
#pragma once

#include <cstdint>
#include <string>

namespace xlsodbc {

// What a number format shows: a plain number, a date, a time of day, or both.
enum class NumberKind : uint8_t { Plain, Date, Time, DateTime };

// The kind of a format string (FORMAT record): date/time codes outside quoted text, escaped
// characters and [...] sections decide it.
NumberKind classify_format(const std::string& format);
// The kind of a built-in format index that has no FORMAT record (14-22, 45-47 and the
// Chinese-locale date formats 27-36, 50-58).
NumberKind builtin_format_kind(unsigned index);

// Shortest text that reads back as exactly `value`, in positional notation (no exponent):
// 12 -> "12", 0.1 -> "0.1", 1e-7 -> "0.0000001", 1e20 -> "100000000000000000000".
std::string format_number(double value);
void append_number(double value, std::string& out);

// Text of a serial date/time number under the given kind: "2004-01-01", "13:05:00",
// "2004-01-01 13:05:00". `date1904` selects the 1904 date system. Returns false (and writes
// nothing) when the serial is outside the range of dates (negative, or after 9999-12-31);
// callers then show the plain number.
bool format_serial(double serial, NumberKind kind, bool date1904, std::string& out);

}  // namespace xlsodbc
