// Date texts read as SQL Server reads them under us_english.
#include "date_text.h"

#include <gtest/gtest.h>

namespace standin {
namespace {

std::string read(const std::string& text, const std::string& type = "datetime") {
  DateTimeParts p;
  switch (parse_date_text(text, p)) {
    case DateParse::BadSyntax: return "syntax";
    case DateParse::OutOfRange: return "range";
    case DateParse::Ok: break;
  }
  auto s = format_date_for_type(p, type, 7);
  return s ? *s : "type range";
}

TEST(DateText, FormsOfTheDatePart) {
  EXPECT_EQ(read("2004-01-02"), "2004-01-02 00:00:00.000");
  EXPECT_EQ(read("2004/1/2"), "2004-01-02 00:00:00.000");
  EXPECT_EQ(read("01/02/2004"), "2004-01-02 00:00:00.000");  // month first
  EXPECT_EQ(read("1-2-49"), "2049-01-02 00:00:00.000");      // two-digit years up to 49
  EXPECT_EQ(read("1-2-50"), "1950-01-02 00:00:00.000");
  EXPECT_EQ(read("040102"), "2004-01-02 00:00:00.000");
  EXPECT_EQ(read("  2004-01-02  "), "2004-01-02 00:00:00.000");
  EXPECT_EQ(read(""), "1900-01-01 00:00:00.000");
}

TEST(DateText, TimesAndTheirRounding) {
  EXPECT_EQ(read("2004-01-02T00:00:00Z"), "2004-01-02 00:00:00.000");
  EXPECT_EQ(read("2004-01-02 12:00 AM"), "2004-01-02 00:00:00.000");
  EXPECT_EQ(read("2004-01-02 12:30 PM"), "2004-01-02 12:30:00.000");
  EXPECT_EQ(read("2004-01-02 10:00:00.9"), "2004-01-02 10:00:00.900");
  EXPECT_EQ(read("2004-01-02 10:00:00.001"), "2004-01-02 10:00:00.000");
  EXPECT_EQ(read("2004-01-02 23:59:59.9995", "datetime2"), "2004-01-02 23:59:59.9995000");
  EXPECT_EQ(read("2004-01-02 23:59:59.99999999", "datetime2"), "2004-01-03 00:00:00.0000000");
  EXPECT_EQ(read("2079-06-06 23:59:30", "smalldatetime"), "type range");
  EXPECT_EQ(read("1899-12-31", "smalldatetime"), "type range");
  EXPECT_EQ(read("1753-01-01", "date"), "1753-01-01");
}

TEST(DateText, WhatIsNotADate) {
  for (const char* bad : {"abc", "2004-01", "2004-01-02 10", "2004-01-02T", "2004-01-02x",
                          "01/02/200", "10:00:00 XM", "2004-01-02 10:00:00.", "12345"})
    EXPECT_EQ(read(bad), "syntax") << bad;
  for (const char* range : {"2004-00-10", "2004-04-31", "2004-01-01 24:00", "13:00 PM"})
    EXPECT_EQ(read(range), "range") << range;
}

}  // namespace
}  // namespace standin
