#include "iso_date.h"

namespace xlsodbc {
namespace {

// Days from 1970-01-01 of a civil date (H. Hinnant's algorithm).
long long days_from_civil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

}  // namespace

bool iso_date_serial(std::string_view s, bool date1904, double& serial) {
  size_t i = 0;
  auto number = [&](size_t width, int& out) {
    if (s.size() - i < width) return false;
    out = 0;
    for (size_t k = 0; k < width; ++k) {
      char c = s[i + k];
      if (c < '0' || c > '9') return false;
      out = out * 10 + (c - '0');
    }
    i += width;
    return true;
  };
  auto mark = [&](char c) {
    if (i >= s.size() || s[i] != c) return false;
    ++i;
    return true;
  };
  int y = 0, mo = 1, d = 1, h = 0, mi = 0, whole = 0;
  double fraction = 0;
  bool has_date = s.size() > 4 && s[4] == '-';
  if (has_date && !(number(4, y) && mark('-') && number(2, mo) && mark('-') && number(2, d))) return false;
  if (!has_date || mark('T')) {
    if (!(number(2, h) && mark(':') && number(2, mi))) return false;
    if (mark(':')) {  // seconds are optional (hh:mm is a time of ISO 8601 too)
      if (!number(2, whole)) return false;
      if (mark('.')) {
        size_t start = i;
        for (double unit = 0.1; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, unit /= 10) fraction += (s[i] - '0') * unit;
        if (i == start) return false;
      }
    }
  }
  mark('Z');  // UTC, as written
  if (i != s.size()) return false;  // anything after the date is no date
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
  if (mo < 1 || mo > 12 || d < 1 || d > kDays[mo - 1] + (mo == 2 && leap)) return false;
  if (h > 23 || mi > 59 || whole > 59) return false;
  double days = 0;
  if (has_date) {
    long long z = days_from_civil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d));
    if (date1904) {
      days = static_cast<double>(z - days_from_civil(1904, 1, 1));
    } else {
      days = static_cast<double>(z - days_from_civil(1899, 12, 30));
      if (days < 61) days -= 1;  // the 1900 system counts a 29 February 1900 that never was
    }
  }
  serial = days + (h * 3600.0 + mi * 60.0 + whole + fraction) / 86400.0;
  return true;
}

}  // namespace xlsodbc
