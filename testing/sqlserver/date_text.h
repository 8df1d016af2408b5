// Date and time texts as SQL Server reads them under the us_english language (month/day/year
// order): yyyy-mm-dd, yyyy/mm/dd, yyyymmdd, yymmdd, mm/dd/yyyy, mm-dd-yy, mm.dd.yyyy, each with an
// optional time hh:mm[:ss[.fff]] [AM|PM]; ISO 8601 yyyy-mm-ddThh:mm:ss[.fff]; a time alone
// (on 1900-01-01).
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace standin {

struct DateTimeParts {
  int year = 1900, month = 1, day = 1;
  int hour = 0, minute = 0, second = 0;
  int64_t nanos = 0;        // fraction of the second
  int fraction_digits = 0;  // as written
};

enum class DateParse { Ok, BadSyntax, OutOfRange };

// Reads the text; OutOfRange when the text is well formed but names no real date or time
// (February 30, hour 25). Years are checked by the caller against its type's range.
DateParse parse_date_text(const std::string& text, DateTimeParts& out);

// Days since 1900-01-01 (negative before it) and back.
int64_t days_from_civil(int year, int month, int day);
void civil_from_days(int64_t days, int& year, int& month, int& day);

// Rounds to the type's precision and formats it; nullopt when the result is outside the
// type's range. Types: "datetime" (1/300 s, 1753..9999), "smalldatetime" (minute,
// 1900-01-01..2079-06-06 23:59), "date", "datetime2" and "time" (digits = fraction digits).
std::optional<std::string> format_date_for_type(const DateTimeParts& parts,
                                                const std::string& type, int digits);

}  // namespace standin
