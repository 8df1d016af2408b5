#include "date_text.h"

#include <cctype>
#include <cstdio>
#include <vector>

namespace standin {

namespace {

bool is_leap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int days_in_month(int y, int m) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && is_leap(y) ? 29 : days[m - 1];
}

int expand_year(int y, size_t digits) {
  if (digits > 2) return y;
  return y < 50 ? 2000 + y : 1900 + y;
}

struct Cursor {
  const std::string& s;
  size_t i = 0;
  bool done() const { return i >= s.size(); }
  char peek() const { return done() ? '\0' : s[i]; }
  void skip_spaces() {
    while (!done() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
  }
  // Reads a run of digits; returns its length (0 when none).
  size_t digits(int64_t& value) {
    size_t start = i;
    value = 0;
    while (!done() && std::isdigit(static_cast<unsigned char>(s[i])) && i - start < 18)
      value = value * 10 + (s[i++] - '0');
    return i - start;
  }
};

// Parses "hh:mm[:ss[.fff]] [AM|PM]" or "hh AM". Returns false on bad syntax.
bool parse_time(Cursor& c, DateTimeParts& p, bool& range_ok) {
  int64_t h = 0, mi = 0, sec = 0;
  size_t n = c.digits(h);
  if (n == 0 || n > 2) return false;
  bool have_minutes = false;
  if (c.peek() == ':') {
    ++c.i;
    if (c.digits(mi) == 0) return false;
    have_minutes = true;
    if (c.peek() == ':') {
      ++c.i;
      if (c.digits(sec) == 0) return false;
      if (c.peek() == '.' || c.peek() == ':') {
        ++c.i;
        size_t start = c.i;
        while (!c.done() && std::isdigit(static_cast<unsigned char>(c.peek()))) ++c.i;
        std::string frac = c.s.substr(start, c.i - start);
        if (frac.empty() || frac.size() > 9) return false;
        p.fraction_digits = static_cast<int>(frac.size());
        std::string padded = frac + std::string(9 - frac.size(), '0');
        p.nanos = std::stoll(padded);
      }
    }
  }
  c.skip_spaces();
  bool am = false, pm = false;
  if (c.s.size() - c.i >= 2) {
    std::string tail = c.s.substr(c.i, 2);
    for (char& ch : tail) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    if (tail == "AM" || tail == "PM") {
      am = tail == "AM";
      pm = tail == "PM";
      c.i += 2;
    }
  }
  if (!have_minutes && !am && !pm) return false;
  if (am || pm) {
    if (h > 12) {
      range_ok = false;
    } else if (pm && h != 12) {
      h += 12;
    } else if (am && h == 12) {
      h = 0;
    }
  }
  if (h > 23 || mi > 59 || sec > 59) range_ok = false;
  p.hour = static_cast<int>(h);
  p.minute = static_cast<int>(mi);
  p.second = static_cast<int>(sec);
  return true;
}

bool valid_date(int y, int m, int d) {
  return y >= 1 && y <= 9999 && m >= 1 && m <= 12 && d >= 1 && d <= days_in_month(y, m);
}

}  // namespace

int64_t days_from_civil(int year, int month, int day) {
  // Howard Hinnant's algorithm, shifted so that 1900-01-01 is day 0.
  int64_t y = year - (month <= 2);
  int64_t era = (y >= 0 ? y : y - 399) / 400;
  int64_t yoe = y - era * 400;
  int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468 + 25567;
}

void civil_from_days(int64_t days, int& year, int& month, int& day) {
  int64_t z = days - 25567 + 719468;
  int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  int64_t doe = z - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t y = yoe + era * 400;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(y + (month <= 2));
}

DateParse parse_date_text(const std::string& text, DateTimeParts& out) {
  Cursor c{text};
  DateTimeParts p;
  bool range_ok = true;
  c.skip_spaces();
  if (c.done()) {
    out = p;  // an empty text is 1900-01-01 00:00:00
    return DateParse::Ok;
  }
  size_t save = c.i;
  int64_t first = 0;
  size_t first_len = c.digits(first);
  bool have_date = false;
  if (first_len > 0 && (c.peek() == '-' || c.peek() == '/' || c.peek() == '.')) {
    char sep = c.peek();
    ++c.i;
    int64_t second = 0, third = 0;
    size_t second_len = c.digits(second);
    if (second_len == 0 || second_len > 2 || c.peek() != sep) return DateParse::BadSyntax;
    ++c.i;
    size_t third_len = c.digits(third);
    if (third_len == 0) return DateParse::BadSyntax;
    if (first_len == 4) {  // year first: y-m-d
      if (third_len > 2) return DateParse::BadSyntax;
      p.year = static_cast<int>(first);
      p.month = static_cast<int>(second);
      p.day = static_cast<int>(third);
    } else if (first_len <= 2 && (third_len == 4 || third_len == 2)) {  // m/d/y
      p.month = static_cast<int>(first);
      p.day = static_cast<int>(second);
      p.year = expand_year(static_cast<int>(third), third_len);
    } else {
      return DateParse::BadSyntax;
    }
    have_date = true;
    if (c.peek() == 'T' || c.peek() == 't') {  // ISO 8601: a time must follow
      if (sep != '-' || first_len != 4) return DateParse::BadSyntax;
      ++c.i;
      size_t before = c.i;
      if (!parse_time(c, p, range_ok) || c.i == before) return DateParse::BadSyntax;
      if (c.peek() == 'Z' || c.peek() == 'z') ++c.i;
    }
  } else if ((first_len == 8 || first_len == 6) &&
             (c.done() || std::isspace(static_cast<unsigned char>(c.peek())))) {
    int64_t v = first;
    p.day = static_cast<int>(v % 100);
    p.month = static_cast<int>(v / 100 % 100);
    int64_t y = v / 10000;
    p.year = expand_year(static_cast<int>(y), first_len == 8 ? 4 : 2);
    have_date = true;
  } else {
    c.i = save;
  }
  if (have_date && !valid_date(p.year, p.month, p.day)) range_ok = false;
  c.skip_spaces();
  if (!c.done()) {
    if (!parse_time(c, p, range_ok)) return DateParse::BadSyntax;
    c.skip_spaces();
  } else if (!have_date) {
    return DateParse::BadSyntax;
  }
  if (!c.done()) return DateParse::BadSyntax;
  out = p;
  return range_ok ? DateParse::Ok : DateParse::OutOfRange;
}

std::optional<std::string> format_date_for_type(const DateTimeParts& parts,
                                                const std::string& type, int digits) {
  int64_t day = days_from_civil(parts.year, parts.month, parts.day);
  int64_t second_of_day = parts.hour * 3600 + parts.minute * 60 + parts.second;
  char buf[64];
  int y, m, d;
  if (type == "datetime") {
    if (parts.fraction_digits > 3) return std::nullopt;
    // Ticks of 1/300 second, rounded half up.
    int64_t ticks = (second_of_day * 1000000000LL + parts.nanos) * 300 / 100000000LL;
    ticks = (ticks + 5) / 10;
    if (ticks >= 300LL * 86400) {
      ticks -= 300LL * 86400;
      ++day;
    }
    civil_from_days(day, y, m, d);
    if (y < 1753 || y > 9999) return std::nullopt;
    int64_t secs = ticks / 300, ms = ((ticks % 300) * 10 + 1) / 3;
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", y, m, d,
                  static_cast<int>(secs / 3600), static_cast<int>(secs / 60 % 60),
                  static_cast<int>(secs % 60), static_cast<int>(ms));
    return std::string(buf);
  }
  if (type == "smalldatetime") {
    if (parts.fraction_digits > 3) return std::nullopt;
    int64_t ms = second_of_day * 1000 + parts.nanos / 1000000;
    int64_t minutes = ms / 60000 + (ms % 60000 >= 29999 ? 1 : 0);
    if (minutes >= 1440) {
      minutes -= 1440;
      ++day;
    }
    civil_from_days(day, y, m, d);
    int64_t last = days_from_civil(2079, 6, 6);
    if (day < 0 || day > last) return std::nullopt;
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:00", y, m, d,
                  static_cast<int>(minutes / 60), static_cast<int>(minutes % 60));
    return std::string(buf);
  }
  if (type == "date") {
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", parts.year, parts.month, parts.day);
    return std::string(buf);
  }
  // datetime2 and time: round the fraction to the given digits.
  int64_t unit = 1;
  for (int k = digits; k < 9; ++k) unit *= 10;
  int64_t frac = (parts.nanos + unit / 2) / unit;
  int64_t limit = 1;
  for (int k = 0; k < digits; ++k) limit *= 10;
  if (frac >= limit) {
    frac -= limit;
    if (++second_of_day == 86400) {
      second_of_day = 0;
      ++day;
    }
  }
  civil_from_days(day, y, m, d);
  if (y > 9999) return std::nullopt;
  std::string time;
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", static_cast<int>(second_of_day / 3600),
                static_cast<int>(second_of_day / 60 % 60), static_cast<int>(second_of_day % 60));
  time = buf;
  if (digits > 0) {
    std::string f = std::to_string(frac);
    time += "." + std::string(static_cast<size_t>(digits) - f.size(), '0') + f;
  }
  if (type == "time") return time;
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d ", y, m, d);
  return std::string(buf) + time;
}

}  // namespace standin
