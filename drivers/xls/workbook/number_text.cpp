// Numbers as text: the shortest decimal that reads back as exactly the number, in positional
// notation. Most numbers in sheets are whole or have a few decimals; those are written from
// integers, checked to read back exactly, and only the rest goes to the general shortest
// round-trip formatter (std::to_chars), which gives the same text for all of them.
#include "number_format.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>

namespace xlsodbc {
namespace {

// Powers of ten, exact as doubles and as 64-bit integers up to 10^19.
constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,
                             1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19};
constexpr int kMaxDecimals = 19;
// Every integer below this is a double: beyond it a whole double's digits are not all its own.
constexpr double kExactIntegers = 9007199254740992.0;  // 2^53

// Writes n in decimal, at least `width` digits (zeros in front); returns the end.
char* write_digits(uint64_t n, int width, char* out) {
  int count = 1;
  for (uint64_t limit = 10; count < 20 && n >= limit; limit *= 10) ++count;
  for (int pad = width - count; pad > 0; --pad) *out++ = '0';
  return std::to_chars(out, out + count, n).ptr;
}

// x rounded to a whole number, ties to even, as std::nearbyint rounds in the default mode,
// for 0 <= x < 2^53: adding 2^52 leaves no bits below the units. Inline, where nearbyint is a
// call into the maths library that costs more than the rest of a candidate's check. Where
// sums are kept in a wider format (the x87 unit of 32-bit x86 builds), adding 2^52 rounds
// nothing away, so there the library rounds.
double round_whole(double x) {
#if FLT_EVAL_METHOD == 0
  constexpr double kTwo52 = 4503599627370496.0;
  return x >= kTwo52 ? x : (x + kTwo52) - kTwo52;
#else
  return std::nearbyint(x);
#endif
}

// The text of `a` (positive, finite) when it is a whole number below 2^53 or has a decimal
// of at most as many digits as a double holds exactly; 0 (nothing written) otherwise.
// With k decimals, the candidate m / 10^k reads back as `a` exactly when the division, rounded
// as the reading of the text is, gives `a` (m and 10^k are both exact doubles). The smallest
// such k gives the shortest text; once 10^-k exceeds the spacing of doubles at `a`, at most
// one candidate of k decimals can read back as `a`, so the text is also the one the general
// formatter chooses.
size_t short_decimal(double a, char* out) {
  if (a >= kExactIntegers) return 0;
  const uint64_t whole = static_cast<uint64_t>(a);
  if (static_cast<double>(whole) == a) return static_cast<size_t>(write_digits(whole, 1, out) - out);
  uint64_t bits;
  std::memcpy(&bits, &a, sizeof bits);
  const int biased = static_cast<int>(bits >> 52);  // a is positive: no sign bit
  if (biased <= 52) return 0;  // below 2^-970 (or subnormal): left to the general formatter
  const int exponent = biased - 1022;               // a < 2^exponent
  const uint64_t spacing_bits = static_cast<uint64_t>(biased - 52) << 52;
  double spacing;                                   // 2^(exponent - 53), between doubles at a
  std::memcpy(&spacing, &spacing_bits, sizeof spacing);
  // The most decimals looked at: the largest k with 10^k below 2^(53 - exponent), which keeps
  // a * 10^k below 2^53 and 10^-k above the spacing.
  const int most = std::min(kMaxDecimals, static_cast<int>((53 - exponent) * 0.30102999566398120));
  // A text of fewer decimals is also one of more (zeros added): when no text of `most - 2`
  // decimals can read back as `a` (looked at where the spacing is small enough to tell), only
  // the last two counts are left to try.
  int first = 1;
  if (most >= 3) {
    const double scaled = a * kPow10[most - 2];
    if (std::fabs(scaled - round_whole(scaled)) > 2 * spacing * kPow10[most - 2]) first = most - 1;
  }
  for (int k = first; k <= most; ++k) {
    const double scaled = a * kPow10[k];
    if (scaled >= kExactIntegers || spacing * kPow10[k] >= 1.0) return 0;
    const double nearest = round_whole(scaled);
    // A candidate reads back as `a` only within half the spacing of doubles (scaled by 10^k)
    // of it, and `scaled` is off by less than the spacing again: most k are passed over here,
    // without a division.
    if (std::fabs(scaled - nearest) > 2 * spacing * kPow10[k]) continue;
    for (double m : {nearest, nearest - 1, nearest + 1}) {
      if (m <= 0) continue;
      const uint64_t digits = static_cast<uint64_t>(m);
      // Only a whole m is a text of k decimals: the digits are m's, not m's cut to a whole.
      if (static_cast<double>(digits) != m || m / kPow10[k] != a) continue;
      const uint64_t unit = static_cast<uint64_t>(kPow10[k]);
      char* p = write_digits(digits / unit, 1, out);
      *p++ = '.';
      p = write_digits(digits % unit, k, p);
      return static_cast<size_t>(p - out);
    }
  }
  return 0;
}

}  // namespace

char* write_number(double v, char* out) {
  if (v == 0) {  // also -0
    *out = '0';
    return out + 1;
  }
  if (std::isnan(v) || std::isinf(v)) {
    const char* name = std::isnan(v) ? "NaN" : (v > 0 ? "Infinity" : "-Infinity");
    size_t n = std::strlen(name);
    std::memcpy(out, name, n);
    return out + n;
  }
  if (v < 0) *out++ = '-';
  if (size_t n = short_decimal(std::fabs(v), out)) return out + n;
  return std::to_chars(out, out + kNumberTextRoom - 1, std::fabs(v), std::chars_format::fixed).ptr;
}

std::string format_number(double v) {
  char buf[kNumberTextRoom];
  return std::string(buf, write_number(v, buf));
}

}  // namespace xlsodbc
