// A value's text as a number of one of the C types SQLGetData hands out: read as a decimal
// number whatever the host's locale, range-checked exactly, the cut fraction told.
#pragma once

#include <cstdint>
#include <limits>
#include <string_view>
#include <type_traits>

namespace xlsodbc {

// How a conversion went: its SQLSTATE is none, 01S07, 22003 or 22018.
enum class NumberConversion { Exact, FractionCut, OutOfRange, NotANumber };

// A decimal number: spaces, a sign, digits with a point ('.') and an exponent, spaces.
// Hexadecimal, "inf" and "nan" are not numbers; one beyond a double is out of range.
NumberConversion decimal_value(std::string_view text, double& out);

// The whole part of a decimal number, exactly even beyond a double's 53 bits.
struct WholeNumber {
  bool negative = false;
  uint64_t magnitude = 0;
};
NumberConversion whole_value(std::string_view text, WholeNumber& out);

// A decimal number as the integer type T: out of range when its whole part does not fit.
template <typename T>
NumberConversion integer_value(std::string_view text, T& out) {
  static_assert(std::is_integral_v<T>, "an integer type");
  WholeNumber w;
  NumberConversion c = whole_value(text, w);
  if (c == NumberConversion::OutOfRange || c == NumberConversion::NotANumber) return c;
  const uint64_t max = static_cast<uint64_t>(std::numeric_limits<T>::max());
  if (w.negative) {
    // The magnitude of T's lowest value is max + 1 (0 for an unsigned T).
    if (!std::is_signed_v<T> || w.magnitude > max + 1) return NumberConversion::OutOfRange;
    out = static_cast<T>(-static_cast<int64_t>(w.magnitude - 1) - 1);
  } else {
    if (w.magnitude > max) return NumberConversion::OutOfRange;
    out = static_cast<T>(w.magnitude);
  }
  return c;
}

}  // namespace xlsodbc
