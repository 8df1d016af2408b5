#include "value_numbers.h"

#include <charconv>
#include <cmath>

namespace xlsodbc {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The number of `text` without its spaces and '+' sign, as from_chars takes it; empty when
// the text is not a decimal number.
std::string_view decimal_body(std::string_view text) {
  auto space = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && space(text.front())) text.remove_prefix(1);
  while (!text.empty() && space(text.back())) text.remove_suffix(1);
  std::string_view body = text;
  if (!body.empty() && body.front() == '+') body.remove_prefix(1);
  size_t i = !body.empty() && body.front() == '-' && text.front() != '+' ? 1 : 0;
  size_t digits = 0;
  for (; i < body.size() && is_digit(body[i]); ++i) ++digits;
  if (i < body.size() && body[i] == '.')
    for (++i; i < body.size() && is_digit(body[i]); ++i) ++digits;
  if (digits == 0) return {};
  if (i < body.size() && (body[i] == 'e' || body[i] == 'E')) {
    ++i;
    if (i < body.size() && (body[i] == '+' || body[i] == '-')) ++i;
    size_t from = i;
    while (i < body.size() && is_digit(body[i])) ++i;
    if (i == from) return {};
  }
  return i == body.size() ? body : std::string_view();
}

// The power of ten of a decimal number's first significant digit (2 for "123", -1 for
// "0.5e0"); the body is one decimal_body() gave.
long long decimal_exponent(std::string_view body) {
  long long before_point = 0, leading_zeros = 0;
  bool point = false, significant = false;
  size_t i = body.front() == '-' ? 1 : 0;
  for (; i < body.size() && body[i] != 'e' && body[i] != 'E'; ++i) {
    if (body[i] == '.') {
      point = true;
    } else if (!significant && body[i] == '0') {
      if (point) ++leading_zeros;
    } else {
      significant = true;
      if (!point) ++before_point;
    }
  }
  long long exponent = 0;
  if (i < body.size()) {
    std::string_view e = body.substr(i + 1);
    if (!e.empty() && e.front() == '+') e.remove_prefix(1);
    // An exponent beyond long long is far beyond a double either way.
    if (std::from_chars(e.data(), e.data() + e.size(), exponent).ec != std::errc())
      exponent = e.front() == '-' ? -(1LL << 40) : 1LL << 40;
  }
  return (before_point > 0 ? before_point - 1 : -leading_zeros - 1) + exponent;
}

}  // namespace

NumberConversion decimal_value(std::string_view text, double& out) {
  std::string_view body = decimal_body(text);
  if (body.empty()) return NumberConversion::NotANumber;
  auto r = std::from_chars(body.data(), body.data() + body.size(), out);
  if (r.ec == std::errc::result_out_of_range) {
    // Beyond a double one way or the other: a number too small for one reads as zero.
    if (decimal_exponent(body) >= 0) return NumberConversion::OutOfRange;
    out = 0;
  } else if (r.ec != std::errc() || r.ptr != body.data() + body.size()) {
    return NumberConversion::NotANumber;
  }
  return std::isfinite(out) ? NumberConversion::Exact : NumberConversion::OutOfRange;
}

NumberConversion whole_value(std::string_view text, WholeNumber& out) {
  std::string_view body = decimal_body(text);
  if (body.empty()) return NumberConversion::NotANumber;
  out.negative = body.front() == '-';
  std::string_view digits = out.negative ? body.substr(1) : body;
  bool plain = true;
  for (char c : digits) plain = plain && is_digit(c);
  if (plain) {  // an integer, read exactly
    auto r = std::from_chars(digits.data(), digits.data() + digits.size(), out.magnitude);
    if (r.ec != std::errc()) return NumberConversion::OutOfRange;
    if (out.magnitude == 0) out.negative = false;
    return NumberConversion::Exact;
  }
  double v;
  NumberConversion c = decimal_value(body, v);
  if (c != NumberConversion::Exact) return c;
  double whole = std::trunc(std::abs(v));
  if (whole >= 18446744073709551616.0) return NumberConversion::OutOfRange;  // 2^64
  out.magnitude = static_cast<uint64_t>(whole);
  if (out.magnitude == 0) out.negative = false;
  return whole == std::abs(v) ? NumberConversion::Exact : NumberConversion::FractionCut;
}

}  // namespace xlsodbc
