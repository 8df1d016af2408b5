// Numbers as the driver writes them: the shortest positional text that reads back exactly,
// the short forms (whole numbers, few decimals) giving the general formatter's text. Built
// twice: as it is, and with the x87 unit's wider sums (-mfpmath=387), as 32-bit x86 builds
// of the driver compute.
#include "workbook/number_format.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

using namespace xlsodbc;

namespace {

TEST(NumberText, ShortestPositional) {
  EXPECT_EQ(format_number(12), "12");
  EXPECT_EQ(format_number(-7), "-7");
  EXPECT_EQ(format_number(0), "0");
  EXPECT_EQ(format_number(-0.0), "0");
  EXPECT_EQ(format_number(1.5), "1.5");
  EXPECT_EQ(format_number(0.1), "0.1");
  EXPECT_EQ(format_number(1e-7), "0.0000001");
  EXPECT_EQ(format_number(1e20), "100000000000000000000");
  EXPECT_EQ(format_number(0.1 + 0.2), "0.30000000000000004");
  EXPECT_EQ(format_number(123456789.123), "123456789.123");
  EXPECT_EQ(format_number(9007199254740993.0), "9007199254740992");
  EXPECT_EQ(format_number(1.0 / 3), "0.3333333333333333");
  EXPECT_EQ(format_number(5e-324).size(), 326u);
  EXPECT_EQ(format_number(1.7976931348623157e308).size(), 309u);
}

// Whole numbers and short decimals are written without the general shortest round-trip
// formatter; the text must be the one it gives, for every kind of double.
TEST(NumberText, ShortFormsAreTheGeneralFormattersText) {
  auto general = [](double v) {
    char buf[kNumberTextRoom];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
    return std::string(buf, r.ptr);
  };
  std::vector<double> values = {1, 9, 10, 0.5, 0.1, 0.01, 1e-7, 123456.7, 1e15, 1e15 + 1,
                                9007199254740991.0, 9007199254740992.0, 9007199254740994.0, 1e22, 1e23,
                                0.30000000000000004, 9.999999999999998, 99.99999999999999, 0.1 + 0.7,
                                1000.3701, 2.675, 1.005, 5e-324, 2.2250738585072014e-308, 1.7976931348623157e308};
  std::mt19937_64 random(22);
  const double scales[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e9, 1e12, 1e15, 1e17};
  for (int i = 0; i < 100000; ++i) {
    uint64_t bits = random();
    values.push_back(static_cast<double>(bits % 100000000000ull) / scales[(bits >> 40) % 12]);  // written decimals
    values.push_back(static_cast<double>(i) * 0.25 + 0.01);
    values.push_back(static_cast<double>(i) / 7.0);
    values.push_back(static_cast<double>(bits >> 11) * 0x1p-20);  // whole and fractional near 2^33
    double any;
    std::memcpy(&any, &bits, sizeof any);
    if (std::isfinite(any)) values.push_back(any);
  }
  size_t wrong = 0;
  for (double v : values) {
    for (double x : {v, -v}) {
      if (x == 0) continue;
      char buf[kNumberTextRoom];
      std::string text(buf, write_number(x, buf));
      if (text != general(x) && ++wrong <= 5) ADD_FAILURE() << "got " << text << ", general formatter " << general(x);
    }
  }
  EXPECT_EQ(wrong, 0u) << "of " << 2 * values.size();
}

}  // namespace
