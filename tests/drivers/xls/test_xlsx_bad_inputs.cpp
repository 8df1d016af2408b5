// Bad .xlsx input never crashes, hangs or swells the driver: each read runs in a child process
// (child_read.h) with a time limit, its peak memory measured, and ends in a refusal that names
// the workbook and the reason: SQLSTATE 08001 when connecting, HY000 when reading the sheet.
#include "child_read.h"
#include "odbc_client.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <string>

using namespace xlstest;

namespace {

// Under valgrind the memory and the time of a read say nothing about the driver.
bool measured() { return std::getenv("XLS_UNDER_VALGRIND") == nullptr; }

// A read that holds a whole part (or a grid the dimension claims) in memory grows by hundreds
// of megabytes; one that streams stays far below this.
constexpr long kMaxGrowthKb = 192 * 1024;

struct BadCase {
  const char* file;
  const char* phrase;  // in the message, as given
};

std::ostream& operator<<(std::ostream& o, const BadCase& k) { return o << k.file; }

// Test names from the file names ("bad_xml_sst.xlsx" -> bad_xml_sst_xlsx), for --gtest_filter.
std::string case_name(const ::testing::TestParamInfo<BadCase>& info) {
  std::string n = info.param.file;
  for (char& c : n)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return n;
}

void expect_clean_refusal(const ChildRead& r, const BadCase& k) {
  ASSERT_EQ(r.abnormal(), "") << k.file;
  if (r.stage == "connect") {
    EXPECT_EQ(r.state, "08001") << r.message;
  } else {
    EXPECT_EQ(r.stage, "statement") << "read " << r.rows << " rows of a bad workbook";
    EXPECT_EQ(r.state, "HY000") << r.message;
  }
  EXPECT_EQ(r.message.rfind("[SheetMover][Excel Driver]", 0), 0u) << r.message;
  EXPECT_NE(r.message.find(fixture(k.file)), std::string::npos) << r.message;
  EXPECT_NE(r.message.find(k.phrase), std::string::npos) << r.message;
  if (measured()) {
    EXPECT_LT(r.rss_growth_kb, kMaxGrowthKb);
  }
}

class XlsxRefused : public ::testing::TestWithParam<BadCase> {};

TEST_P(XlsxRefused, CleanlyWithTheReason) {
  const BadCase& k = GetParam();
  expect_clean_refusal(read_in_child(k.file, 60), k);
}

INSTANTIATE_TEST_SUITE_P(
    Packages, XlsxRefused,
    ::testing::Values(BadCase{"bad_truncated_half.xlsx", "damaged or truncated"},
                      BadCase{"bad_truncated_head.xlsx", "damaged or truncated"},
                      BadCase{"bad_noise.xlsx", "damaged"},
                      BadCase{"bad_empty_zip.xlsx", "not an Excel workbook"},
                      BadCase{"bad_docx.xlsx", "not an Excel workbook"},
                      BadCase{"bad_textzip.xlsx", "not an Excel workbook"},
                      BadCase{"bad_encrypted.xlsx", "protected with a password"},
                      BadCase{"bad_binary.xlsb", ".xlsb"}),
    case_name);

INSTANTIATE_TEST_SUITE_P(
    Parts, XlsxRefused,
    ::testing::Values(BadCase{"bad_missing_sheet.xlsx", "missing"}, BadCase{"bad_missing_sst.xlsx", "missing"},
                      BadCase{"bad_missing_styles.xlsx", "missing"},
                      BadCase{"bad_xml_sheet.xlsx", "malformed XML"},
                      BadCase{"bad_xml_sheet_utf8.xlsx", "malformed XML"},
                      BadCase{"bad_xml_sst.xlsx", "malformed XML"},
                      BadCase{"bad_xml_workbook.xlsx", "malformed XML"},
                      BadCase{"bad_beyond_col.xlsx", "beyond"}, BadCase{"bad_beyond_row.xlsx", "beyond"},
                      BadCase{"bad_beyond_rowattr.xlsx", "beyond"}, BadCase{"bad_beyond_huge.xlsx", "beyond"}),
    case_name);

// Parts that inflate to gigabytes are refused from their size, before they are read.
INSTANTIATE_TEST_SUITE_P(Bombs, XlsxRefused,
                         ::testing::Values(BadCase{"bomb_sheet.xlsx", "too large"},
                                           BadCase{"bomb_sst.xlsx", "too large"},
                                           BadCase{"bomb_zip64.xlsx", "too large"}),
                         case_name);

TEST(XlsxHostile, EntitiesNeitherExpandNorReadFiles) {
  // A billion laughs, and an entity naming a file beside the workbook: refused, or read
  // without the expansion and without the file's text.
  for (const char* file : {"bad_laughs.xlsx", "bad_xxe.xlsx"}) {
    ChildRead r = read_in_child(file, 60, file == std::string("bad_xxe.xlsx") ? "SECRET-CONTENT" : "hahahahaha");
    ASSERT_EQ(r.abnormal(), "") << file;
    EXPECT_FALSE(r.needle_found) << file;
    if (measured()) {
      EXPECT_LT(r.rss_growth_kb, kMaxGrowthKb) << file;
    }
    if (r.stage != "read") {
      EXPECT_TRUE(r.state == "08001" || r.state == "HY000") << r.state << " " << r.message;
    }
  }
}

TEST(XlsxHostile, AbsurdDimensionReadsTheCellsThereAre) {
  // <dimension ref="A1:XFD1048576"> over three cells: the grid it claims is never allocated.
  ChildRead r = read_in_child("raw_dim_absurd.xlsx", 60);
  ASSERT_EQ(r.abnormal(), "");
  ASSERT_EQ(r.stage, "read") << r.message;
  EXPECT_EQ(r.columns, 2);
  EXPECT_EQ(r.rows, 1);
  if (measured()) {
    EXPECT_LT(r.seconds, 5.0);
    EXPECT_LT(r.rss_growth_kb, 32 * 1024);
  }
}

}  // namespace
