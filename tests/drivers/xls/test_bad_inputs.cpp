// Bad input never crashes or hangs the driver: each case gives a clear diagnostic naming the
// file (at connect) or the worksheet (at the statement). This binary also runs under
// valgrind.
#include "odbc_client.h"

#include <gtest/gtest.h>

using namespace xlstest;

namespace {

struct ConnectCase {
  const char* file;
  const char* phrase;
};

class BadFile : public ::testing::TestWithParam<ConnectCase> {};

TEST_P(BadFile, RefusedAtConnectWithReason) {
  const ConnectCase& k = GetParam();
  Connection c;
  EXPECT_EQ(c.connect(connect_string(k.file)), SQL_ERROR);
  auto d = c.diag();
  ASSERT_FALSE(d.empty()) << k.file;
  EXPECT_EQ(d[0].state, "08001");
  EXPECT_NE(d[0].message.find(fixture(k.file)), std::string::npos) << d[0].message;
  EXPECT_NE(d[0].message.find(k.phrase), std::string::npos) << d[0].message;
  EXPECT_EQ(d[0].message.rfind("[SheetMover][Excel Driver]", 0), 0u) << d[0].message;
  // The connection handle stays usable: a good workbook connects afterwards.
  EXPECT_TRUE(SQL_SUCCEEDED(c.connect(connect_string("types.xls")))) << describe(c.diag());
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadFile,
    ::testing::Values(ConnectCase{"missing.xls", "does not exist"}, ConnectCase{"folder.xls", "is a folder"},
                      ConnectCase{"empty.xls", "is empty"}, ConnectCase{"random.xls", "not an Excel workbook"},
                      ConnectCase{"truncated_half.xls", "damaged or truncated"},
                      ConnectCase{"truncated_header.xls", "damaged or truncated"},
                      ConnectCase{"truncated_strings.xls", "damaged or truncated"},
                      ConnectCase{"csv_renamed.xls", "text file"},
                      ConnectCase{"encrypted.xls", "password"},
                      // Its only stream is named "WORKBOOKS": not a workbook stream in any case.
                      ConnectCase{"stream_other.xls", "without a Workbook stream"}));

struct StatementCase {
  const char* file;
  const char* state;
  const char* phrase;
};

class BadSheet : public ::testing::TestWithParam<StatementCase> {};

TEST_P(BadSheet, RefusedAtStatementWithReason) {
  const StatementCase& k = GetParam();
  Connection c;
  ASSERT_TRUE(SQL_SUCCEEDED(c.connect(connect_string(k.file)))) << describe(c.diag());
  Table t;
  std::vector<Diag> err;
  EXPECT_FALSE(c.query("select * from [Sheet1$];", t, &err));
  ASSERT_FALSE(err.empty());
  EXPECT_EQ(err[0].state, k.state);
  EXPECT_NE(err[0].message.find(k.phrase), std::string::npos) << err[0].message;
  EXPECT_NE(err[0].message.find("Sheet1"), std::string::npos) << err[0].message;
}

INSTANTIATE_TEST_SUITE_P(Sheets, BadSheet,
                         ::testing::Values(StatementCase{"nosheet1.xls", "42S02", "not found"},
                                           // A package under an .xls name is read as the package it
                                           // is: this one's workbook lists no sheet.
                                           StatementCase{"xlsx_renamed.xls", "42S02", "its worksheets are: none"},
                                           StatementCase{"emptysheet.xls", "HY000", "is empty"},
                                           StatementCase{"blanksheet.xls", "HY000", "is empty"},
                                           StatementCase{"garbled.xls", "HY000", "damaged"}));

TEST(BadInput, HeaderOnlySheetHasColumnsAndNoRows) {
  Connection c;
  ASSERT_TRUE(SQL_SUCCEEDED(c.connect(connect_string("headeronly.xls"))));
  Table t;
  ASSERT_TRUE(c.query("select * from [Sheet1$]", t));
  EXPECT_EQ(t.names, (std::vector<std::string>{"one", "two", "three"}));
  EXPECT_TRUE(t.rows.empty());
}

TEST(BadInput, ManyStatementsAndHandlesOnOneConnection) {
  Connection c;
  ASSERT_TRUE(SQL_SUCCEEDED(c.connect(connect_string("perl_types.xls"))));
  for (int i = 0; i < 20; ++i) {
    Table t;
    ASSERT_TRUE(c.query(i % 2 ? "select * from [Sheet1$]" : "select Id, FText from [sheet1$]", t));
    ASSERT_EQ(t.rows.size(), 30u);
  }
  // Statements left allocated are freed by the disconnect.
  SQLHSTMT st;
  ASSERT_EQ(SQLAllocHandle(SQL_HANDLE_STMT, c.dbc, &st), SQL_SUCCESS);
  ASSERT_EQ(SQLExecDirect(st, reinterpret_cast<SQLCHAR*>(const_cast<char*>("select * from [Sheet1$]")), SQL_NTS), SQL_SUCCESS);
  ASSERT_EQ(SQLFetch(st), SQL_SUCCESS);
}

}  // namespace
