// What reading real-world workbooks found: dates and times whose text the cell format cut,
// workbook streams named in capitals, header texts past the column-name limit; and the wide
// (W) entry points that Unicode clients call, through the driver manager and both registered
// driver entries (GBK and UTF-8).
#include "odbc_client.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iconv.h>

using namespace xlstest;

namespace {

const char kGbkEntry[] = "SheetMover Excel Driver (*.xls)";
const char kUtf8Entry[] = "SheetMover Excel Driver UTF-8";

SQLCHAR* sql(const std::string& s) { return reinterpret_cast<SQLCHAR*>(const_cast<char*>(s.c_str())); }

std::string registered(const char* entry, const std::string& fixture_name) {
  return std::string("DRIVER={") + entry + "};DBQ=" + fixture(fixture_name);
}

std::u16string u16(const std::string& utf8) {
  std::string bytes = to_charset(utf8, "UTF-16LE");
  std::u16string out(bytes.size() / 2, u'\0');
  std::memcpy(&out[0], bytes.data(), bytes.size());
  return out;
}

std::string utf8(const SQLWCHAR* units, size_t n) {
  iconv_t cd = iconv_open("UTF-8", "UTF-16LE");
  std::string out(n * 4 + 4, '\0');
  char* src = reinterpret_cast<char*>(const_cast<SQLWCHAR*>(units));
  size_t left = n * 2, room = out.size();
  char* dst = &out[0];
  iconv(cd, &src, &left, &dst, &room);
  iconv_close(cd);
  out.resize(out.size() - room);
  return out;
}

size_t units_of(const SQLWCHAR* s) {
  size_t n = 0;
  while (s[n]) ++n;
  return n;
}

struct WideText {
  explicit WideText(const std::string& utf8_text) : text(u16(utf8_text)) {}
  SQLWCHAR* p() { return reinterpret_cast<SQLWCHAR*>(&text[0]); }
  std::u16string text;
};

// A connection made through SQLDriverConnectW, as a Unicode client makes it.
SQLRETURN connect_wide(Connection& c, const std::string& connect_string) {
  WideText in(connect_string);
  SQLWCHAR out[1024];
  SQLSMALLINT out_len = -1;
  SQLRETURN rc = SQLDriverConnectW(c.dbc, nullptr, in.p(), SQL_NTS, out, 1024, &out_len, SQL_DRIVER_NOPROMPT);
  c.connected = SQL_SUCCEEDED(rc);
  if (c.connected) {
    EXPECT_EQ(utf8(out, units_of(out)), connect_string);
    EXPECT_EQ(static_cast<size_t>(out_len), in.text.size());  // characters, not bytes
  }
  return rc;
}

struct WideDiag {
  std::string state, message;
  SQLSMALLINT length = 0;
};

std::vector<WideDiag> wide_diagnostics(SQLSMALLINT type, SQLHANDLE h) {
  std::vector<WideDiag> out;
  for (SQLSMALLINT i = 1;; ++i) {
    SQLWCHAR state[6] = {0}, msg[2048] = {0};
    SQLINTEGER native = 0;
    WideDiag d;
    if (!SQL_SUCCEEDED(SQLGetDiagRecW(type, h, i, state, &native, msg, 2048, &d.length))) break;
    d.state = utf8(state, 5);
    d.message = utf8(msg, units_of(msg));
    out.push_back(d);
  }
  return out;
}

// Reads a whole value as UTF-16 in pieces of `chunk` characters (NUL included), counting what
// each piece holds as ODBC defines it: a cut piece fills the buffer.
SQLRETURN read_wide(SQLHSTMT st, SQLUSMALLINT col, Value& out, size_t chunk) {
  std::vector<SQLWCHAR> buf(chunk);
  std::u16string all;
  for (;;) {
    SQLLEN ind = 0;
    SQLRETURN rc = SQLGetData(st, col, SQL_C_WCHAR, buf.data(), static_cast<SQLLEN>(buf.size() * sizeof(SQLWCHAR)), &ind);
    if (rc == SQL_NO_DATA) break;
    if (!SQL_SUCCEEDED(rc)) return rc;
    if (ind == SQL_NULL_DATA) {
      out.reset();
      return SQL_SUCCESS;
    }
    size_t got = rc == SQL_SUCCESS ? static_cast<size_t>(ind) / sizeof(SQLWCHAR) : buf.size() - 1;
    all.append(reinterpret_cast<const char16_t*>(buf.data()), got);
    if (rc == SQL_SUCCESS) break;
  }
  // Decoded once, so that a surrogate pair split between two pieces comes out whole.
  out = utf8(reinterpret_cast<const SQLWCHAR*>(all.data()), all.size());
  return SQL_SUCCESS;
}

// ---- The value decides the text of a date (fault 1) -------------------------------------

// (The workbooks of this file, the renamed streams among them, are also compared with xlrd's
// reading in test_values.cpp.)

TEST(DatesByValue, TheFormatSaysDateTheValueSaysWhichForm) {
  // Spelled out, independent of the reference reader.
  Connection c;
  ASSERT_TRUE(SQL_SUCCEEDED(c.connect(connect_string("dates_by_value.xls"))));
  Table t;
  ASSERT_TRUE(c.query("select Iso, DMmm, Builtin14, HMm, AmPm, Both from [Sheet1$]", t));
  ASSERT_EQ(t.rows.size(), 8u);
  for (size_t col = 0; col < 6; ++col) {
    EXPECT_EQ(t.rows[0][col], Value("2010-04-25 17:42:32")) << t.names[col];  // date-only formats keep the time
    EXPECT_EQ(t.rows[1][col], Value("2006-12-15 18:48:00")) << t.names[col];  // time-only formats keep the date
    EXPECT_EQ(t.rows[2][col], Value("2004-02-29")) << t.names[col];
    EXPECT_EQ(t.rows[3][col], Value("09:30:15")) << t.names[col];
    EXPECT_EQ(t.rows[4][col], Value("2000-01-01 00:00:00")) << t.names[col];  // 23:59:59.6 carries
    EXPECT_EQ(t.rows[6][col], Value("12:00:01")) << t.names[col];
  }
  // The column size counts the longest text: a date-only format holding date-times is 19 wide.
  Statement st(c);
  ASSERT_EQ(SQLExecDirect(st.h, sql("select Iso from [Sheet1$]"), SQL_NTS), SQL_SUCCESS);
  SQLCHAR name[16];
  SQLSMALLINT len, type, digits, nullable;
  SQLULEN size = 0;
  ASSERT_EQ(SQLDescribeCol(st.h, 1, name, sizeof name, &len, &type, &size, &digits, &nullable), SQL_SUCCESS);
  EXPECT_EQ(size, 19u);
}

// ---- Long header texts (fault 3) ---------------------------------------------------------

// The names of long_headers.xls's columns, cut to 64 characters and made unique.
std::vector<std::string> long_header_names() {
  std::string title;
  for (int i = 0; i < 32; ++i) title += "标题";
  // Two headers that differ after their 64th character: the second is made unique.
  std::string revenue = "Quarterly revenue by region and product line, audited figures, i";  // 64 characters
  std::string chinese;
  for (int i = 0; i < 4; ++i) chinese += "各地区各产品线季度收入经审计数据";
  return {std::string(64, 'L'), title, revenue, revenue.substr(0, 63) + "1", std::string(63, 'x') + "中", chinese,
          "short"};
}

TEST(LongHeaders, NamesCutToSixtyFourCharactersInBothEntries) {
  const std::vector<std::string> want = long_header_names();
  for (const char* entry : {kUtf8Entry, kGbkEntry}) {
    const bool gbk = entry == std::string(kGbkEntry);
    Connection c;
    ASSERT_TRUE(SQL_SUCCEEDED(c.connect(registered(entry, "long_headers.xls")))) << describe(c.diag());
    Statement st(c);
    ASSERT_EQ(SQLExecDirect(st.h, sql("select * from [Sheet1$]"), SQL_NTS), SQL_SUCCESS);
    SQLSMALLINT n = 0;
    ASSERT_EQ(SQLNumResultCols(st.h, &n), SQL_SUCCESS);
    ASSERT_EQ(n, static_cast<SQLSMALLINT>(want.size()));
    for (SQLSMALLINT col = 1; col <= n; ++col) {
      std::string expected = gbk ? to_charset(want[col - 1], "CP936") : want[col - 1];
      SQLCHAR name[1024];
      SQLSMALLINT len = -1, type, digits, nullable;
      SQLULEN size;
      ASSERT_EQ(SQLDescribeCol(st.h, col, name, sizeof name, &len, &type, &size, &digits, &nullable), SQL_SUCCESS)
          << entry << " column " << col;
      EXPECT_EQ(reinterpret_cast<char*>(name), expected) << entry << " column " << col;
      EXPECT_EQ(len, static_cast<SQLSMALLINT>(expected.size())) << entry << " column " << col;
      // A buffer too small: cut on a character boundary, the whole length reported.
      SQLCHAR small[12];
      len = -1;
      EXPECT_EQ(SQLDescribeCol(st.h, col, small, sizeof small, &len, &type, &size, &digits, &nullable),
                expected.size() < sizeof small ? SQL_SUCCESS : SQL_SUCCESS_WITH_INFO);
      EXPECT_EQ(len, static_cast<SQLSMALLINT>(expected.size()));
      EXPECT_EQ(expected.compare(0, std::strlen(reinterpret_cast<char*>(small)), reinterpret_cast<char*>(small)), 0);
      SQLCHAR text[1024];
      SQLSMALLINT tlen = -1;
      ASSERT_EQ(SQLColAttribute(st.h, col, SQL_DESC_NAME, text, sizeof text, &tlen, nullptr), SQL_SUCCESS);
      EXPECT_EQ(reinterpret_cast<char*>(text), expected);
      EXPECT_EQ(tlen, static_cast<SQLSMALLINT>(expected.size()));
    }
    // The cut name selects its column.
    Table t;
    std::vector<Diag> err;
    std::string select = "select [" + want[0] + "], [" + want[3] + "], [" + want[4] + "] from [Sheet1$]";
    ASSERT_TRUE(c.query(gbk ? to_charset(select, "CP936") : select, t, &err)) << entry << describe(err);
    ASSERT_EQ(t.rows.size(), 3u);
    EXPECT_EQ(t.rows[0], (Row{Value("v1-0"), Value("v1-3"), Value("v1-4")}));
  }
}

TEST(Lengths, AMessageLongerThanItsLengthTypeIsCutNotNegative) {
  // A statement naming a column of 40,000 characters: the message quoting it is longer than
  // an SQLSMALLINT counts; the length reported stays within it and says what can be had.
  Connection c;
  ASSERT_TRUE(SQL_SUCCEEDED(c.connect(connect_string("headers.xls"))));
  Statement st(c);
  ASSERT_EQ(SQLExecDirect(st.h, sql("select [" + std::string(40000, 'q') + "] from [Sheet1$]"), SQL_NTS), SQL_ERROR);
  std::vector<SQLCHAR> msg(70000);
  SQLCHAR state[6];
  SQLINTEGER native;
  SQLSMALLINT len = -1;
  SQLRETURN rc = SQLGetDiagRec(SQL_HANDLE_STMT, st.h, 1, state, &native, msg.data(), 32767, &len);
  ASSERT_TRUE(SQL_SUCCEEDED(rc));
  EXPECT_STREQ(reinterpret_cast<char*>(state), "42S22");
  EXPECT_GT(len, 0);
  EXPECT_LE(std::strlen(reinterpret_cast<char*>(msg.data())), static_cast<size_t>(len));
}

// ---- The wide (W) entry points ---------------------------------------------------------

TEST(Wide, NamesAndValuesExactThroughBothEntries) {
  Table want = read_expected("cjk.expected");
  for (const char* entry : {kUtf8Entry, kGbkEntry}) {
    Connection c;
    ASSERT_TRUE(SQL_SUCCEEDED(connect_wide(c, registered(entry, "cjk.xls")))) << entry << describe(c.diag());
    Statement st(c);
    WideText select("select * from [Sheet1$]");
    ASSERT_EQ(SQLExecDirectW(st.h, select.p(), SQL_NTS), SQL_SUCCESS) << entry;
    SQLSMALLINT n = 0;
    ASSERT_EQ(SQLNumResultCols(st.h, &n), SQL_SUCCESS);
    ASSERT_EQ(static_cast<size_t>(n), want.names.size());
    for (SQLSMALLINT col = 1; col <= n; ++col) {
      SQLWCHAR name[300];
      SQLSMALLINT len = -1, type, digits, nullable;
      SQLULEN size;
      ASSERT_EQ(SQLDescribeColW(st.h, col, name, 300, &len, &type, &size, &digits, &nullable), SQL_SUCCESS);
      EXPECT_EQ(utf8(name, units_of(name)), want.names[col - 1]) << entry;
      EXPECT_EQ(static_cast<size_t>(len), u16(want.names[col - 1]).size()) << entry;  // characters
      SQLWCHAR attr[300];
      SQLSMALLINT bytes = -1;
      ASSERT_EQ(SQLColAttributeW(st.h, col, SQL_DESC_NAME, attr, sizeof attr, &bytes, nullptr), SQL_SUCCESS);
      EXPECT_EQ(utf8(attr, units_of(attr)), want.names[col - 1]) << entry;
      EXPECT_EQ(static_cast<size_t>(bytes), u16(want.names[col - 1]).size() * sizeof(SQLWCHAR)) << entry;  // bytes
    }
    // Values as UTF-16 in small pieces: exact whatever the entry's character set.
    for (size_t r = 0; r < want.rows.size(); ++r) {
      ASSERT_EQ(SQLFetch(st.h), SQL_SUCCESS);
      for (SQLSMALLINT col = 1; col <= n; ++col) {
        Value v;
        ASSERT_EQ(read_wide(st.h, col, v, 7), SQL_SUCCESS) << entry;
        EXPECT_EQ(v, want.rows[r][col - 1]) << entry << " row " << r + 1 << " column " << col;
      }
    }
    EXPECT_EQ(SQLFetch(st.h), SQL_NO_DATA);
  }
}

TEST(Wide, StatementsInUtf16NameAnyColumnThroughTheGbkEntry) {
  // The statement text comes as UTF-16 and is not taken through GBK: Korean names select.
  Connection c;
  ASSERT_TRUE(SQL_SUCCEEDED(connect_wide(c, registered(kGbkEntry, "cjk.xls")))) << describe(c.diag());
  Statement st(c);
  WideText select("select [이름], [名前] from [Sheet1$]");
  ASSERT_EQ(SQLPrepareW(st.h, select.p(), SQL_NTS), SQL_SUCCESS) << describe(diagnostics(SQL_HANDLE_STMT, st.h));
  ASSERT_EQ(SQLExecute(st.h), SQL_SUCCESS);
  ASSERT_EQ(SQLFetch(st.h), SQL_SUCCESS);
  Value v;
  ASSERT_EQ(read_wide(st.h, 1, v, 64), SQL_SUCCESS);
  EXPECT_EQ(v, Value("서울"));
  // As SQL_C_CHAR the GBK entry gives GBK text, and refuses what GBK cannot hold, as before.
  ASSERT_EQ(read_value(st.h, 2, v, 64), SQL_SUCCESS);
  EXPECT_EQ(v, Value(to_charset("张伟", "CP936")));
  char buf[64];
  SQLLEN ind;
  ASSERT_EQ(SQLGetData(st.h, 1, SQL_C_CHAR, buf, sizeof buf, &ind), SQL_ERROR);
  auto d = wide_diagnostics(SQL_HANDLE_STMT, st.h);
  ASSERT_FALSE(d.empty());
  EXPECT_EQ(d[0].state, "22018");
  EXPECT_NE(d[0].message.find("column '이름' (cell C2 of worksheet 'Sheet1')"), std::string::npos) << d[0].message;
  EXPECT_NE(d[0].message.find("U+C11C"), std::string::npos) << d[0].message;
}

TEST(Wide, DiagnosticsNameTheWorkbookInUtf16) {
  for (const char* entry : {kUtf8Entry, kGbkEntry}) {
    Connection c;
    std::string missing = fixture("不存在的工作簿.xls");
    EXPECT_EQ(connect_wide(c, registered(entry, "不存在的工作簿.xls")), SQL_ERROR);
    auto d = wide_diagnostics(SQL_HANDLE_DBC, c.dbc);
    ASSERT_FALSE(d.empty()) << entry;
    EXPECT_EQ(d[0].state, "08001");
    EXPECT_EQ(d[0].message.rfind("[SheetMover][Excel Driver]", 0), 0u) << d[0].message;
    EXPECT_NE(d[0].message.find("'" + missing + "'"), std::string::npos) << d[0].message;
    EXPECT_NE(d[0].message.find("does not exist"), std::string::npos) << d[0].message;
    EXPECT_EQ(static_cast<size_t>(d[0].length), u16(d[0].message).size());  // characters
  }
  // A small buffer: the message cut, its whole length in characters reported.
  Connection c;
  EXPECT_EQ(connect_wide(c, registered(kGbkEntry, "不存在的工作簿.xls")), SQL_ERROR);
  SQLWCHAR state[6], msg[10];
  SQLINTEGER native;
  SQLSMALLINT len = -1;
  std::vector<WideDiag> whole = wide_diagnostics(SQL_HANDLE_DBC, c.dbc);
  ASSERT_FALSE(whole.empty());
  ASSERT_EQ(SQLGetDiagRecW(SQL_HANDLE_DBC, c.dbc, 1, state, &native, msg, 10, &len), SQL_SUCCESS_WITH_INFO);
  EXPECT_EQ(utf8(msg, units_of(msg)), "[SheetMov");
  EXPECT_EQ(len, whole[0].length);
  SQLWCHAR field[512];
  SQLSMALLINT bytes = -1;
  ASSERT_EQ(SQLGetDiagFieldW(SQL_HANDLE_DBC, c.dbc, 1, SQL_DIAG_SQLSTATE, field, sizeof field, &bytes), SQL_SUCCESS);
  EXPECT_EQ(utf8(field, units_of(field)), "08001");
  EXPECT_EQ(bytes, 10);  // bytes
}

TEST(Wide, InfoAttributesAndCatalog) {
  Connection c;
  ASSERT_TRUE(SQL_SUCCEEDED(connect_wide(c, registered(kGbkEntry, "cjk.xls")))) << describe(c.diag());
  SQLWCHAR text[512];
  SQLSMALLINT len = -1;
  ASSERT_EQ(SQLGetInfoW(c.dbc, SQL_DBMS_NAME, text, sizeof text, &len), SQL_SUCCESS);
  EXPECT_EQ(utf8(text, units_of(text)), "EXCEL");
  EXPECT_EQ(len, 10);  // bytes
  SQLINTEGER alen = -1;
  ASSERT_EQ(SQLGetConnectAttrW(c.dbc, SQL_ATTR_CURRENT_CATALOG, text, sizeof text, &alen), SQL_SUCCESS);
  EXPECT_EQ(utf8(text, units_of(text)), fixture("cjk.xls"));
  EXPECT_EQ(static_cast<size_t>(alen), u16(fixture("cjk.xls")).size() * 2);
  ASSERT_EQ(SQLSetConnectAttrW(c.dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0),
            SQL_SUCCESS);

  Statement tables(c);
  WideText table_type("TABLE");
  ASSERT_EQ(SQLTablesW(tables.h, nullptr, 0, nullptr, 0, nullptr, 0, table_type.p(), SQL_NTS), SQL_SUCCESS);
  ASSERT_EQ(SQLFetch(tables.h), SQL_SUCCESS);
  Value v;
  ASSERT_EQ(read_wide(tables.h, 3, v, 64), SQL_SUCCESS);
  EXPECT_EQ(v, Value("Sheet1$"));

  Statement columns(c);
  WideText sheet("Sheet1$"), column("이름");
  ASSERT_EQ(SQLColumnsW(columns.h, nullptr, 0, nullptr, 0, sheet.p(), SQL_NTS, column.p(), SQL_NTS), SQL_SUCCESS);
  ASSERT_EQ(SQLFetch(columns.h), SQL_SUCCESS);
  ASSERT_EQ(read_wide(columns.h, 4, v, 64), SQL_SUCCESS);
  EXPECT_EQ(v, Value("이름"));
  EXPECT_EQ(SQLFetch(columns.h), SQL_NO_DATA);

  Statement cursor(c);
  WideText cursor_name("游标一");
  ASSERT_EQ(SQLSetCursorNameW(cursor.h, cursor_name.p(), SQL_NTS), SQL_SUCCESS);
  ASSERT_EQ(SQLGetCursorNameW(cursor.h, text, 512, &len), SQL_SUCCESS);
  EXPECT_EQ(utf8(text, units_of(text)), "游标一");
  EXPECT_EQ(len, 3);  // characters
}

TEST(Wide, LongHeaderNamesInUtf16) {
  const std::vector<std::string> want = long_header_names();
  Connection c;
  ASSERT_TRUE(SQL_SUCCEEDED(connect_wide(c, registered(kGbkEntry, "long_headers.xls")))) << describe(c.diag());
  Statement st(c);
  WideText select("select * from [Sheet1$]");
  ASSERT_EQ(SQLExecDirectW(st.h, select.p(), SQL_NTS), SQL_SUCCESS);
  for (SQLSMALLINT col = 1; col <= static_cast<SQLSMALLINT>(want.size()); ++col) {
    SQLWCHAR name[300];
    SQLSMALLINT len = -1, type, digits, nullable;
    SQLULEN size;
    ASSERT_EQ(SQLDescribeColW(st.h, col, name, 300, &len, &type, &size, &digits, &nullable), SQL_SUCCESS);
    EXPECT_EQ(utf8(name, units_of(name)), want[col - 1]);
    EXPECT_EQ(static_cast<size_t>(len), u16(want[col - 1]).size());
    SQLWCHAR small[5];
    ASSERT_EQ(SQLDescribeColW(st.h, col, small, 5, &len, &type, &size, &digits, &nullable), SQL_SUCCESS_WITH_INFO);
    EXPECT_EQ(units_of(small), 4u);
    EXPECT_EQ(static_cast<size_t>(len), u16(want[col - 1]).size());
  }
}

}  // namespace
