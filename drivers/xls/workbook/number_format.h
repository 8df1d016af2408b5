// How numbers become text: the shortest exact decimal form, and dates/times: the cell's number
// format says whether a number is a date at all, its value which form the text takes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace xlsodbc {

// What a number format shows: a plain number, a date, a time of day, both, or an elapsed time
// ([h]:mm). Any kind but Plain and Elapsed makes the number a date whose text its value decides.
enum class NumberKind : uint8_t { Plain, Date, Time, DateTime, Elapsed };

// The kind of a format string (FORMAT record): date/time codes outside quoted text, escaped
// characters and [...] sections decide it.
NumberKind classify_format(const std::string& format);
// The kind of a built-in format index that has no FORMAT record (14-22, 45-47 and the
// Chinese-locale date formats 27-36, 50-58).
NumberKind builtin_format_kind(unsigned index);

// Room for the longest text of a number (5e-324 written out takes 326 characters) or of a
// date.
constexpr size_t kNumberTextRoom = 400;

// Shortest text that reads back as exactly `value`, in positional notation (no exponent):
// 12 -> "12", 0.1 -> "0.1", 1e-7 -> "0.0000001", 1e20 -> "100000000000000000000".
// write_number() puts it at `out`, which has kNumberTextRoom bytes, and returns its end.
char* write_number(double value, char* out);
std::string format_number(double value);

// The form of a serial date/time number's text. For Date, Time and DateTime formats the value
// decides: a serial below 1 is a time of day ("13:05:00"), a whole serial a date
// ("2004-01-01"), any other both ("2004-01-01 13:05:00"). An Elapsed format shows the time of
// day. None when the serial is outside the range of dates (negative, or after 9999-12-31 in
// the date system `date1904` selects) or the kind is Plain: the number is then shown as a
// number.
enum class SerialForm : uint8_t { None, Date, Time, DateTime };
SerialForm serial_form(double serial, NumberKind kind, bool date1904);
// Length in characters of each form's text (0 for None).
inline unsigned serial_form_length(SerialForm f) {
  return f == SerialForm::Date ? 10 : f == SerialForm::Time ? 8 : f == SerialForm::DateTime ? 19 : 0;
}

// Text of a serial date/time number in the form serial_form() gives, rounded to the second
// (23:59:59.6 is the next day's 00:00:00). `date1904` selects the 1904 date system.
// write_serial() puts it at `out` (kNumberTextRoom bytes) and returns its end, or nullptr
// (writing nothing) for SerialForm::None; format_serial() returns false then.
char* write_serial(double serial, NumberKind kind, bool date1904, char* out);
bool format_serial(double serial, NumberKind kind, bool date1904, std::string& out);

}  // namespace xlsodbc
