// The ISO 8601 dates of .xlsx date cells (t="d").
#pragma once

#include <string_view>

namespace xlsodbc {

// The serial number of an ISO 8601 date cell (t="d": "2024-05-01", "2024-05-01T13:05:00",
// "13:05:00", seconds with a fraction, a final "Z"), in the workbook's date system; false
// when the text is not such a date, holds a month, day or time out of range, or goes on after it.
bool iso_date_serial(std::string_view s, bool date1904, double& serial);

}  // namespace xlsodbc
