// Every fixture workbook read through the driver manager and the driver, compared with the
// values python3-xlrd reads from the same file.
#include "odbc_client.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

using namespace xlstest;

namespace {

class FixtureValues : public ::testing::TestWithParam<const char*> {};

TEST_P(FixtureValues, MatchXlrd) {
  std::string name = GetParam();
  Connection c;
  ASSERT_TRUE(SQL_SUCCEEDED(c.connect(connect_string(name + ".xls")))) << describe(c.diag());
  Table got;
  std::vector<Diag> err;
  ASSERT_TRUE(c.query("select * from [Sheet1$]", got, &err)) << describe(err);
  expect_same(read_expected(name + ".expected"), got);
}

INSTANTIATE_TEST_SUITE_P(Workbooks, FixtureValues,
                         ::testing::Values("types", "dates", "dates1904", "strings", "headers", "perl_types", "mini",
                                           "rows65536", "cols256", "headeronly", "chinese_sheet", "dates_by_value",
                                           "dates_by_value1904", "perl_dates_by_value", "long_headers", "cjk",
                                           "stream_upper", "stream_lower", "stream_book", "stream_book_lower"));

TEST(Values, OtherWorksheetsByName) {
  Connection c;
  ASSERT_TRUE(SQL_SUCCEEDED(c.connect(connect_string("types.xls"))));
  Table got;
  ASSERT_TRUE(c.query("SELECT * FROM [other$];", got));
  expect_same(read_expected("types_other.expected"), got);
  Connection c2;
  ASSERT_TRUE(SQL_SUCCEEDED(c2.connect(connect_string("chinese_sheet.xls"))));
  ASSERT_TRUE(c2.query("select [列] from [工作表$]", got));
  expect_same(read_expected("chinese_sheet_cn.expected"), got);
}

TEST(Values, SpecificTexts) {
  // A few values spelled out, independent of the reference reader.
  Connection c;
  ASSERT_TRUE(SQL_SUCCEEDED(c.connect(connect_string("types.xls"))));
  Table t;
  ASSERT_TRUE(c.query("select Int, Number, Bool, Err from [Sheet1$]", t));
  ASSERT_EQ(t.rows.size(), 16u);
  std::vector<std::string> numbers;
  for (auto& r : t.rows)
    if (r[1]) numbers.push_back(*r[1]);
  for (const char* want : {"1.5", "0.1", "0.0000001", "100000000000000000000", "123456789.123", "-0.5",
                           "0.3333333333333333", "1000000000000000.5", "-1234.5678"})
    EXPECT_NE(std::find(numbers.begin(), numbers.end(), want), numbers.end()) << want;
  EXPECT_EQ(t.rows[0][0], Value("-7"));
  EXPECT_EQ(t.rows[0][2], Value("0"));
  EXPECT_EQ(t.rows[1][2], Value("1"));
  EXPECT_EQ(t.rows[0][3], std::nullopt);  // error cell
  EXPECT_EQ(t.rows[8], Row(4));           // the empty row inside the block
}

TEST(Values, DatesAsDateCells) {
  Connection c;
  ASSERT_TRUE(SQL_SUCCEEDED(c.connect(connect_string("dates.xls"))));
  Table t;
  ASSERT_TRUE(c.query("select Iso, Builtin22, Builtin21, Chinese, QuotedD, DateText from [Sheet1$]", t));
  // 2004-01-01 13:05:00 + 37 days + 3607 s
  EXPECT_EQ(t.rows[0][0], Value("2004-02-07"));
  EXPECT_EQ(t.rows[0][1], Value("2004-02-07 14:05:07"));
  EXPECT_EQ(t.rows[0][2], Value("14:05:07"));
  EXPECT_EQ(t.rows[0][3], Value("2004-02-07"));
  EXPECT_EQ(t.rows[0][4], Value("1234.5"));
  EXPECT_EQ(t.rows[0][5], Value("2004-02-07"));
  Connection c4;
  ASSERT_TRUE(SQL_SUCCEEDED(c4.connect(connect_string("dates1904.xls"))));
  ASSERT_TRUE(c4.query("select Iso, Builtin22 from [Sheet1$]", t));
  EXPECT_EQ(t.rows[0][0], Value("2004-02-07"));
  EXPECT_EQ(t.rows[0][1], Value("2004-02-07 14:05:07"));
}

TEST(Values, GbkClientGetsGbkText) {
  // (types.xls holds characters outside GBK; see Charset.UnrepresentableCharacterFailsTheRead.)
  for (const char* name : {"perl_types", "headers", "dates", "chinese_sheet"}) {
    Connection c;
    ASSERT_TRUE(SQL_SUCCEEDED(c.connect(connect_string(std::string(name) + ".xls", "Charset=GBK"))));
    Table got;
    std::vector<Diag> err;
    ASSERT_TRUE(c.query("select * from [Sheet1$]", got, &err)) << name << describe(err);
    expect_same(to_charset(read_expected(std::string(name) + ".expected"), "CP936"), got);
  }
}

TEST(Values, LongValuesInSmallPieces) {
  Connection c;
  ASSERT_TRUE(SQL_SUCCEEDED(c.connect(connect_string("strings.xls"))));
  Table small, gbk_small;
  ASSERT_TRUE(c.query("select * from [Sheet1$]", small, nullptr, 7));
  expect_same(read_expected("strings.expected"), small);
  Connection g;
  ASSERT_TRUE(SQL_SUCCEEDED(g.connect(connect_string("strings.xls", "Charset=GBK"))));
  std::vector<Diag> err;
  ASSERT_TRUE(g.query("select Long from [Sheet1$]", gbk_small, &err, 10)) << describe(err);
  Table want = read_expected("strings.expected");
  for (size_t r = 0; r < want.rows.size(); ++r) {
    std::string w = *want.rows[r][1];
    // Characters outside GBK (Greek is in GBK; all of these are) compare in GBK.
    EXPECT_EQ(gbk_small.rows[r][0], Value(to_charset(w, "CP936"))) << "row " << r + 1;
  }
  EXPECT_EQ(small.rows[399][1]->size(), 32767u);
}

TEST(Values, Whole65535x10Workbook) {
  // Its speed is measured by bench/xls_read; here only what is read counts.
  Connection c;
  ASSERT_TRUE(SQL_SUCCEEDED(c.connect(connect_string("bench65535x10.xls"))));
  Table got;
  ASSERT_TRUE(c.query("select * from [Sheet1$]", got, nullptr, 256));
  ASSERT_EQ(got.rows.size(), 65535u);
  expect_same(read_expected("bench65535x10.expected"), got);
}

}  // namespace
