#include "xlsx_values.h"

#include "charset.h"
#include "workbook.h"

#include <cstdio>

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

void unescape_xstring(std::string& s) {
  if (s.find("_x") == std::string::npos) return;
  auto unit_at = [&s](size_t at, char16_t& unit) {
    if (at + 7 > s.size() || s[at] != '_' || s[at + 1] != 'x' || s[at + 6] != '_') return false;
    unsigned v = 0;
    for (size_t i = at + 2; i < at + 6; ++i) {
      char c = s[i];
      unsigned d = c >= '0' && c <= '9' ? c - '0' : (c | 0x20) >= 'a' && (c | 0x20) <= 'f' ? (c | 0x20) - 'a' + 10 : 16;
      if (d == 16) return false;
      v = v * 16 + d;
    }
    unit = static_cast<char16_t>(v);
    return true;
  };
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    char16_t units[2];
    if (!unit_at(i, units[0])) {
      out.push_back(s[i++]);
      continue;
    }
    size_t n = 1;
    if (units[0] >= 0xD800 && units[0] < 0xDC00 && unit_at(i + 7, units[1]) && units[1] >= 0xDC00 && units[1] < 0xE000)
      n = 2;
    append_utf16_as_utf8(units, n, out);
    i += 7 * n;
  }
  s.swap(out);
}

bool iso_date_serial(const std::string& s, bool date1904, double& serial) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0;
  double sec = 0;
  char tail = 0;
  bool has_date = std::sscanf(s.c_str(), "%4d-%2d-%2d", &y, &mo, &d) == 3;
  size_t t = s.find('T');
  const char* time = has_date ? (t == std::string::npos ? nullptr : s.c_str() + t + 1) : s.c_str();
  // Seconds are optional (hh:mm is a time of ISO 8601 too).
  if (time && std::sscanf(time, "%2d:%2d:%lf%c", &h, &mi, &sec, &tail) < 2) return false;
  if (!has_date && !time) return false;
  if (has_date && (mo < 1 || mo > 12 || d < 1 || d > 31)) return false;
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
  serial = days + (h * 3600.0 + mi * 60.0 + sec) / 86400.0;
  return true;
}

}  // namespace xlsodbc
