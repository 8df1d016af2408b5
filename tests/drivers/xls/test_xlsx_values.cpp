// Every .xlsx/.xlsm fixture read through the driver manager and the driver, compared with the
// values python3-openpyxl reads from the same file (openpyxl_reference.py); a few values
// spelled out where openpyxl cannot judge; Chinese text through both registered entries.
#include "odbc_client.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

using namespace xlstest;

namespace {

const char kGbkEntry[] = "SheetMover Excel Driver (*.xls)";
const char kUtf8Entry[] = "SheetMover Excel Driver UTF-8";

// A connection through one of the registered entries (ODBCSYSINI names the test's own
// odbcinst.ini, which gives each its Charset).
std::string entry_string(const char* entry, const std::string& fixture_name) {
  return std::string("DRIVER={") + entry + "};DBQ=" + fixture(fixture_name);
}

struct SheetCase {
  const char* workbook;
  const char* sheet;
  const char* expected;
};

std::ostream& operator<<(std::ostream& o, const SheetCase& k) { return o << k.workbook << " [" << k.sheet << "$]"; }

class XlsxFixtureValues : public ::testing::TestWithParam<SheetCase> {};

// Test names from the expected files' names (x_types_other), for --gtest_filter.
std::string case_name(const ::testing::TestParamInfo<SheetCase>& info) {
  std::string n = info.param.expected;
  if (info.param.workbook != n + ".xlsx") n += "_via_" + std::string(info.param.workbook);
  for (char& c : n)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return n;
}

TEST_P(XlsxFixtureValues, MatchOpenpyxl) {
  const SheetCase& k = GetParam();
  Connection c;
  ASSERT_TRUE(SQL_SUCCEEDED(c.connect(connect_string(k.workbook)))) << describe(c.diag());
  Table got;
  std::vector<Diag> err;
  ASSERT_TRUE(c.query(std::string("select * from [") + k.sheet + "$]", got, &err)) << describe(err);
  expect_same(read_expected(std::string(k.expected) + ".expected"), got);
}

// Written by openpyxl (x_), LibreOffice (lo_) and part by part (raw_); see make_xlsx_fixtures.py.
INSTANTIATE_TEST_SUITE_P(
    Workbooks, XlsxFixtureValues,
    ::testing::Values(
        SheetCase{"x_types.xlsx", "Sheet1", "x_types"}, SheetCase{"x_types.xlsx", "Other", "x_types_other"},
        SheetCase{"x_dates.xlsx", "Sheet1", "x_dates"}, SheetCase{"x_dates1904.xlsx", "Sheet1", "x_dates1904"},
        SheetCase{"x_cjk.xlsx", "Sheet1", "x_cjk"}, SheetCase{"x_headers.xlsx", "Sheet1", "x_headers"},
        SheetCase{"x_far_col.xlsx", "Sheet1", "x_far_col"}, SheetCase{"x_far_row.xlsx", "Sheet1", "x_far_row"},
        SheetCase{"lo_formulas.xlsx", "Sheet1", "lo_formulas"}, SheetCase{"lo_types.xlsx", "Sheet1", "lo_types"},
        SheetCase{"lo_dates.xlsx", "Sheet1", "lo_dates"}, SheetCase{"lo_dates1904.xlsx", "Sheet1", "lo_dates1904"},
        SheetCase{"lo_cjk.xlsx", "Sheet1", "lo_cjk"}, SheetCase{"lo_dates_by_value.xlsx", "Sheet1", "lo_dates_by_value"},
        SheetCase{"lo_strings.xlsx", "Sheet1", "lo_strings"},
        SheetCase{"lo_long_headers.xlsx", "Sheet1", "lo_long_headers"},
        SheetCase{"lo_chinese_sheet.xlsx", "Sheet1", "lo_chinese_sheet"},
        SheetCase{"lo_chinese_sheet.xlsx", "工作表", "lo_chinese_sheet_cn"},
        SheetCase{"lo_headers.xlsm", "Sheet1", "lo_headers"}, SheetCase{"raw_strings.xlsx", "Sheet1", "raw_strings"},
        SheetCase{"raw_layout.xlsx", "Sheet1", "raw_layout"}, SheetCase{"raw_layout.xlsx", "汇总", "raw_layout_summary"},
        SheetCase{"raw_dim_small.xlsx", "Sheet1", "raw_dim_small"},
        SheetCase{"raw_dim_absurd.xlsx", "Sheet1", "raw_dim_absurd"},
        SheetCase{"raw_builtin_dates.xlsx", "Sheet1", "raw_builtin_dates"},
        SheetCase{"raw_builtin_dates1904.xlsx", "Sheet1", "raw_builtin_dates1904"},
        SheetCase{"raw_cell_kinds.xlsx", "Sheet1", "raw_cell_kinds"},
        SheetCase{"raw_iso_dates.xlsx", "Sheet1", "raw_iso_dates"},
        // The content tells the format, not the name: an .xlsx named .xls and the reverse.
        SheetCase{"x_types_named.xls", "Sheet1", "x_types"}, SheetCase{"types_named.xlsx", "Sheet1", "types"}),
    case_name);

// The values of one column of a fixture, read through the UTF-8 entry.
std::vector<Value> column(const std::string& workbook, const std::string& name) {
  Connection c;
  EXPECT_TRUE(SQL_SUCCEEDED(c.connect(entry_string(kUtf8Entry, workbook)))) << describe(c.diag());
  Table t;
  std::vector<Diag> err;
  EXPECT_TRUE(c.query("select [" + name + "] from [Sheet1$]", t, &err)) << describe(err);
  std::vector<Value> out;
  for (auto& r : t.rows) out.push_back(r.at(0));
  return out;
}

TEST(XlsxValues, EscapesOpenpyxlLeavesAlone) {
  // "_x005F_" is an escaped underscore: what follows it is text, not another escape.
  std::vector<Value> want = {Value("_x0041_"), Value("ABC"), Value("_")};
  EXPECT_EQ(column("raw_escapes.xlsx", "Shared"), want);
  EXPECT_EQ(column("raw_escapes.xlsx", "Inline"), want);
}

TEST(XlsxValues, TextRunsAndFormulaText) {
  // Spelled out beside the reference: runs joined, phonetic guides left out, escapes decoded
  // in shared, inline and cached formula text alike.
  EXPECT_EQ(column("raw_strings.xlsx", "Rich"),
            (std::vector<Value>{Value("bold and plain"), Value("東京都"), Value("漢字"), Value("<&> 中 中")}));
  EXPECT_EQ(column("raw_strings.xlsx", "Escaped"),
            (std::vector<Value>{Value("a\rb\tc中d"), Value("x\ny"), Value("not_x00zz_hex, _x41_ short, _X0041_ upper x"),
                                Value("中文")}));
  EXPECT_EQ(column("raw_strings.xlsx", "Formula"),
            (std::vector<Value>{Value("ab"), Value("中文\ttab"), std::nullopt, std::nullopt}));
}

TEST(XlsxValues, DatesOfBothSystemsByTheirValue) {
  // Serial 38024.5868865741 is 2004-02-07 14:05:07 in the 1900 system and four years and a
  // day later in the 1904 one; format 46 ([h]:mm:ss) shows the time of day, 0.00 the number.
  Connection c, c4;
  ASSERT_TRUE(SQL_SUCCEEDED(c.connect(connect_string("raw_builtin_dates.xlsx"))));
  ASSERT_TRUE(SQL_SUCCEEDED(c4.connect(connect_string("raw_builtin_dates1904.xlsx"))));
  Table t, t4;
  const char* sql = "select Fmt14, Fmt22, Fmt31, Fmt46, Fmt55, Fmt165 from [Sheet1$]";
  ASSERT_TRUE(c.query(sql, t));
  ASSERT_TRUE(c4.query(sql, t4));
  EXPECT_EQ(t.rows.at(2), (Row{Value("2004-02-07 14:05:07"), Value("2004-02-07 14:05:07"),
                               Value("2004-02-07 14:05:07"), Value("14:05:07"), Value("2004-02-07 14:05:07"),
                               Value("38024.5868865741")}));
  EXPECT_EQ(t4.rows.at(2).at(0), Value("2008-02-08 14:05:07"));
  EXPECT_EQ(t.rows.at(0).at(4), Value("2004-02-07"));  // a whole serial in a time format
  EXPECT_EQ(t.rows.at(1).at(1), Value("14:05:07"));    // below 1 in a date format
}

TEST(XlsxValues, SerialsOutsideTheCalendarShowAsNumbers) {
  // The last day is 9999-12-31 in either system (serial 2958465 counted from 1900, 2957003
  // from 1904); a serial below 0 or after it is no date.
  EXPECT_EQ(column("raw_date_range.xlsx", "Date"),
            (std::vector<Value>{Value("-1"), Value("9999-12-31 12:00:00"), Value("2958466"), Value("00:00:00")}));
  EXPECT_EQ(column("raw_date_range1904.xlsx", "Date"),
            (std::vector<Value>{Value("-1"), Value("9999-12-31 12:00:00"), Value("2957004"), Value("00:00:00")}));
}

// Chinese text through the GBK entry arrives as GBK; a character GBK lacks is refused with
// 22018 naming the cell.
TEST(XlsxValues, GbkEntryGivesGbkText) {
  for (const char* name : {"x_headers.xlsx", "lo_chinese_sheet.xlsx", "raw_builtin_dates.xlsx"}) {
    Connection c;
    ASSERT_TRUE(SQL_SUCCEEDED(c.connect(entry_string(kGbkEntry, name)))) << describe(c.diag());
    Table got;
    std::vector<Diag> err;
    ASSERT_TRUE(c.query("select * from [Sheet1$]", got, &err)) << name << describe(err);
    std::string stem(name);
    expect_same(to_charset(read_expected(stem.substr(0, stem.rfind('.')) + ".expected"), "CP936"), got);
  }
}

TEST(XlsxValues, GbkEntryRefusesHangulAndReadsChineseInPieces) {
  Connection c;
  ASSERT_TRUE(SQL_SUCCEEDED(c.connect(entry_string(kGbkEntry, "x_cjk.xlsx")))) << describe(c.diag());
  Table want = read_expected("x_cjk.expected");
  Statement st(c);
  ASSERT_EQ(SQLExecDirect(st.h, reinterpret_cast<SQLCHAR*>(const_cast<char*>("select * from [Sheet1$]")), SQL_NTS),
            SQL_SUCCESS);
  ASSERT_EQ(SQLFetch(st.h), SQL_SUCCESS);
  Value v;
  ASSERT_EQ(read_value(st.h, 2, v, 5), SQL_SUCCESS);  // 张伟, split inside a character
  EXPECT_EQ(v, Value(to_charset(*want.rows[0][1], "CP936")));
  ASSERT_EQ(read_value(st.h, 7, v, 10), SQL_SUCCESS);  // 5,001 characters of Chinese
  EXPECT_EQ(v, Value(to_charset(*want.rows[0][6], "CP936")));
  std::vector<Diag> err;
  ASSERT_EQ(read_value(st.h, 3, v, 64, &err), SQL_ERROR);  // 서울
  ASSERT_FALSE(err.empty());
  EXPECT_EQ(err[0].state, "22018");
  EXPECT_NE(err[0].message.find("cell C2 of worksheet 'Sheet1'"), std::string::npos) << err[0].message;
  EXPECT_NE(err[0].message.find("U+C11C"), std::string::npos) << err[0].message;
  // The same cell through the UTF-8 entry.
  EXPECT_EQ(column("x_cjk.xlsx", "이름").at(0), Value("서울"));
}

}  // namespace
