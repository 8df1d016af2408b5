#include "number_format.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace xlsodbc {

NumberKind classify_format(const std::string& f) {
  bool date = false, time = false, elapsed = false;
  // 'm' means minutes right after an hour code or right before a seconds code.
  char last_code = 0;           // the previous date/time letter class seen
  bool pending_m = false;       // an 'm' run whose meaning depends on what follows
  auto resolve_m = [&](bool minute) {
    if (!pending_m) return;
    (minute ? time : date) = true;
    pending_m = false;
  };
  for (size_t i = 0; i < f.size(); ++i) {
    char c = f[i];
    char lc = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    if (c == '"') {  // quoted literal
      size_t j = f.find('"', i + 1);
      if (j == std::string::npos) break;
      i = j;
      continue;
    }
    if (c == '\\' || c == '_' || c == '*') { ++i; continue; }  // escaped / padding char
    if (c == '[') {  // colour, condition or locale; [h] [m] [s] are elapsed time
      size_t j = f.find(']', i + 1);
      if (j == std::string::npos) break;
      std::string inner = f.substr(i + 1, j - i - 1);
      if (!inner.empty() && inner.find_first_not_of("hHmMsS") == std::string::npos) {
        time = true;
        elapsed = true;
        last_code = 'h';
      }
      i = j;
      continue;
    }
    if (lc == 'a' && (f.compare(i, 5, "AM/PM") == 0 || f.compare(i, 5, "am/pm") == 0)) {
      time = true;
      i += 4;
      continue;
    }
    if (lc == 'a' && (f.compare(i, 3, "A/P") == 0 || f.compare(i, 3, "a/p") == 0)) {
      time = true;
      i += 2;
      continue;
    }
    switch (lc) {
      case 'y': case 'd': case 'e':
        if (lc == 'e' && !(i + 1 < f.size() && (f[i + 1] == 'e' || f[i + 1] == 'E')) &&
            !(i > 0 && (f[i - 1] == 'e' || f[i - 1] == 'E')))
          break;  // a lone 'E' is the exponent of 0.00E+00, not the era year
        resolve_m(false);
        date = true;
        last_code = 'd';
        break;
      case 'h':
        resolve_m(false);
        time = true;
        last_code = 'h';
        break;
      case 's':
        resolve_m(true);
        time = true;
        last_code = 's';
        break;
      case 'm':
        while (i + 1 < f.size() && (f[i + 1] == 'm' || f[i + 1] == 'M')) ++i;
        if (last_code == 'h') {
          time = true;
        } else {
          resolve_m(false);
          pending_m = true;
        }
        last_code = 'm';
        break;
      default:
        break;
    }
  }
  resolve_m(false);
  if (elapsed && !date) return NumberKind::Elapsed;
  if (date && time) return NumberKind::DateTime;
  if (date) return NumberKind::Date;
  if (time) return NumberKind::Time;
  return NumberKind::Plain;
}

NumberKind builtin_format_kind(unsigned index) {
  switch (index) {
    case 14: case 15: case 16: case 17:
    case 27: case 28: case 29: case 30: case 31: case 36:
    case 50: case 51: case 52: case 53: case 54: case 57: case 58:
      return NumberKind::Date;
    case 18: case 19: case 20: case 21: case 45: case 47:
    case 32: case 33: case 34: case 35: case 55: case 56:
      return NumberKind::Time;
    case 46:  // [h]:mm:ss
      return NumberKind::Elapsed;
    case 22:
      return NumberKind::DateTime;
    default:
      return NumberKind::Plain;
  }
}

char* write_number(double v, char* out) {
  if (v == 0) {  // also -0
    *out = '0';
    return out + 1;
  }
  if (std::isnan(v) || std::isinf(v)) {
    const char* text = std::isnan(v) ? "NaN" : (v > 0 ? "Infinity" : "-Infinity");
    size_t n = std::strlen(text);
    std::memcpy(out, text, n);
    return out + n;
  }
  // Whole numbers, the most common values, as integers: the same digits, without the search
  // for the shortest form.
  if (v == std::trunc(v) && std::fabs(v) < 1e15) {
    return std::to_chars(out, out + kNumberTextRoom, static_cast<long long>(v)).ptr;
  }
  return std::to_chars(out, out + kNumberTextRoom, v, std::chars_format::fixed).ptr;
}

std::string format_number(double v) {
  char buf[kNumberTextRoom];
  return std::string(buf, write_number(v, buf));
}

namespace {

// Civil date from days since 1970-01-01 (H. Hinnant's algorithm).
void civil_from_days(long long z, int& y, unsigned& m, unsigned& d) {
  z += 719468;
  long long era = (z >= 0 ? z : z - 146096) / 146097;
  unsigned doe = static_cast<unsigned>(z - era * 146097);
  unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  long long yy = static_cast<long long>(yoe) + era * 400;
  unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<int>(yy + (m <= 2));
}

const long long kDays1899_12_30 = -25569;  // days from 1970-01-01
const long long kDays1899_12_31 = -25568;
const long long kDays1904_01_01 = -24107;

// Writes `value` with exactly `width` digits, zeros in front, and returns the end (a date's
// parts are called for once a cell, millions of times for a big sheet: no printf).
char* put_digits(unsigned value, int width, char* out) {
  for (int i = width - 1; i >= 0; --i) {
    out[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  return out + width;
}

// A serial date/time number in whole seconds, rounded once, half up, from the exact product
// serial x 86400. (Rounding that product to a double first can make 13:53:48.4999998 exactly
// :48.5, which then rounds up to :49.) The serial is at least 0 and below 2^31.
long long serial_seconds(double serial) {
  double day = std::floor(serial);
  double fraction = serial - day;  // exact
  double product = fraction * 86400.0;
  double whole = std::floor(product);
  double rest = product - whole;  // exact
  // The product is off the exact one by less than 1e-11: only near the half second does
  // that decide, and there the exact remainder does.
  if (std::fabs(rest - 0.5) < 1e-9) rest += std::fma(fraction, 86400.0, -product);
  return static_cast<long long>(day) * 86400 + static_cast<long long>(whole) + (rest >= 0.5 ? 1 : 0);
}

// The form of a serial's text and the serial in whole seconds (see serial_form()).
SerialForm form_and_seconds(double serial, NumberKind kind, bool date1904, long long& seconds) {
  // The day after 9999-12-31 in each date system; a serial that reaches it once rounded to
  // the second is no date either.
  const double end = date1904 ? 2957004.0 : 2958466.0;
  if (kind == NumberKind::Plain || !(serial >= 0) || serial >= end) return SerialForm::None;  // also NaN
  seconds = serial_seconds(serial);
  if (seconds >= static_cast<long long>(end) * 86400) return SerialForm::None;
  if (kind == NumberKind::Elapsed || serial < 1) return SerialForm::Time;
  return serial == std::trunc(serial) ? SerialForm::Date : SerialForm::DateTime;
}

}  // namespace

SerialForm serial_form(double serial, NumberKind kind, bool date1904) {
  long long seconds;
  return form_and_seconds(serial, kind, date1904, seconds);
}

char* write_serial(double serial, NumberKind kind, bool date1904, char* out) {
  long long total = 0;
  SerialForm form = form_and_seconds(serial, kind, date1904, total);
  if (form == SerialForm::None) return nullptr;
  long long day = total / 86400;
  long secs = static_cast<long>(total % 86400);
  if (form != SerialForm::Time) {
    int y;
    unsigned m, d;
    if (date1904) {
      civil_from_days(kDays1904_01_01 + day, y, m, d);
    } else if (day == 60) {  // the 1900-02-29 that the 1900 date system counts
      y = 1900; m = 2; d = 29;
    } else if (day < 60) {
      civil_from_days(kDays1899_12_31 + day, y, m, d);
    } else {
      civil_from_days(kDays1899_12_30 + day, y, m, d);
    }
    // Years run from 1900 to 9999 (serial_form() leaves other serials as numbers): four digits.
    out = put_digits(static_cast<unsigned>(y), 4, out);
    *out++ = '-';
    out = put_digits(m, 2, out);
    *out++ = '-';
    out = put_digits(d, 2, out);
    if (form == SerialForm::Date) return out;
    *out++ = ' ';
  }
  out = put_digits(static_cast<unsigned>(secs / 3600), 2, out);
  *out++ = ':';
  out = put_digits(static_cast<unsigned>((secs / 60) % 60), 2, out);
  *out++ = ':';
  return put_digits(static_cast<unsigned>(secs % 60), 2, out);
}

bool format_serial(double serial, NumberKind kind, bool date1904, std::string& out) {
  char buf[kNumberTextRoom];
  char* end = write_serial(serial, kind, date1904, buf);
  if (!end) return false;
  out.append(buf, end);
  return true;
}

}  // namespace xlsodbc
