#include "exact_number.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstdlib>

namespace standin {

namespace {

std::string strip_leading_zeros(const std::string& digits) {
  size_t k = digits.find_first_not_of('0');
  return k == std::string::npos ? "" : digits.substr(k);
}

}  // namespace

std::optional<ExactNumber> parse_exact(const std::string& text, NumberSyntax syntax) {
  size_t i = 0, n = text.size();
  auto space = [&](size_t k) { return std::isspace(static_cast<unsigned char>(text[k])) != 0; };
  while (i < n && space(i)) ++i;
  while (n > i && space(n - 1)) --n;
  ExactNumber out;
  if (syntax.currency && i < n && text[i] == '$') ++i;
  if (i < n && (text[i] == '+' || text[i] == '-')) out.negative = text[i++] == '-';
  if (syntax.currency && i < n && text[i] == '$') ++i;
  std::string whole, fraction;
  bool any = false;
  while (i < n && (std::isdigit(static_cast<unsigned char>(text[i])) ||
                   (syntax.group_commas && text[i] == ',' && any))) {
    if (text[i] != ',') whole += text[i];
    any = true;
    ++i;
  }
  if (i < n && text[i] == '.') {
    ++i;
    while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) {
      fraction += text[i++];
      any = true;
    }
  }
  if (!any) return std::nullopt;
  long exponent = 0;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    if (!syntax.exponent) return std::nullopt;
    ++i;
    bool neg = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) neg = text[i++] == '-';
    if (i >= n || !std::isdigit(static_cast<unsigned char>(text[i]))) return std::nullopt;
    while (i < n && std::isdigit(static_cast<unsigned char>(text[i])) && exponent < 100000)
      exponent = exponent * 10 + (text[i++] - '0');
    if (neg) exponent = -exponent;
  }
  if (i != n) return std::nullopt;
  // Apply the exponent by moving the decimal point.
  std::string digits = whole + fraction;
  long point = static_cast<long>(whole.size()) + exponent;
  if (point < 0) {
    digits = std::string(static_cast<size_t>(-point), '0') + digits;
    point = 0;
  }
  if (point > static_cast<long>(digits.size())) digits += std::string(point - digits.size(), '0');
  out.whole = strip_leading_zeros(digits.substr(0, point));
  out.fraction = digits.substr(point);
  if (out.whole.empty() && out.fraction.find_first_not_of('0') == std::string::npos)
    out.negative = false;
  return out;
}

ExactNumber round_to_scale(const ExactNumber& n, int scale) {
  ExactNumber r = n;
  if (static_cast<int>(r.fraction.size()) <= scale) {
    r.fraction += std::string(scale - r.fraction.size(), '0');
    return r;
  }
  bool up = r.fraction[scale] >= '5';
  std::string digits = r.whole + r.fraction.substr(0, scale);
  if (up) {
    int k = static_cast<int>(digits.size()) - 1;
    while (k >= 0 && digits[k] == '9') digits[k--] = '0';
    if (k >= 0)
      ++digits[k];
    else
      digits.insert(digits.begin(), '1');
  }
  r.whole = strip_leading_zeros(digits.substr(0, digits.size() - scale));
  r.fraction = digits.substr(digits.size() - scale);
  if (r.whole.empty() && r.fraction.find_first_not_of('0') == std::string::npos)
    r.negative = false;
  return r;
}

ExactNumber truncate_fraction(const ExactNumber& n) {
  ExactNumber r = n;
  r.fraction.clear();
  if (r.whole.empty()) r.negative = false;
  return r;
}

std::string exact_text(const ExactNumber& n) {
  std::string s = n.negative ? "-" : "";
  s += n.whole.empty() ? "0" : n.whole;
  if (!n.fraction.empty()) s += "." + n.fraction;
  return s;
}

std::optional<int64_t> exact_to_int64(const ExactNumber& n) {
  if (n.whole.size() > 19) return std::nullopt;
  if (n.whole.size() == 19 && n.whole > (n.negative ? "9223372036854775808" : "9223372036854775807"))
    return std::nullopt;
  uint64_t v = 0;
  for (char c : n.whole) v = v * 10 + static_cast<uint64_t>(c - '0');
  return n.negative ? static_cast<int64_t>(0 - v) : static_cast<int64_t>(v);
}

int compare_magnitude(const ExactNumber& n, const std::string& limit) {
  size_t dot = limit.find('.');
  std::string lw = limit.substr(0, dot);
  std::string lf = dot == std::string::npos ? "" : limit.substr(dot + 1);
  lw = strip_leading_zeros(lw);
  if (n.whole.size() != lw.size()) return n.whole.size() < lw.size() ? -1 : 1;
  if (n.whole != lw) return n.whole < lw ? -1 : 1;
  std::string a = n.fraction, b = lf;
  size_t len = std::max(a.size(), b.size());
  a += std::string(len - a.size(), '0');
  b += std::string(len - b.size(), '0');
  return a == b ? 0 : a < b ? -1 : 1;
}

std::string shortest_float_text(double value, bool single) {
  // The shortest text that reads back as the same value, positional unless an exponent is
  // shorter (1e+300).
  char buf[64];
  auto r = single ? std::to_chars(buf, buf + sizeof buf, static_cast<float>(value))
                  : std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, r.ptr);
}

}  // namespace standin
