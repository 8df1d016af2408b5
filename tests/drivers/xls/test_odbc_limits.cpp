// The ODBC surface at its limits, on workbooks written here part by part (package_writer.h):
// numbers handed out as C types (range, fraction, text that is no number, the host's locale),
// string options of ODBC 2 clients, what the driver tells of each workbook format, catalogue
// patterns, and worksheets of many repeated column names.
#include "odbc_client.h"
#include "package_writer.h"

#include <gtest/gtest.h>

#include <charconv>
#include <chrono>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>

using namespace xlstest;
namespace fs = std::filesystem;

namespace {

SQLCHAR* sql(const std::string& s) { return reinterpret_cast<SQLCHAR*>(const_cast<char*>(s.c_str())); }

std::string inline_text(const std::string& ref, const std::string& text) {
  return "<c r=\"" + ref + "\" t=\"inlineStr\"><is><t>" + text + "</t></is></c>";
}

// A package whose worksheet is named `sheet` (Sheet1 by default).
std::vector<PackagePart> named_sheet(std::vector<PackagePart> parts, const std::string& sheet) {
  for (PackagePart& p : parts)
    if (p.name == "xl/workbook.xml") p.data.replace(p.data.find("Sheet1"), 6, sheet);
  return parts;
}

std::string connect_to(const std::string& path, const std::string& extra = "") {
  return "DRIVER=" + driver_path() + ";DBQ=" + path + (extra.empty() ? "" : ";" + extra);
}

double seconds_since(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// ---- Numbers as C types ------------------------------------------------------------------

struct NumberCase {
  const char* text;
  SQLSMALLINT type;
  const char* state;  // "" for success
  const char* value;  // as the C value prints, when one is handed out
};

// A C value of `type` in `buf` as decimal text.
std::string c_value_text(SQLSMALLINT type, const unsigned char* buf) {
  auto get = [&](auto v) {
    std::memcpy(&v, buf, sizeof v);
    return v;
  };
  char out[64];
  auto shortest = [&](auto v) { return std::string(out, std::to_chars(out, out + sizeof out, v).ptr); };
  switch (type) {
    case SQL_C_SBIGINT: return std::to_string(get(SQLBIGINT()));
    case SQL_C_UBIGINT: return std::to_string(get(SQLUBIGINT()));
    case SQL_C_SLONG: return std::to_string(get(SQLINTEGER()));
    case SQL_C_SSHORT: return std::to_string(get(SQLSMALLINT()));
    case SQL_C_BIT: return std::to_string(get(SQLCHAR()));
    case SQL_C_FLOAT: return shortest(get(SQLREAL()));
    default: return shortest(get(SQLDOUBLE()));
  }
}

const NumberCase kNumbers[] = {
    {"9223372036854775807", SQL_C_SBIGINT, "", "9223372036854775807"},
    {"9223372036854775808", SQL_C_SBIGINT, "22003", nullptr},
    {"-9223372036854775808", SQL_C_SBIGINT, "", "-9223372036854775808"},
    {"-9223372036854775809", SQL_C_SBIGINT, "22003", nullptr},
    {"18446744073709551615", SQL_C_UBIGINT, "", "18446744073709551615"},
    {"18446744073709551616", SQL_C_UBIGINT, "22003", nullptr},
    {"1e20", SQL_C_UBIGINT, "22003", nullptr},
    {"-1", SQL_C_UBIGINT, "22003", nullptr},
    {"2147483648", SQL_C_SLONG, "22003", nullptr},
    {"2147483647.5", SQL_C_SLONG, "01S07", "2147483647"},
    {"-2.5", SQL_C_SSHORT, "01S07", "-2"},
    {" 1.5e2 ", SQL_C_SLONG, "", "150"},
    {"nan", SQL_C_SLONG, "22018", nullptr},
    {"NaN", SQL_C_DOUBLE, "22018", nullptr},
    {"inf", SQL_C_DOUBLE, "22018", nullptr},
    {"-Infinity", SQL_C_SBIGINT, "22018", nullptr},
    {"0x10", SQL_C_SLONG, "22018", nullptr},
    {"1,25", SQL_C_DOUBLE, "22018", nullptr},
    {"1.25", SQL_C_DOUBLE, "", "1.25"},
    {"1e400", SQL_C_DOUBLE, "22003", nullptr},
    {"3.5e38", SQL_C_FLOAT, "22003", nullptr},
    {"2", SQL_C_BIT, "22003", nullptr},
    {"1", SQL_C_BIT, "", "1"},
};

// Reads every case of kNumbers from one worksheet, a row each.
void expect_numbers_read(const std::string& path, const char* locale_name) {
  Connection c;
  ASSERT_TRUE(SQL_SUCCEEDED(c.connect(connect_to(path)))) << describe(c.diag());
  Statement st(c);
  ASSERT_EQ(SQLExecDirect(st.h, sql("select * from [Sheet1$]"), SQL_NTS), SQL_SUCCESS);
  for (const NumberCase& k : kNumbers) {
    ASSERT_EQ(SQLFetch(st.h), SQL_SUCCESS);
    unsigned char buf[16];
    std::memset(buf, 0, sizeof buf);
    SQLLEN ind = 0;
    SQLRETURN rc = SQLGetData(st.h, 1, k.type, buf, sizeof buf, &ind);
    std::vector<Diag> d = diagnostics(SQL_HANDLE_STMT, st.h);
    std::string state = d.empty() ? "" : d[0].state;
    SCOPED_TRACE(std::string("'") + k.text + "' as C type " + std::to_string(k.type) + " in locale " + locale_name);
    EXPECT_EQ(state, k.state);
    EXPECT_EQ(rc, *k.state == 0 ? SQL_SUCCESS : k.state[0] == '0' && k.state[1] == '1' ? SQL_SUCCESS_WITH_INFO : SQL_ERROR);
    if (k.value && SQL_SUCCEEDED(rc)) {
      EXPECT_EQ(c_value_text(k.type, buf), k.value);
    }
  }
}

// A locale that writes numbers with a decimal comma: de_DE.UTF-8, compiled into a folder of
// the test's own (LOCPATH) when the machine has not generated it. Empty when it cannot be had.
std::string comma_locale() {
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) return "de_DE.UTF-8";
  std::string dir = fs::path(write_temp_file("locale.stamp", "")).parent_path() / "locales";
  fs::create_directories(dir);
  std::string cmd = "localedef -i de_DE -f UTF-8 '" + dir + "/de_DE.UTF-8' >/dev/null 2>&1";
  if (std::system(cmd.c_str()) > 1) return "";  // 1: written, with warnings
  setenv("LOCPATH", dir.c_str(), 1);
  return std::setlocale(LC_NUMERIC, "de_DE.UTF-8") ? "de_DE.UTF-8" : "";
}

TEST(GetDataNumbers, RangeFractionAndNonNumbersWhateverTheLocale) {
  std::string rows = "<row r=\"1\">" + inline_text("A1", "v") + "</row>";
  int r = 2;
  for (const NumberCase& k : kNumbers) {
    rows += "<row r=\"" + std::to_string(r) + "\">" + inline_text("A" + std::to_string(r), k.text) + "</row>";
    ++r;
  }
  std::string path = write_temp_file("numbers.xlsx", zip_archive(workbook_parts(rows)));
  expect_numbers_read(path, "C");
  std::string comma = comma_locale();
  ASSERT_FALSE(comma.empty()) << "no locale with a decimal comma could be made";
  ASSERT_STREQ(std::localeconv()->decimal_point, ",");
  expect_numbers_read(path, comma.c_str());
  std::setlocale(LC_NUMERIC, "C");
}

// ---- String options of ODBC 2 clients ----------------------------------------------------

// SQLGetConnectOption gives no buffer length: the client's buffer holds
// SQL_MAX_OPTION_STRING_LENGTH bytes and the NUL. The driver is called directly, as an ODBC 2
// driver manager would.
TEST(ConnectOption, StringOptionStaysInTheBufferCutOnAWholeCharacter) {
  void* lib = dlopen(driver_path().c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(lib, nullptr) << dlerror();
  auto alloc = reinterpret_cast<SQLRETURN (*)(SQLSMALLINT, SQLHANDLE, SQLHANDLE*)>(dlsym(lib, "SQLAllocHandle"));
  auto free_handle = reinterpret_cast<SQLRETURN (*)(SQLSMALLINT, SQLHANDLE)>(dlsym(lib, "SQLFreeHandle"));
  auto connect = reinterpret_cast<SQLRETURN (*)(SQLHDBC, SQLHWND, SQLCHAR*, SQLSMALLINT, SQLCHAR*, SQLSMALLINT,
                                                SQLSMALLINT*, SQLUSMALLINT)>(dlsym(lib, "SQLDriverConnect"));
  auto disconnect = reinterpret_cast<SQLRETURN (*)(SQLHDBC)>(dlsym(lib, "SQLDisconnect"));
  auto get_option = reinterpret_cast<SQLRETURN (*)(SQLHDBC, SQLUSMALLINT, SQLPOINTER)>(dlsym(lib, "SQLGetConnectOption"));
  auto get_option_w = reinterpret_cast<SQLRETURN (*)(SQLHDBC, SQLUSMALLINT, SQLPOINTER)>(dlsym(lib, "SQLGetConnectOptionW"));
  auto diag_rec = reinterpret_cast<SQLRETURN (*)(SQLSMALLINT, SQLHANDLE, SQLSMALLINT, SQLCHAR*, SQLINTEGER*, SQLCHAR*,
                                                 SQLSMALLINT, SQLSMALLINT*)>(dlsym(lib, "SQLGetDiagRec"));
  ASSERT_TRUE(alloc && free_handle && connect && disconnect && get_option && get_option_w && diag_rec);

  // Paths well past 256 bytes: two-byte characters in GBK after an ASCII folder, and
  // characters beyond the BMP (surrogate pairs in UTF-16) after it.
  const std::string book = zip_archive(workbook_parts("<row r=\"1\">" + inline_text("A1", "v") + "</row>"));
  const fs::path base = fs::path(write_temp_file("option.stamp", "")).parent_path();
  std::string chinese, astral;
  for (int i = 0; i < 20; ++i) chinese += "工作";  // 40 characters, 80 bytes in GBK
  for (int i = 0; i < 60; ++i) astral += "\xF0\xA0\x80\x80";  // U+20000, 60 times
  // The pair that would straddle the last unit of a 257-byte buffer (units 126 and 127).
  const size_t astral_at = base.string().size() + 1;
  if ((126 - astral_at) % 2 != 0) astral = "x" + astral;
  // The folder's name puts a character across the buffer's last byte (bytes 255 and 256).
  fs::path gbk_book;
  for (const char* folder : {"a", "ab"}) {
    gbk_book = base / folder / chinese / chinese / chinese / (chinese + ".xlsx");
    std::string gbk = to_charset(gbk_book.string(), "GBK");
    size_t i = 0;
    while (i < 255) i += static_cast<unsigned char>(gbk[i]) >= 0x81 ? 2 : 1;
    if (i == 255 && static_cast<unsigned char>(gbk[i]) >= 0x81) break;
  }
  const fs::path wide_book = base / (astral + ".xlsx");
  for (const fs::path& p : {gbk_book, wide_book}) {
    fs::create_directories(p.parent_path());
    std::rename(write_temp_file("option.xlsx", book).c_str(), p.c_str());
  }
  struct Case {
    std::string connect;
    std::string path;  // as the client reads it back
    bool wide;
  };
  const Case cases[] = {{to_charset(connect_to(gbk_book.string(), "Charset=GBK"), "GBK"), to_charset(gbk_book.string(), "GBK"), false},
                        {connect_to(wide_book.string(), "Charset=UTF-8"), wide_book.string(), true}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.wide ? "SQLGetConnectOptionW" : "SQLGetConnectOption");
    SQLHANDLE env = nullptr, dbc = nullptr;
    ASSERT_EQ(alloc(SQL_HANDLE_ENV, nullptr, &env), SQL_SUCCESS);
    ASSERT_EQ(alloc(SQL_HANDLE_DBC, env, &dbc), SQL_SUCCESS);
    ASSERT_TRUE(SQL_SUCCEEDED(connect(dbc, nullptr, sql(k.connect), SQL_NTS, nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT)));
    unsigned char buf[1024];
    std::memset(buf, 0x7F, sizeof buf);
    SQLRETURN rc = (k.wide ? get_option_w : get_option)(dbc, SQL_CURRENT_QUALIFIER, buf);
    EXPECT_EQ(rc, SQL_SUCCESS_WITH_INFO);
    SQLCHAR state[6] = "";
    SQLINTEGER native;
    SQLCHAR msg[512];
    SQLSMALLINT len;
    diag_rec(SQL_HANDLE_DBC, dbc, 1, state, &native, msg, sizeof msg, &len);
    EXPECT_STREQ(reinterpret_cast<char*>(state), "01004");
    const size_t room = SQL_MAX_OPTION_STRING_LENGTH + 1;
    size_t untouched = 0;
    for (size_t i = room; i < sizeof buf; ++i) untouched += buf[i] == 0x7F;
    EXPECT_EQ(untouched, sizeof buf - room) << "bytes written past the option's buffer";
    if (!k.wide) {
      // The longest prefix of whole GBK characters that fits (a lead byte is 0x81 or more).
      size_t whole = 0;
      for (size_t i = 0; i < k.path.size();) {
        size_t n = static_cast<unsigned char>(k.path[i]) >= 0x81 ? 2 : 1;
        if (i + n > room - 1) break;
        whole = i += n;
      }
      EXPECT_EQ(std::string(reinterpret_cast<char*>(buf)), k.path.substr(0, whole));
      EXPECT_EQ(whole, room - 2) << "the case does not straddle a character";
    } else {
      std::u16string path = fs::path(k.path).u16string(), got;
      for (size_t i = 0; i + 1 < room; i += 2) {
        char16_t u;
        std::memcpy(&u, buf + i, 2);
        if (u == 0) break;
        got.push_back(u);
      }
      // 128 units of room less the NUL, one fewer when a surrogate pair would be split.
      size_t whole = room / 2 - 1;
      if (path[whole - 1] >= 0xD800 && path[whole - 1] <= 0xDBFF) --whole;
      EXPECT_EQ(got, path.substr(0, whole));
      EXPECT_EQ(whole, room / 2 - 2) << "the case does not straddle a surrogate pair";
    }
    disconnect(dbc);
    free_handle(SQL_HANDLE_DBC, dbc);
    free_handle(SQL_HANDLE_ENV, env);
  }
  dlclose(lib);
}

// ---- What the driver tells of each workbook format ----------------------------------------

TEST(WorkbookFormats, NameAndColumnLimitsFollowTheWorkbook) {
  const std::string book = zip_archive(workbook_parts("<row r=\"1\">" + inline_text("A1", "v") + "</row>"));
  struct Case {
    std::string path;
    std::string database;
    SQLUSMALLINT columns;  // a worksheet's width in the format: IV (.xls), XFD (.xlsx)
  };
  const std::string folder = fs::path(write_temp_file("Book.XLSX", book)).parent_path();
  write_temp_file("macros.xlsm", book);
  const Case cases[] = {
      {fixture("types.xls"), fixture("types"), 256},
      {folder + "/Book.XLSX", folder + "/Book", 16384},
      {folder + "/macros.xlsm", folder + "/macros", 16384},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.path);
    Connection c;
    ASSERT_TRUE(SQL_SUCCEEDED(c.connect(connect_to(k.path)))) << describe(c.diag());
    SQLCHAR name[1024];
    SQLSMALLINT len;
    ASSERT_EQ(SQLGetInfo(c.dbc, SQL_DATABASE_NAME, name, sizeof name, &len), SQL_SUCCESS);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(name)), k.database);
    for (SQLUSMALLINT info : {SQL_MAX_COLUMNS_IN_TABLE, SQL_MAX_COLUMNS_IN_SELECT}) {
      SQLUSMALLINT columns = 0;
      ASSERT_EQ(SQLGetInfo(c.dbc, info, &columns, sizeof columns, &len), SQL_SUCCESS);
      EXPECT_EQ(columns, k.columns);
    }
  }
  // A connect string without a workbook: the message asks for one of any format.
  Connection c;
  EXPECT_EQ(c.connect("DRIVER=" + driver_path()), SQL_ERROR);
  std::string message = c.diag().empty() ? "" : c.diag()[0].message;
  EXPECT_NE(message.find("DBQ=<path of the workbook>"), std::string::npos) << message;
}

// ---- Catalogue patterns --------------------------------------------------------------------

// The names SQLTables (sheet names, with their '$') and SQLColumns (column names) give for a
// pattern.
std::vector<std::string> catalogue_names(const Connection& c, bool tables, const std::string& pattern) {
  Statement st(c);
  SQLRETURN rc = tables ? SQLTables(st.h, nullptr, 0, nullptr, 0, sql(pattern), SQL_NTS, nullptr, 0)
                        : SQLColumns(st.h, nullptr, 0, nullptr, 0, nullptr, 0, sql(pattern), SQL_NTS);
  EXPECT_EQ(rc, SQL_SUCCESS) << describe(diagnostics(SQL_HANDLE_STMT, st.h));
  std::vector<std::string> names;
  while (SQL_SUCCEEDED(SQLFetch(st.h))) {
    Value v;
    read_value(st.h, tables ? 3 : 4, v, 256);
    names.push_back(v.value_or("NULL"));
  }
  return names;
}

TEST(CataloguePatterns, CharactersNotBytesAndNoBacktrackingBlowUp) {
  const std::string long_name(60, 'a');
  std::string header = "<row r=\"1\">" + inline_text("A1", "销售额") + inline_text("B1", long_name) +
                       inline_text("C1", "a_b") + "</row>";
  std::string path = write_temp_file("patterns.xlsx", zip_archive(named_sheet(workbook_parts(header), "销售")));
  Connection c;
  ASSERT_TRUE(SQL_SUCCEEDED(c.connect(connect_to(path, "Charset=UTF-8")))) << describe(c.diag());
  // Many '%' that cannot match the long name: every way of placing them would be tried by a
  // matcher that backtracks into each one.
  std::string many_any;
  for (int i = 0; i < 7; ++i) many_any += "%a";
  many_any += "%b";
  struct Case {
    bool tables;
    std::string pattern;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {true, "__$", {"销售$"}},
      {true, "_$", {}},
      {true, "销%", {"销售$"}},
      {true, "%售_", {"销售$"}},
      {false, "销_额", {"销售额"}},
      {false, "___", {"销售额", "a_b"}},
      {false, "a\\_b", {"a_b"}},
      {false, "A%A", {long_name}},
      {false, many_any, {}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE((k.tables ? "SQLTables " : "SQLColumns ") + k.pattern);
    auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(catalogue_names(c, k.tables, k.pattern), k.names);
    EXPECT_LT(seconds_since(t0), 1.0);
  }
}

// ---- Many repeated column names ------------------------------------------------------------

TEST(RepeatedHeaders, SixteenThousandEqualNamesInLinearTime) {
  // A header row of 16,384 equal texts (A to XFD) over one row of values.
  std::string header = "<row r=\"1\">", values = "<row r=\"2\">";
  std::vector<std::string> strings = {"<t>Name</t>"};
  for (unsigned col = 0; col < 16384; ++col) {
    std::string letters;
    for (unsigned n = col + 1; n > 0; n = (n - 1) / 26) letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
    header += "<c r=\"" + letters + "1\" t=\"s\"><v>0</v></c>";
    values += "<c r=\"" + letters + "2\"><v>" + std::to_string(col) + "</v></c>";
  }
  std::string path = write_temp_file("repeated.xlsx", zip_archive(workbook_parts(header + "</row>" + values + "</row>", "", strings)));
  Connection c;
  ASSERT_TRUE(SQL_SUCCEEDED(c.connect(connect_to(path)))) << describe(c.diag());
  // The first statement reads the sheet; those after it and SQLColumns take its names as
  // they are.
  for (int run = 0; run < 5; ++run) {
    SCOPED_TRACE("statement " + std::to_string(run + 1));
    Statement st(c);
    auto t0 = std::chrono::steady_clock::now();
    ASSERT_EQ(SQLPrepare(st.h, sql("select * from [Sheet1$]"), SQL_NTS), SQL_SUCCESS);
    EXPECT_LT(seconds_since(t0), 1.0);
    SQLSMALLINT count = 0;
    SQLNumResultCols(st.h, &count);
    EXPECT_EQ(count, 16384);
    SQLCHAR name[80];
    SQLSMALLINT len;
    std::vector<std::string> some;
    for (SQLUSMALLINT col : {1, 2, 10, 16384}) {
      SQLDescribeCol(st.h, col, name, sizeof name, &len, nullptr, nullptr, nullptr, nullptr);
      some.push_back(reinterpret_cast<char*>(name));
    }
    EXPECT_EQ(some, (std::vector<std::string>{"Name", "Name1", "Name9", "Name16383"}));
  }
  auto t0 = std::chrono::steady_clock::now();
  EXPECT_EQ(catalogue_names(c, false, "Name1638_"), (std::vector<std::string>{"Name16380", "Name16381", "Name16382", "Name16383"}));
  EXPECT_LT(seconds_since(t0), 0.5);
}

}  // namespace
