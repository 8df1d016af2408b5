// Numbers in attributes: whole unsigned decimals ("3", "65535"), nothing before or after.
#pragma once

#include <charconv>
#include <string_view>

namespace xlsodbc {

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

}  // namespace xlsodbc
