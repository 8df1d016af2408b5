// Decimal numbers kept as digits, so that decimal, numeric and money values keep every digit
// between the statement and the database file.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace standin {

struct ExactNumber {
  bool negative = false;
  std::string whole;     // integer digits without leading zeros ("" for zero)
  std::string fraction;  // fraction digits as written
};

struct NumberSyntax {
  bool exponent = false;      // 1.5e3 (a float literal in T-SQL)
  bool group_commas = false;  // 1,234.50 (accepted when converting text to money)
  bool currency = false;      // a leading $ (text to money)
};

// Reads the whole text (surrounding spaces allowed) as a number; nullopt when it is not one.
std::optional<ExactNumber> parse_exact(const std::string& text, NumberSyntax syntax);

// Rounds half away from zero to `scale` fraction digits.
ExactNumber round_to_scale(const ExactNumber& n, int scale);

// Drops the fraction (truncation toward zero, as converting to an integer type does).
ExactNumber truncate_fraction(const ExactNumber& n);

// "-12.50"; "0" for an empty whole part; the fraction as kept.
std::string exact_text(const ExactNumber& n);

// The integer value when it fits in 64 bits (fraction ignored).
std::optional<int64_t> exact_to_int64(const ExactNumber& n);

// Compares |n| with the positive decimal text `limit` ("922337203685477.5807").
int compare_magnitude(const ExactNumber& n, const std::string& limit);

// The shortest text that reads back as the same double (or float when single is true).
std::string shortest_float_text(double value, bool single);

}  // namespace standin
