// The ODBC surface of the driver through unixODBC's driver manager: connecting (connect
// string forms, registered names with their Charset, Windows paths), statements, result
// descriptions, fetching, SQLGetData in pieces, diagnostics.
#include "odbc_client.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <dlfcn.h>
#include <cstring>
#include <filesystem>
#include <fstream>

using namespace xlstest;
namespace fs = std::filesystem;

namespace {

SQLCHAR* sql(const std::string& s) { return reinterpret_cast<SQLCHAR*>(const_cast<char*>(s.c_str())); }

struct Connected : ::testing::Test {
  void SetUp() override { ASSERT_TRUE(SQL_SUCCEEDED(c.connect(connect_string("types.xls")))) << describe(c.diag()); }
  Connection c;
};

std::vector<Diag> run_error(const std::string& file, const std::string& statement, const std::string& extra = "") {
  Connection c;
  EXPECT_TRUE(SQL_SUCCEEDED(c.connect(connect_string(file, extra)))) << describe(c.diag());
  Statement st(c);
  EXPECT_EQ(SQLExecDirect(st.h, sql(statement), SQL_NTS), SQL_ERROR);
  return diagnostics(SQL_HANDLE_STMT, st.h);
}

TEST(Connect, ProgramFormWithEmptyDsn) {
  // The program's "ODBC;DRIVER={...};DSN='';DBQ=..." reaches the driver manager without the
  // "ODBC;" prefix (CDatabase strips it, as MFC does: unixODBC refuses it with IM002).
  Connection c;
  std::string cs = "DRIVER=" + driver_path() + ";DSN='';DBQ=" + fixture("types.xls");
  ASSERT_TRUE(SQL_SUCCEEDED(c.connect(cs))) << describe(c.diag());
  Table t;
  ASSERT_TRUE(c.query("select * from [sheet1$];", t));
  EXPECT_EQ(t.names.size(), 6u);
}

TEST(Connect, RegisteredNamesChooseTheCharset) {
  // ODBCSYSINI (set by the test runner) points at an odbcinst.ini with both entries.
  Connection gbk, utf8;
  ASSERT_TRUE(SQL_SUCCEEDED(gbk.connect("DRIVER={SheetMover Excel Driver (*.xls)};DSN='';DBQ=" + fixture("headers.xls"))))
      << describe(gbk.diag());
  ASSERT_TRUE(SQL_SUCCEEDED(utf8.connect("DRIVER={SheetMover Excel Driver UTF-8};DBQ=" + fixture("headers.xls"))))
      << describe(utf8.diag());
  Table a, b;
  ASSERT_TRUE(gbk.query("select * from [Sheet1$]", a));
  ASSERT_TRUE(utf8.query("select * from [Sheet1$]", b));
  EXPECT_EQ(b.names[7], "名字");
  EXPECT_EQ(a.names[7], to_charset("名字", "CP936"));
  // Charset= in the connect string wins over the entry.
  Connection over;
  ASSERT_TRUE(SQL_SUCCEEDED(over.connect("DRIVER={SheetMover Excel Driver (*.xls)};DBQ=" + fixture("headers.xls") + ";Charset=UTF-8")));
  ASSERT_TRUE(over.query("select * from [Sheet1$]", a));
  EXPECT_EQ(a.names[7], "名字");
}

TEST(Connect, GbkPathAndStatementWithTrailBytes5C5D) {
  // 乗 is 81 5C and 乚 is 81 5D in GBK: the bytes of '\' and ']'.
  fs::path dir = fs::path(fixture("")) / "数据乗乚";
  fs::create_directories(dir);
  fs::copy_file(fixture("headers.xls"), dir / "表乗.xls", fs::copy_options::overwrite_existing);
  Connection c;
  std::string cs = to_charset("DRIVER=" + driver_path() + ";DBQ=" + (dir / "表乗.xls").string() + ";Charset=GBK", "CP936");
  ASSERT_TRUE(SQL_SUCCEEDED(c.connect(cs))) << describe(c.diag());
  Table t;
  std::vector<Diag> err;
  ASSERT_TRUE(c.query(to_charset("select [名字], [First Name] from [Sheet1$]", "CP936"), t, &err)) << describe(err);
  EXPECT_EQ(t.names[0], to_charset("名字", "CP936"));
  // A missing file under such a folder is named in GBK in the message.
  Connection m;
  EXPECT_EQ(m.connect(to_charset("DRIVER=" + driver_path() + ";DBQ=" + (dir / "无乚.xls").string() + ";Charset=GBK", "CP936")),
            SQL_ERROR);
  auto d = m.diag();
  ASSERT_FALSE(d.empty());
  EXPECT_NE(d[0].message.find(to_charset("数据乗乚/无乚.xls", "CP936")), std::string::npos) << d[0].message;
}

TEST(Connect, WindowsPathsThroughDosdevices) {
  fs::path prefix = fs::path(fixture("")) / "wineprefix";
  fs::create_directories(prefix / "dosdevices");
  fs::remove(prefix / "dosdevices" / "z:");
  fs::remove(prefix / "dosdevices" / "d:");
  fs::create_directory_symlink("/", prefix / "dosdevices" / "z:");
  fs::create_directory_symlink(fs::path(fixture("")), prefix / "dosdevices" / "d:");
  setenv("WINEPREFIX", prefix.c_str(), 1);
  std::string linux_path = fs::absolute(fixture("types.xls")).string();
  std::string z = "Z:" + linux_path;
  for (char& ch : z)
    if (ch == '/') ch = '\\';
  for (const std::string& dbq : {z, std::string("d:\\types.xls"), std::string("D:\\TYPES.XLS"), std::string("D:/types.xls")}) {
    Connection c;
    ASSERT_TRUE(SQL_SUCCEEDED(c.connect("DRIVER=" + driver_path() + ";DBQ=" + dbq))) << dbq << describe(c.diag());
  }
  Connection bad;
  EXPECT_EQ(bad.connect("DRIVER=" + driver_path() + ";DBQ=Q:\\a.xls"), SQL_ERROR);
  auto d = bad.diag();
  ASSERT_FALSE(d.empty());
  EXPECT_EQ(d[0].state, "08001");
  EXPECT_NE(d[0].message.find("Q:"), std::string::npos) << d[0].message;
  Connection missing;
  EXPECT_EQ(missing.connect("DRIVER=" + driver_path() + ";DBQ=Z:\\no\\such.xls"), SQL_ERROR);
  d = missing.diag();
  ASSERT_FALSE(d.empty());
  EXPECT_NE(d[0].message.find("'Z:\\no\\such.xls' (/no/such.xls)"), std::string::npos) << d[0].message;
  unsetenv("WINEPREFIX");
}

TEST(Connect, SqlConnectWithDsn) {
  Connection ok;
  ASSERT_TRUE(SQL_SUCCEEDED(SQLConnect(ok.dbc, sql("XlsTypes"), SQL_NTS, nullptr, 0, nullptr, 0))) << describe(ok.diag());
  ok.connected = true;
  Connection bad;
  EXPECT_EQ(SQLConnect(bad.dbc, sql("XlsNoPath"), SQL_NTS, nullptr, 0, nullptr, 0), SQL_ERROR);
  auto d = bad.diag();
  ASSERT_FALSE(d.empty());
  EXPECT_EQ(d[0].state, "08001");
  EXPECT_NE(d[0].message.find("DBQ"), std::string::npos);
}

TEST(Connect, NoDbq) {
  Connection c;
  EXPECT_EQ(c.connect("DRIVER=" + driver_path()), SQL_ERROR);
  auto d = c.diag();
  ASSERT_FALSE(d.empty());
  EXPECT_EQ(d[0].state, "08001");
  EXPECT_NE(d[0].message.find("DBQ"), std::string::npos);
}

TEST(Statements, SyntaxErrors) {
  for (const char* s : {"update [Sheet1$] set a=1", "select from [Sheet1$]", "select * [Sheet1$]", "select * from",
                        "select * from [Sheet1$] where Int = 1", "select a,, b from [Sheet1$]", "select [a from [Sheet1$]",
                        "select * from [Sheet1$]; select 1", ""}) {
    auto d = run_error("types.xls", s);
    ASSERT_FALSE(d.empty()) << s;
    EXPECT_EQ(d[0].state, "42000") << s;
    EXPECT_NE(d[0].message.find("syntax error"), std::string::npos) << d[0].message;
  }
}

TEST(Statements, UnknownWorksheetAndColumn) {
  auto d = run_error("types.xls", "select * from [Sheet9$]");
  ASSERT_FALSE(d.empty());
  EXPECT_EQ(d[0].state, "42S02");
  EXPECT_NE(d[0].message.find("'Sheet9'"), std::string::npos) << d[0].message;
  EXPECT_NE(d[0].message.find("Sheet1, Other"), std::string::npos) << d[0].message;
  d = run_error("types.xls", "select Int, Nope from [Sheet1$]");
  ASSERT_FALSE(d.empty());
  EXPECT_EQ(d[0].state, "42S22");
  EXPECT_NE(d[0].message.find("'Nope'"), std::string::npos) << d[0].message;
  EXPECT_NE(d[0].message.find("'Sheet1'"), std::string::npos) << d[0].message;
}

TEST(Statements, NamesAreCaseInsensitiveAndBracketed) {
  Connection c;
  ASSERT_TRUE(SQL_SUCCEEDED(c.connect(connect_string("headers.xls"))));
  Table t;
  std::vector<Diag> err;
  ASSERT_TRUE(c.query("SeLeCt [FIRST NAME], first name , f2,A2,[a1] FROM [SHEET1$] ;", t, &err)) << describe(err);
  EXPECT_EQ(t.names, (std::vector<std::string>{"First Name", "First Name", "F2", "A2", "a1"}));
  EXPECT_EQ(t.rows[0][0], Value("16"));
}

TEST(Statements, HeaderNames) {
  Connection c;
  ASSERT_TRUE(SQL_SUCCEEDED(c.connect(connect_string("headers.xls"))));
  Table t;
  ASSERT_TRUE(c.query("select * from [Sheet1$]", t));
  EXPECT_EQ(t.names, (std::vector<std::string>{"a", "F2", "A2", "a1", "F5", "2004", "First Name", "名字", "a3"}));
}

TEST(Statements, BracketWithDoubledCloser) {
  auto d = run_error("headers.xls", "select [odd]]name] from [Sheet1$]");
  ASSERT_FALSE(d.empty());
  EXPECT_EQ(d[0].state, "42S22");
  EXPECT_NE(d[0].message.find("'odd]name'"), std::string::npos) << d[0].message;
}

TEST(Describe, ColumnSizeIsTheLengthOfTheLongestValueText) {
  // Integers (100 gives 3, -1000 gives 5), dates, date-times, times and booleans, each
  // column's size the length of its longest value as the driver writes it.
  Connection c;
  ASSERT_TRUE(SQL_SUCCEEDED(c.connect(connect_string("sizes.xls")))) << describe(c.diag());
  Table t;
  ASSERT_TRUE(c.query("select * from [Sheet1$]", t));
  ASSERT_EQ(t.names.size(), 6u);
  ASSERT_EQ(t.rows[1][0], Value("100"));
  ASSERT_EQ(t.rows[1][1], Value("-1000"));
  Statement st(c);
  ASSERT_EQ(SQLExecDirect(st.h, sql("select * from [Sheet1$]"), SQL_NTS), SQL_SUCCESS);
  const SQLULEN expected[] = {3, 5, 10, 19, 8, 1};
  for (SQLUSMALLINT col = 1; col <= 6; ++col) {
    SQLCHAR name[32];
    SQLSMALLINT len, type, digits, nullable;
    SQLULEN size = 0;
    ASSERT_EQ(SQLDescribeCol(st.h, col, name, sizeof name, &len, &type, &size, &digits, &nullable), SQL_SUCCESS);
    EXPECT_EQ(size, expected[col - 1]) << name;
    size_t longest = 0;
    for (const Row& row : t.rows)
      if (row[col - 1]) longest = std::max(longest, row[col - 1]->size());
    EXPECT_EQ(size, longest) << name;
  }
}

TEST(Describe, ColumnSizesOfPickedColumnsAskedForAfterTheRowsWereRead) {
  // Sizes are worked out when first asked for: after every row was read, and for the picked
  // columns only, in the order the select names them.
  Connection c;
  ASSERT_TRUE(SQL_SUCCEEDED(c.connect(connect_string("sizes.xls")))) << describe(c.diag());
  Table t;
  ASSERT_TRUE(c.query("select * from [Sheet1$]", t));
  ASSERT_EQ(t.names.size(), 6u);
  Statement st(c);
  std::string select = "select [" + t.names[3] + "], [" + t.names[1] + "] from [Sheet1$]";
  ASSERT_EQ(SQLExecDirect(st.h, sql(select), SQL_NTS), SQL_SUCCESS);
  while (SQL_SUCCEEDED(SQLFetch(st.h))) {
  }
  const SQLUSMALLINT sheet_cols[] = {4, 2};
  for (SQLUSMALLINT col = 1; col <= 2; ++col) {
    SQLCHAR name[32];
    SQLSMALLINT len, type, digits, nullable;
    SQLULEN size = 0;
    ASSERT_EQ(SQLDescribeCol(st.h, col, name, sizeof name, &len, &type, &size, &digits, &nullable), SQL_SUCCESS);
    size_t longest = 0;
    for (const Row& row : t.rows)
      if (row[sheet_cols[col - 1] - 1]) longest = std::max(longest, row[sheet_cols[col - 1] - 1]->size());
    EXPECT_EQ(size, longest) << name;
  }
}

TEST_F(Connected, PrepareExecuteDescribe) {
  Statement st(c);
  ASSERT_EQ(SQLPrepare(st.h, sql("select Text, Int from [Sheet1$]"), SQL_NTS), SQL_SUCCESS);
  SQLSMALLINT n = 0;
  ASSERT_EQ(SQLNumResultCols(st.h, &n), SQL_SUCCESS);
  EXPECT_EQ(n, 2);
  SQLCHAR name[64];
  SQLSMALLINT len, type, digits, nullable;
  SQLULEN size;
  ASSERT_EQ(SQLDescribeCol(st.h, 1, name, sizeof name, &len, &type, &size, &digits, &nullable), SQL_SUCCESS);
  EXPECT_STREQ(reinterpret_cast<char*>(name), "Text");
  EXPECT_EQ(type, SQL_VARCHAR);
  EXPECT_EQ(size, 300u);  // the longest text of the column
  EXPECT_EQ(nullable, SQL_NULLABLE);
  // A short name buffer: cut, 01004, full length reported.
  SQLCHAR small[3];
  EXPECT_EQ(SQLDescribeCol(st.h, 1, small, sizeof small, &len, &type, &size, &digits, &nullable), SQL_SUCCESS_WITH_INFO);
  EXPECT_STREQ(reinterpret_cast<char*>(small), "Te");
  EXPECT_EQ(len, 4);
  EXPECT_EQ(diagnostics(SQL_HANDLE_STMT, st.h)[0].state, "01004");
  SQLLEN num = 0;
  SQLCHAR text[64];
  SQLSMALLINT tlen;
  ASSERT_EQ(SQLColAttribute(st.h, 2, SQL_DESC_NAME, text, sizeof text, &tlen, nullptr), SQL_SUCCESS);
  EXPECT_STREQ(reinterpret_cast<char*>(text), "Int");
  ASSERT_EQ(SQLColAttribute(st.h, 2, SQL_DESC_TYPE, nullptr, 0, nullptr, &num), SQL_SUCCESS);
  EXPECT_EQ(num, SQL_VARCHAR);
  ASSERT_EQ(SQLColAttribute(st.h, 2, SQL_DESC_LENGTH, nullptr, 0, nullptr, &num), SQL_SUCCESS);
  EXPECT_EQ(num, 16);  // 9007199254740992
  ASSERT_EQ(SQLColAttribute(st.h, 1, SQL_DESC_DISPLAY_SIZE, nullptr, 0, nullptr, &num), SQL_SUCCESS);
  EXPECT_EQ(num, 300);
  ASSERT_EQ(SQLColAttribute(st.h, 0, SQL_DESC_COUNT, nullptr, 0, nullptr, &num), SQL_SUCCESS);
  EXPECT_EQ(num, 2);
  ASSERT_EQ(SQLColAttribute(st.h, 1, SQL_DESC_TABLE_NAME, text, sizeof text, &tlen, nullptr), SQL_SUCCESS);
  EXPECT_STREQ(reinterpret_cast<char*>(text), "Sheet1$");
  EXPECT_EQ(SQLColAttribute(st.h, 3, SQL_DESC_NAME, text, sizeof text, &tlen, nullptr), SQL_ERROR);
  EXPECT_EQ(diagnostics(SQL_HANDLE_STMT, st.h)[0].state, "07009");
  // Execute twice over the same prepared statement.
  for (int round = 0; round < 2; ++round) {
    ASSERT_EQ(SQLExecute(st.h), SQL_SUCCESS);
    SQLLEN rows = 0;
    ASSERT_EQ(SQLRowCount(st.h, &rows), SQL_SUCCESS);
    EXPECT_EQ(rows, 16);
    int fetched = 0;
    while (SQLFetchScroll(st.h, SQL_FETCH_NEXT, 0) == SQL_SUCCESS) ++fetched;
    EXPECT_EQ(fetched, 16);
    EXPECT_EQ(SQLMoreResults(st.h), SQL_NO_DATA);
    EXPECT_EQ(SQLCloseCursor(st.h), SQL_ERROR);  // SQLMoreResults closed it
    EXPECT_EQ(diagnostics(SQL_HANDLE_STMT, st.h)[0].state, "24000");
  }
  ASSERT_EQ(SQLExecute(st.h), SQL_SUCCESS);
  ASSERT_EQ(SQLFetch(st.h), SQL_SUCCESS);
  EXPECT_EQ(SQLFetchScroll(st.h, SQL_FETCH_PRIOR, 0), SQL_ERROR);
  EXPECT_EQ(diagnostics(SQL_HANDLE_STMT, st.h)[0].state, "HY106");
  EXPECT_EQ(SQLExecute(st.h), SQL_ERROR);  // cursor still open
  EXPECT_EQ(SQLFreeStmt(st.h, SQL_CLOSE), SQL_SUCCESS);
  EXPECT_EQ(SQLExecute(st.h), SQL_SUCCESS);
}

TEST_F(Connected, GetDataInPieces) {
  Statement st(c);
  ASSERT_EQ(SQLExecDirect(st.h, sql("select Text from [Sheet1$]"), SQL_NTS), SQL_SUCCESS);
  // Data row 6 has the 300-character text.
  for (int i = 0; i < 6; ++i) ASSERT_EQ(SQLFetch(st.h), SQL_SUCCESS);
  char buf[101];
  SQLLEN ind = 0;
  std::string all;
  ASSERT_EQ(SQLGetData(st.h, 1, SQL_C_CHAR, buf, sizeof buf, &ind), SQL_SUCCESS_WITH_INFO);
  EXPECT_EQ(ind, 300);
  EXPECT_EQ(diagnostics(SQL_HANDLE_STMT, st.h)[0].state, "01004");
  all += buf;
  ASSERT_EQ(SQLGetData(st.h, 1, SQL_C_CHAR, buf, sizeof buf, &ind), SQL_SUCCESS_WITH_INFO);
  EXPECT_EQ(ind, 200);
  all += buf;
  ASSERT_EQ(SQLGetData(st.h, 1, SQL_C_CHAR, buf, sizeof buf, &ind), SQL_SUCCESS);
  EXPECT_EQ(ind, 100);
  all += buf;
  EXPECT_EQ(SQLGetData(st.h, 1, SQL_C_CHAR, buf, sizeof buf, &ind), SQL_NO_DATA);
  EXPECT_EQ(all, std::string(300, 'x'));
  // The next row: UTF-8 text in pieces that fill the buffer, as ODBC defines truncation
  // (clients such as pyodbc count a cut piece as BufferLength less the NUL): a character may
  // be split between two pieces, the pieces joined are the text.
  ASSERT_EQ(SQLFetch(st.h), SQL_SUCCESS);
  char b6[6];
  std::string joined;
  SQLRETURN piece;
  std::vector<SQLLEN> lengths;
  while ((piece = SQLGetData(st.h, 1, SQL_C_CHAR, b6, sizeof b6, &ind)) == SQL_SUCCESS_WITH_INFO) {
    lengths.push_back(ind);
    joined.append(b6, sizeof b6 - 1);  // counted, not measured
  }
  ASSERT_EQ(piece, SQL_SUCCESS);
  joined.append(b6, static_cast<size_t>(ind));
  EXPECT_EQ(lengths, (std::vector<SQLLEN>{13, 8}));
  EXPECT_EQ(joined, "引号\"quote\"");
  // The same value as UTF-16 in pieces.
  Statement again(c);
  ASSERT_EQ(SQLExecDirect(again.h, sql("select Text from [Sheet1$]"), SQL_NTS), SQL_SUCCESS);
  for (int i = 0; i < 7; ++i) ASSERT_EQ(SQLFetch(again.h), SQL_SUCCESS);
  char b4[5];
  ASSERT_EQ(SQLGetData(again.h, 1, SQL_C_CHAR, b4, sizeof b4, &ind), SQL_SUCCESS_WITH_INFO);
  EXPECT_STREQ(b4, "引\xE5");
  EXPECT_EQ(ind, 13);
  SQLWCHAR w[3];
  std::u16string wide;
  SQLRETURN rc;
  while ((rc = SQLGetData(again.h, 1, SQL_C_WCHAR, w, sizeof w, &ind)) != SQL_NO_DATA) {
    ASSERT_TRUE(SQL_SUCCEEDED(rc));
    for (SQLWCHAR* p = w; *p; ++p) wide.push_back(static_cast<char16_t>(*p));
    if (rc == SQL_SUCCESS) break;
  }
  EXPECT_EQ(wide, u"引号\"quote\"");
}

TEST_F(Connected, NullsAndIndicators) {
  Statement st(c);
  ASSERT_EQ(SQLExecDirect(st.h, sql("select Err from [Sheet1$]"), SQL_NTS), SQL_SUCCESS);
  ASSERT_EQ(SQLFetch(st.h), SQL_SUCCESS);
  char buf[16];
  SQLLEN ind = 0;
  ASSERT_EQ(SQLGetData(st.h, 1, SQL_C_CHAR, buf, sizeof buf, &ind), SQL_SUCCESS);
  EXPECT_EQ(ind, SQL_NULL_DATA);
  EXPECT_EQ(SQLGetData(st.h, 1, SQL_C_CHAR, buf, sizeof buf, &ind), SQL_NO_DATA);
  ASSERT_EQ(SQLFetch(st.h), SQL_SUCCESS);
  EXPECT_EQ(SQLGetData(st.h, 1, SQL_C_CHAR, buf, sizeof buf, nullptr), SQL_ERROR);
  EXPECT_EQ(diagnostics(SQL_HANDLE_STMT, st.h)[0].state, "22002");
}

TEST_F(Connected, BoundColumnsAndSeveralDiagnosticRecords) {
  Statement st(c);
  ASSERT_EQ(SQLExecDirect(st.h, sql("select Text, Text, Int from [Sheet1$]"), SQL_NTS), SQL_SUCCESS);
  char a[3], b[3];
  SQLINTEGER n = 0;
  SQLLEN ia, ib, in;
  ASSERT_EQ(SQLBindCol(st.h, 1, SQL_C_CHAR, a, sizeof a, &ia), SQL_SUCCESS);
  ASSERT_EQ(SQLBindCol(st.h, 2, SQL_C_CHAR, b, sizeof b, &ib), SQL_SUCCESS);
  ASSERT_EQ(SQLBindCol(st.h, 3, SQL_C_SLONG, &n, 0, &in), SQL_SUCCESS);
  ASSERT_EQ(SQLFetch(st.h), SQL_SUCCESS_WITH_INFO);  // "a, b" twice cut
  auto d = diagnostics(SQL_HANDLE_STMT, st.h);
  ASSERT_EQ(d.size(), 2u);
  EXPECT_EQ(d[0].state, "01004");
  EXPECT_EQ(d[1].state, "01004");
  SQLINTEGER count = 0;
  ASSERT_EQ(SQLGetDiagField(SQL_HANDLE_STMT, st.h, 0, SQL_DIAG_NUMBER, &count, 0, nullptr), SQL_SUCCESS);
  EXPECT_EQ(count, 2);
  SQLCHAR state[6];
  SQLSMALLINT len;
  ASSERT_EQ(SQLGetDiagField(SQL_HANDLE_STMT, st.h, 2, SQL_DIAG_SQLSTATE, state, sizeof state, &len), SQL_SUCCESS);
  EXPECT_STREQ(reinterpret_cast<char*>(state), "01004");
  EXPECT_STREQ(a, "a,");
  EXPECT_EQ(ia, 4);
  EXPECT_EQ(n, -7);
}

TEST(Charset, UnrepresentableCharacterFailsTheRead) {
  Connection c;
  ASSERT_TRUE(SQL_SUCCEEDED(c.connect(connect_string("unicode.xls", "Charset=GBK"))));
  Statement st(c);
  ASSERT_EQ(SQLExecDirect(st.h, sql("select * from [Sheet1$]"), SQL_NTS), SQL_SUCCESS);
  ASSERT_EQ(SQLFetch(st.h), SQL_SUCCESS);
  Value v;
  ASSERT_EQ(read_value(st.h, 1, v, 64), SQL_SUCCESS);
  EXPECT_EQ(v, Value(to_charset("ok 中文", "CP936")));
  ASSERT_EQ(read_value(st.h, 2, v, 64), SQL_SUCCESS);
  EXPECT_EQ(v, Value(to_charset("€ sign", "CP936")));
  ASSERT_EQ(SQLFetch(st.h), SQL_SUCCESS);
  std::vector<Diag> err;
  ASSERT_EQ(read_value(st.h, 1, v, 64, &err), SQL_ERROR);
  ASSERT_FALSE(err.empty());
  EXPECT_EQ(err[0].state, "22018");
  EXPECT_NE(err[0].message.find("row 2, column 'Name' (cell A3 of worksheet 'Sheet1')"), std::string::npos) << err[0].message;
  EXPECT_NE(err[0].message.find("U+1F600"), std::string::npos) << err[0].message;
  // As UTF-16 the same value reads fine; UTF-8 clients get it too.
  SQLWCHAR w[64];
  SQLLEN ind;
  ASSERT_EQ(SQLGetData(st.h, 1, SQL_C_WCHAR, w, sizeof w, &ind), SQL_SUCCESS);
  EXPECT_EQ(ind, 13 * 2);
  ASSERT_EQ(SQLFetch(st.h), SQL_SUCCESS);
  ASSERT_EQ(read_value(st.h, 1, v, 64), SQL_SUCCESS);
  EXPECT_EQ(v, Value("plain"));
}

TEST_F(Connected, InfoFunctionsAndTypeInfo) {
  SQLCHAR text[64];
  SQLSMALLINT len;
  ASSERT_EQ(SQLGetInfo(c.dbc, SQL_DBMS_NAME, text, sizeof text, &len), SQL_SUCCESS);
  EXPECT_STREQ(reinterpret_cast<char*>(text), "EXCEL");
  SQLUSMALLINT u16 = 99;
  ASSERT_EQ(SQLGetInfo(c.dbc, SQL_TXN_CAPABLE, &u16, sizeof u16, &len), SQL_SUCCESS);
  EXPECT_EQ(u16, SQL_TC_NONE);
  SQLUINTEGER u32 = 0;
  ASSERT_EQ(SQLGetInfo(c.dbc, SQL_GETDATA_EXTENSIONS, &u32, sizeof u32, &len), SQL_SUCCESS);
  EXPECT_TRUE(u32 & SQL_GD_ANY_ORDER);
  SQLUSMALLINT exists = 0;
  ASSERT_EQ(SQLGetFunctions(c.dbc, SQL_API_SQLGETDATA, &exists), SQL_SUCCESS);
  EXPECT_EQ(exists, SQL_TRUE);
  Statement st(c);
  ASSERT_EQ(SQLGetTypeInfo(st.h, SQL_ALL_TYPES), SQL_SUCCESS);
  ASSERT_EQ(SQLFetch(st.h), SQL_SUCCESS);
  SQLSMALLINT type = 0;
  SQLLEN ind;
  ASSERT_EQ(SQLGetData(st.h, 2, SQL_C_SSHORT, &type, 0, &ind), SQL_SUCCESS);
  EXPECT_EQ(type, SQL_VARCHAR);
  EXPECT_EQ(SQLFetch(st.h), SQL_NO_DATA);
  Statement tables(c);
  ASSERT_EQ(SQLTables(tables.h, nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0), SQL_SUCCESS);
  Value v;
  ASSERT_EQ(SQLFetch(tables.h), SQL_SUCCESS);
  read_value(tables.h, 3, v, 64);
  EXPECT_EQ(v, Value("Sheet1$"));
  ASSERT_EQ(SQLFetch(tables.h), SQL_SUCCESS);
  read_value(tables.h, 3, v, 64);
  EXPECT_EQ(v, Value("Other$"));
}

TEST_F(Connected, AttributesAndHandles) {
  EXPECT_EQ(SQLSetConnectAttr(c.dbc, SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(5), 0), SQL_SUCCESS);
  EXPECT_EQ(SQLSetConnectAttr(c.dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0), SQL_SUCCESS);
  SQLUINTEGER mode = 0;
  EXPECT_EQ(SQLGetConnectAttr(c.dbc, SQL_ATTR_ACCESS_MODE, &mode, 0, nullptr), SQL_SUCCESS);
  Statement st(c);
  EXPECT_EQ(SQLSetStmtAttr(st.h, SQL_ATTR_CURSOR_TYPE, reinterpret_cast<SQLPOINTER>(SQL_CURSOR_DYNAMIC), 0), SQL_SUCCESS_WITH_INFO);
  EXPECT_EQ(diagnostics(SQL_HANDLE_STMT, st.h)[0].state, "01S02");
  SQLULEN type = 99;
  EXPECT_EQ(SQLGetStmtAttr(st.h, SQL_ATTR_CURSOR_TYPE, &type, 0, nullptr), SQL_SUCCESS);
  EXPECT_EQ(type, static_cast<SQLULEN>(SQL_CURSOR_STATIC));
  EXPECT_EQ(SQLSetStmtAttr(st.h, SQL_ATTR_CURSOR_TYPE, reinterpret_cast<SQLPOINTER>(SQL_CURSOR_FORWARD_ONLY), 0), SQL_SUCCESS);
  EXPECT_EQ(SQLFetch(st.h), SQL_ERROR);  // nothing executed
  SQLULEN max_rows = 3;
  EXPECT_EQ(SQLSetStmtAttr(st.h, SQL_ATTR_MAX_ROWS, reinterpret_cast<SQLPOINTER>(max_rows), 0), SQL_SUCCESS);
  ASSERT_EQ(SQLExecDirect(st.h, sql("select * from [Sheet1$]"), SQL_NTS), SQL_SUCCESS);
  int n = 0;
  while (SQL_SUCCEEDED(SQLFetch(st.h))) ++n;
  EXPECT_EQ(n, 3);
  EXPECT_EQ(SQLGetData(st.h, 1, SQL_C_CHAR, nullptr, 0, nullptr), SQL_ERROR);
  // ODBC 2 style error retrieval.
  SQLCHAR state[6], msg[256];
  SQLINTEGER native;
  SQLSMALLINT len;
  EXPECT_EQ(SQLError(c.env, c.dbc, st.h, state, &native, msg, sizeof msg, &len), SQL_SUCCESS);
  EXPECT_STREQ(reinterpret_cast<char*>(state), "24000");
  EXPECT_EQ(SQLError(c.env, c.dbc, st.h, state, &native, msg, sizeof msg, &len), SQL_NO_DATA);
}

// The driver's own checks, called without the driver manager (which validates its handles
// itself before they reach the driver).
TEST(Handles, DriverEntryPointsDirectly) {
  void* lib = dlopen(driver_path().c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(lib, nullptr) << dlerror();
  auto fn = [&](const char* name) { return dlsym(lib, name); };
  auto alloc = reinterpret_cast<SQLRETURN (*)(SQLSMALLINT, SQLHANDLE, SQLHANDLE*)>(fn("SQLAllocHandle"));
  auto free_handle = reinterpret_cast<SQLRETURN (*)(SQLSMALLINT, SQLHANDLE)>(fn("SQLFreeHandle"));
  auto fetch = reinterpret_cast<SQLRETURN (*)(SQLHSTMT)>(fn("SQLFetch"));
  auto exec = reinterpret_cast<SQLRETURN (*)(SQLHSTMT, SQLCHAR*, SQLINTEGER)>(fn("SQLExecDirect"));
  auto connect = reinterpret_cast<SQLRETURN (*)(SQLHDBC, SQLHWND, SQLCHAR*, SQLSMALLINT, SQLCHAR*, SQLSMALLINT,
                                                SQLSMALLINT*, SQLUSMALLINT)>(fn("SQLDriverConnect"));
  auto disconnect = reinterpret_cast<SQLRETURN (*)(SQLHDBC)>(fn("SQLDisconnect"));
  ASSERT_TRUE(alloc && free_handle && fetch && exec && connect && disconnect);
  // Only the ODBC entry points are exported.
  EXPECT_EQ(fn("_ZN7xlsodbc13format_numberEd"), nullptr);

  int local = 0;
  EXPECT_EQ(fetch(&local), SQL_INVALID_HANDLE);
  EXPECT_EQ(fetch(nullptr), SQL_INVALID_HANDLE);
  EXPECT_EQ(exec(nullptr, sql("select * from [Sheet1$]"), SQL_NTS), SQL_INVALID_HANDLE);
  SQLHANDLE env = nullptr, dbc = nullptr, stmt = nullptr;
  ASSERT_EQ(alloc(SQL_HANDLE_ENV, nullptr, &env), SQL_SUCCESS);
  ASSERT_EQ(alloc(SQL_HANDLE_DBC, env, &dbc), SQL_SUCCESS);
  EXPECT_EQ(fetch(dbc), SQL_INVALID_HANDLE);  // a connection is not a statement
  EXPECT_EQ(alloc(SQL_HANDLE_STMT, dbc, &stmt), SQL_ERROR);  // not connected
  // The program's connect string as it is written, with the "ODBC;" prefix and DSN=''.
  std::string cs = "ODBC;DRIVER={SheetMover Excel Driver UTF-8};DSN='';DBQ=" + fixture("types.xls");
  ASSERT_EQ(connect(dbc, nullptr, sql(cs), SQL_NTS, nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT), SQL_SUCCESS);
  ASSERT_EQ(alloc(SQL_HANDLE_STMT, dbc, &stmt), SQL_SUCCESS);
  EXPECT_EQ(exec(stmt, sql("select * from [sheet1$];"), SQL_NTS), SQL_SUCCESS);
  EXPECT_EQ(fetch(stmt), SQL_SUCCESS);
  EXPECT_EQ(free_handle(SQL_HANDLE_ENV, env), SQL_ERROR);  // connections remain
  EXPECT_EQ(disconnect(dbc), SQL_SUCCESS);                 // frees the statement too
  EXPECT_EQ(fetch(stmt), SQL_INVALID_HANDLE);
  EXPECT_EQ(free_handle(SQL_HANDLE_DBC, dbc), SQL_SUCCESS);
  EXPECT_EQ(free_handle(SQL_HANDLE_ENV, env), SQL_SUCCESS);
  dlclose(lib);
}

}  // namespace

namespace {

TEST(Cursors, CursorLibraryIfNeededLeavesGetDataWorking) {
  // CDatabase asks for SQL_CUR_USE_IF_NEEDED; unixODBC then loads its cursor library unless
  // the driver's static cursors fetch absolute rows. The cursor library refuses SQLFetch
  // without bound columns, so reading with SQLGetData depends on the driver scrolling.
  Connection c;
  ASSERT_EQ(SQLSetConnectAttr(c.dbc, SQL_ATTR_ODBC_CURSORS, reinterpret_cast<SQLPOINTER>(SQL_CUR_USE_IF_NEEDED), 0),
            SQL_SUCCESS);
  ASSERT_TRUE(SQL_SUCCEEDED(c.connect(connect_string("strings.xls")))) << describe(c.diag());
  Table t;
  std::vector<Diag> err;
  ASSERT_TRUE(c.query("select * from [Sheet1$]", t, &err, 100)) << describe(err);
  EXPECT_EQ(t.rows.size(), 402u);
  EXPECT_EQ(t.rows[399][1]->size(), 32767u);
}

TEST_F(Connected, StaticCursorScrolls) {
  Statement st(c);
  ASSERT_EQ(SQLSetStmtAttr(st.h, SQL_ATTR_CURSOR_TYPE, reinterpret_cast<SQLPOINTER>(SQL_CURSOR_STATIC), 0), SQL_SUCCESS);
  ASSERT_EQ(SQLExecDirect(st.h, sql("select Int from [Sheet1$]"), SQL_NTS), SQL_SUCCESS);
  auto at = [&](SQLSMALLINT how, SQLLEN off) -> Value {
    SQLRETURN rc = SQLFetchScroll(st.h, how, off);
    if (rc == SQL_NO_DATA) return Value("no data");
    EXPECT_EQ(rc, SQL_SUCCESS);
    Value v;
    read_value(st.h, 1, v, 64);
    return v;
  };
  EXPECT_EQ(at(SQL_FETCH_LAST, 0), Value("2147483648"));
  EXPECT_EQ(at(SQL_FETCH_FIRST, 0), Value("-7"));
  EXPECT_EQ(at(SQL_FETCH_NEXT, 0), Value("0"));
  EXPECT_EQ(at(SQL_FETCH_PRIOR, 0), Value("-7"));
  EXPECT_EQ(at(SQL_FETCH_PRIOR, 0), Value("no data"));
  EXPECT_EQ(at(SQL_FETCH_NEXT, 0), Value("-7"));
  EXPECT_EQ(at(SQL_FETCH_ABSOLUTE, 3), Value("1"));
  EXPECT_EQ(at(SQL_FETCH_RELATIVE, 2), Value("-536870912"));
  EXPECT_EQ(at(SQL_FETCH_ABSOLUTE, -1), Value("2147483648"));
  EXPECT_EQ(at(SQL_FETCH_NEXT, 0), Value("no data"));
  EXPECT_EQ(at(SQL_FETCH_ABSOLUTE, 100), Value("no data"));
}

}  // namespace
