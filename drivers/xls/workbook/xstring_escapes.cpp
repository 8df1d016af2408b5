#include "xstring_escapes.h"

#include "charset.h"

namespace xlsodbc {

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

}  // namespace xlsodbc
