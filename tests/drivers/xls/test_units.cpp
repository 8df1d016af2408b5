// The driver's inner pieces, tested directly: number decoding and date text, format classification,
// the statement parser, connect strings, path mapping, character sets, and the BIFF reader
// on hand-built record streams (MULRK, MULBLANK, LABEL, BOOLERR, FORMULA results, SST split
// over CONTINUE records, BIFF5 text, FILEPASS, truncation).
#include "odbc/connect_string.h"
#include "odbc/path_map.h"
#include "odbc/result_set.h"
#include "odbc/sql_parser.h"
#include "workbook/biff_records.h"
#include "workbook/charset.h"
#include "workbook/number_format.h"
#include "workbook/workbook.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

using namespace xlsodbc;

namespace {

TEST(NumberText, RkNumbers) {
  EXPECT_EQ(decode_rk((12u << 2) | 2), 12.0);
  EXPECT_EQ(decode_rk((static_cast<uint32_t>(-5) << 2) | 2), -5.0);
  EXPECT_EQ(decode_rk((1234u << 2) | 3), 12.34);
  uint64_t bits;
  double d = 1.5;
  std::memcpy(&bits, &d, 8);
  EXPECT_EQ(decode_rk(static_cast<uint32_t>(bits >> 32)), 1.5);
  EXPECT_EQ(decode_rk(static_cast<uint32_t>(bits >> 32) | 1), 0.015);
}

TEST(Formats, Classification) {
  EXPECT_EQ(classify_format("yyyy-mm-dd"), NumberKind::Date);
  EXPECT_EQ(classify_format("m/d/yy"), NumberKind::Date);
  EXPECT_EQ(classify_format("mmm-yy"), NumberKind::Date);
  EXPECT_EQ(classify_format("yyyy\"年\"m\"月\"d\"日\""), NumberKind::Date);
  EXPECT_EQ(classify_format("[$-804]yyyy\"年\"m\"月\""), NumberKind::Date);
  EXPECT_EQ(classify_format("h:mm"), NumberKind::Time);
  EXPECT_EQ(classify_format("mm:ss"), NumberKind::Time);
  EXPECT_EQ(classify_format("[h]:mm:ss"), NumberKind::Elapsed);
  EXPECT_EQ(classify_format("[mm]:ss"), NumberKind::Elapsed);
  EXPECT_EQ(classify_format("yyyy-mm-dd [h]:mm"), NumberKind::DateTime);
  EXPECT_EQ(classify_format("hh:mm AM/PM"), NumberKind::Time);
  EXPECT_EQ(classify_format("m/d/yy h:mm"), NumberKind::DateTime);
  EXPECT_EQ(classify_format("dd/mm/yyyy hh:mm:ss"), NumberKind::DateTime);
  EXPECT_EQ(classify_format("[Red]yyyy-mm-dd"), NumberKind::Date);
  EXPECT_EQ(classify_format("General"), NumberKind::Plain);
  EXPECT_EQ(classify_format("0.00"), NumberKind::Plain);
  EXPECT_EQ(classify_format("#,##0.00;[Red]-#,##0.00"), NumberKind::Plain);
  EXPECT_EQ(classify_format("0.00E+00"), NumberKind::Plain);
  EXPECT_EQ(classify_format("\"d\"0.00"), NumberKind::Plain);
  EXPECT_EQ(classify_format("0\\d"), NumberKind::Plain);
  EXPECT_EQ(classify_format("_(* #,##0_);_(* (#,##0);_(* \"-\"_);_(@_)"), NumberKind::Plain);
  EXPECT_EQ(classify_format("[Blue]0;[Red]-0"), NumberKind::Plain);
  for (unsigned i : {14u, 15u, 16u, 17u}) EXPECT_EQ(builtin_format_kind(i), NumberKind::Date) << i;
  for (unsigned i : {18u, 19u, 20u, 21u, 45u, 47u}) EXPECT_EQ(builtin_format_kind(i), NumberKind::Time) << i;
  EXPECT_EQ(builtin_format_kind(46), NumberKind::Elapsed);
  EXPECT_EQ(builtin_format_kind(22), NumberKind::DateTime);
  for (unsigned i : {0u, 1u, 2u, 9u, 10u, 11u, 12u, 13u, 23u, 37u, 44u, 48u, 49u})
    EXPECT_EQ(builtin_format_kind(i), NumberKind::Plain) << i;
}

std::string serial(double v, NumberKind k, bool d1904 = false) {
  std::string s;
  if (!format_serial(v, k, d1904, s)) return "none";
  return s;
}

TEST(Dates, SerialNumbers) {
  EXPECT_EQ(serial(37987, NumberKind::Date), "2004-01-01");
  EXPECT_EQ(serial(36525, NumberKind::Date, true), "2004-01-01");
  EXPECT_EQ(serial(37987 + 13.0 / 24 + 5.0 / 1440, NumberKind::DateTime), "2004-01-01 13:05:00");
  EXPECT_EQ(serial(13.0 / 24 + 5.0 / 1440, NumberKind::Time), "13:05:00");
  EXPECT_EQ(serial(1, NumberKind::Date), "1900-01-01");
  EXPECT_EQ(serial(59, NumberKind::Date), "1900-02-28");
  EXPECT_EQ(serial(60, NumberKind::Date), "1900-02-29");
  EXPECT_EQ(serial(61, NumberKind::Date), "1900-03-01");
  EXPECT_EQ(serial(1, NumberKind::Date, true), "1904-01-02");
  EXPECT_EQ(serial(2958465, NumberKind::Date), "9999-12-31");
  EXPECT_EQ(serial(2958466, NumberKind::Date), "none");
  EXPECT_EQ(serial(-1, NumberKind::Date), "none");
  EXPECT_EQ(serial(37987, NumberKind::Plain), "none");
  // Rounded to the second; 23:59:59.6 becomes the next day.
  EXPECT_EQ(serial(37987 + 0.9999954, NumberKind::DateTime), "2004-01-02 00:00:00");
  EXPECT_EQ(serial(0.5 + 0.4 / 86400, NumberKind::Time), "12:00:00");
  EXPECT_EQ(serial(0.5 + 0.6 / 86400, NumberKind::Time), "12:00:01");
  EXPECT_EQ(serial(0.9999954, NumberKind::Time), "00:00:00");
}

TEST(Dates, TheValueDecidesTheForm) {
  // Whatever the date or time format, a whole serial is a date, a serial below 1 a time of
  // day, anything else both: a date-only format does not cut the time, a time-only format
  // does not lose the date.
  for (NumberKind k : {NumberKind::Date, NumberKind::Time, NumberKind::DateTime}) {
    EXPECT_EQ(serial(40293 + (17 * 3600 + 42 * 60 + 32) / 86400.0, k), "2010-04-25 17:42:32");
    EXPECT_EQ(serial(39066 + (18 * 60 + 48) / 1440.0, k), "2006-12-15 18:48:00");
    EXPECT_EQ(serial(40293, k), "2010-04-25");
    EXPECT_EQ(serial(0.75, k), "18:00:00");
    EXPECT_EQ(serial(0, k), "00:00:00");
    EXPECT_EQ(serial(37987 + 0.9999954, k), "2004-01-02 00:00:00");  // the carry, in every kind
    EXPECT_EQ(serial(60.5, k), "1900-02-29 12:00:00");
    EXPECT_EQ(serial(36525.25, k, true), "2004-01-01 06:00:00");
    EXPECT_EQ(serial(2004.5, k), "1905-06-26 12:00:00");
  }
  // Elapsed-time formats ([h]:mm) keep their time-of-day form.
  EXPECT_EQ(serial(1.5, NumberKind::Elapsed), "12:00:00");
  EXPECT_EQ(serial(0.25, NumberKind::Elapsed), "06:00:00");
  // The text lengths that column sizes use follow the same forms.
  EXPECT_EQ(serial_form_length(serial_form(40293.5, NumberKind::Date, false)), 19u);
  EXPECT_EQ(serial_form_length(serial_form(40293, NumberKind::Time, false)), 10u);
  EXPECT_EQ(serial_form_length(serial_form(0.5, NumberKind::DateTime, false)), 8u);
  EXPECT_EQ(serial_form_length(serial_form(1.5, NumberKind::Elapsed, false)), 8u);
  EXPECT_EQ(serial_form_length(serial_form(-1, NumberKind::Date, false)), 0u);
  // After 9999-12-31 in either date system, also once rounded to the second.
  EXPECT_EQ(serial_form(2957003.5, NumberKind::Date, true), SerialForm::DateTime);
  EXPECT_EQ(serial_form(2957004, NumberKind::Date, true), SerialForm::None);
  EXPECT_EQ(serial_form(2958465.999999, NumberKind::Date, false), SerialForm::None);
}

SelectStatement parse_ok(const std::string& s) {
  SelectStatement st;
  std::string error;
  EXPECT_TRUE(parse_select(s, st, error)) << s << ": " << error;
  return st;
}

std::string parse_error(const std::string& s) {
  SelectStatement st;
  std::string error;
  EXPECT_FALSE(parse_select(s, st, error)) << s;
  return error;
}

TEST(Parser, Selects) {
  auto a = parse_ok("select * from [Sheet1$]");
  EXPECT_TRUE(a.all_columns);
  EXPECT_EQ(a.table, "Sheet1$");
  auto b = parse_ok("  SELECT  a ,[First Name],b   FROM   [sheet1$] ;  ");
  EXPECT_EQ(b.columns, (std::vector<std::string>{"a", "First Name", "b"}));
  EXPECT_EQ(b.table, "sheet1$");
  auto c = parse_ok("select [x]]y],`q`,编号,姓 名 from `工作表$`");
  EXPECT_EQ(c.columns, (std::vector<std::string>{"x]y", "q", "编号", "姓 名"}));
  EXPECT_EQ(c.table, "工作表$");
  auto d = parse_ok("select fromage,afrom from Sheet1$;");
  EXPECT_EQ(d.columns, (std::vector<std::string>{"fromage", "afrom"}));
  EXPECT_EQ(d.table, "Sheet1$");
  auto e = parse_ok("select\n*\nfrom\n[Sheet1$]\n;");
  EXPECT_TRUE(e.all_columns);
  auto f = parse_ok("select [a;b],[c,d] from [My ]] Sheet$]");
  EXPECT_EQ(f.columns, (std::vector<std::string>{"a;b", "c,d"}));
  EXPECT_EQ(f.table, "My ] Sheet$");
}

TEST(Parser, Errors) {
  EXPECT_NE(parse_error("insert into [Sheet1$] values (1)").find("must start with SELECT"), std::string::npos);
  EXPECT_NE(parse_error("select * [Sheet1$]").find("FROM expected"), std::string::npos);
  EXPECT_NE(parse_error("select from [Sheet1$]").find("column name"), std::string::npos);
  EXPECT_NE(parse_error("select a, from [Sheet1$]").find("column name"), std::string::npos);
  EXPECT_NE(parse_error("select * from [Sheet1$").find("missing closing ']'"), std::string::npos);
  EXPECT_NE(parse_error("select * from [Sheet1$] order by a").find("near 'order by a'"), std::string::npos);
  EXPECT_NE(parse_error("select * from").find("worksheet name expected"), std::string::npos);
  parse_error("select *, a from [Sheet1$]");
  parse_error("select [] from [Sheet1$]");
  parse_error("selectx * from [Sheet1$]");
  parse_error("");
}

TEST(ConnectStrings, Attributes) {
  auto a = parse_connect_string("ODBC;DRIVER={SheetMover Excel Driver (*.xls)};DSN='';DBQ=Z:\\tmp\\a.xls");
  ASSERT_NE(a.find("driver"), nullptr);
  EXPECT_EQ(*a.find("DRIVER"), "SheetMover Excel Driver (*.xls)");
  EXPECT_EQ(*a.find("dsn"), "''");
  EXPECT_EQ(*a.find("DBQ"), "Z:\\tmp\\a.xls");
  auto b = parse_connect_string("DBQ={/tmp/a;b}}c.xls};Charset = GBK ;");
  EXPECT_EQ(*b.find("DBQ"), "/tmp/a;b}c.xls");
  EXPECT_EQ(*b.find("CHARSET"), "GBK");
  EXPECT_EQ(parse_connect_string("").items.size(), 0u);
  EXPECT_EQ(parse_connect_string(";;=;x").items.size(), 0u);
}

TEST(Paths, WindowsToLinux) {
  namespace fs = std::filesystem;
  fs::path prefix = fs::temp_directory_path() / "xls_unit_prefix";
  fs::remove_all(prefix);
  fs::create_directories(prefix / "dosdevices");
  fs::create_directories(prefix / "drive_c" / "Data");
  std::ofstream(prefix / "drive_c" / "Data" / "b.xls") << "x";
  fs::create_directory_symlink("/", prefix / "dosdevices" / "z:");
  fs::create_directory_symlink("../drive_c", prefix / "dosdevices" / "c:");
  std::string err;
  EXPECT_EQ(map_windows_path("Z:\\tmp\\a.xls", prefix.string(), "", err), "/tmp/a.xls");
  EXPECT_EQ(map_windows_path("z:/tmp/a.xls", prefix.string(), "", err), "/tmp/a.xls");
  EXPECT_EQ(map_windows_path("\\\\?\\Z:\\tmp\\a.xls", prefix.string(), "", err), "/tmp/a.xls");
  std::string c = map_windows_path("C:\\data\\b.xls", prefix.string(), "", err);
  EXPECT_EQ(c, (fs::canonical(prefix / "drive_c") / "Data" / "b.xls").string());  // found case-insensitively
  EXPECT_EQ(map_windows_path("/home/u/a.xls", prefix.string(), "", err), "/home/u/a.xls");
  EXPECT_EQ(map_windows_path("relative.xls", prefix.string(), "", err), "relative.xls");
  EXPECT_EQ(map_windows_path("Q:\\a.xls", prefix.string(), "", err), "");
  EXPECT_NE(err.find("drive Q:"), std::string::npos);
  fs::create_directories(prefix / "home" / ".wine" / "dosdevices");
  fs::create_directory_symlink("/", prefix / "home" / ".wine" / "dosdevices" / "z:");
  EXPECT_EQ(map_windows_path("Z:\\x.xls", "", (prefix / "home").string(), err), "/x.xls");
  fs::remove_all(prefix);
}

TEST(Charsets, GbkAndUtf8) {
  ClientCharset gbk;
  std::string err;
  ASSERT_TRUE(gbk.set("GBK", err));
  EXPECT_EQ(gbk.name(), "GBK");
  std::string out, back;
  uint32_t bad = 0;
  ASSERT_TRUE(gbk.from_utf8("乗乚 中文 abc", out, &bad));
  EXPECT_EQ(out.substr(0, 4), "\x81\x5C\x81\x5D");
  ASSERT_TRUE(gbk.to_utf8(out.data(), out.size(), back));
  EXPECT_EQ(back, "乗乚 中文 abc");
  EXPECT_FALSE(gbk.from_utf8("a😀b", out, &bad));
  EXPECT_EQ(bad, 0x1F600u);
  EXPECT_EQ(gbk.from_utf8_lossy("a😀b"), "a?b");
  std::string g = "\x81\x5C" "a" "\xD6\xD0";
  EXPECT_EQ(gbk.whole_chars_prefix(g.data(), g.size(), 4), 3u);
  EXPECT_EQ(gbk.whole_chars_prefix(g.data(), g.size(), 1), 0u);
  EXPECT_FALSE(gbk.to_utf8("\x81", 1, back));
  ClientCharset u;
  std::string s = "a中b";
  EXPECT_EQ(u.whole_chars_prefix(s.data(), s.size(), 3), 1u);
  EXPECT_EQ(u.whole_chars_prefix(s.data(), s.size(), 4), 4u);
  ClientCharset nope;
  EXPECT_FALSE(nope.set("NO-SUCH-CHARSET", err));
  EXPECT_EQ(utf8_to_utf16("a😀"), u"a😀");
  EXPECT_EQ(utf8_prefix("ab中😀c", 3), "ab中");
  EXPECT_EQ(utf8_prefix("ab中😀c", 4), "ab中😀");
  EXPECT_EQ(utf8_prefix("ab", 5), "ab");
  EXPECT_EQ(utf8_prefix("中", 0), "");
  EXPECT_EQ(fold_case("ÄBC Straße 中"), "äbc straße 中");
}

// Builds BIFF record streams by hand.
struct Biff {
  std::vector<uint8_t> d;
  Biff& rec(uint16_t type, const std::vector<uint8_t>& body) {
    put16(type);
    put16(static_cast<uint16_t>(body.size()));
    d.insert(d.end(), body.begin(), body.end());
    return *this;
  }
  void put16(uint16_t v) {
    d.push_back(v & 0xFF);
    d.push_back(v >> 8);
  }
  static void p16(std::vector<uint8_t>& b, uint16_t v) {
    b.push_back(v & 0xFF);
    b.push_back(v >> 8);
  }
  static void p32(std::vector<uint8_t>& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back((v >> (8 * i)) & 0xFF);
  }
  static void pdbl(std::vector<uint8_t>& b, double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    for (int i = 0; i < 8; ++i) b.push_back((bits >> (8 * i)) & 0xFF);
  }
  static std::vector<uint8_t> cell(uint16_t row, uint16_t col, uint16_t xf) {
    std::vector<uint8_t> b;
    p16(b, row);
    p16(b, col);
    p16(b, xf);
    return b;
  }
  static std::vector<uint8_t> bof(uint16_t vers, uint16_t dt) {
    std::vector<uint8_t> b;
    p16(b, vers);
    p16(b, dt);
    b.resize(16, 0);
    return b;
  }
};

// A workbook with one worksheet "Sheet1"; `globals` adds records to the globals, `sheet` the
// cells. The sheet offset in BOUNDSHEET is patched.
std::vector<uint8_t> workbook(const std::function<void(Biff&)>& globals, const std::function<void(Biff&)>& sheet,
                              uint16_t vers = 0x0600) {
  Biff b;
  b.rec(0x0809, Biff::bof(vers, 5));
  globals(b);
  std::vector<uint8_t> bs;
  Biff::p32(bs, 0);
  bs.push_back(0);
  bs.push_back(0);
  if (vers == 0x0600) {
    bs.push_back(6);
    bs.push_back(0);
  } else {
    bs.push_back(6);
  }
  for (char ch : std::string("Sheet1")) bs.push_back(ch);
  size_t bs_at = b.d.size() + 4;
  b.rec(0x0085, bs);
  b.rec(0x000A, {});
  uint32_t off = static_cast<uint32_t>(b.d.size());
  std::memcpy(&b.d[bs_at], &off, 4);
  b.rec(0x0809, Biff::bof(vers, 0x10));
  sheet(b);
  b.rec(0x000A, {});
  return b.d;
}

struct Loaded {
  Workbook wb;
  Worksheet ws;
  std::string text(uint32_t r, uint16_t c) const {
    const Cell* cell = ws.find(r, c);
    CellText t;
    if (!cell || !wb.cell_text(ws, *cell, t)) return "NULL";
    return std::string(t.text);
  }
};

void load(std::vector<uint8_t> data, Loaded& l) {
  std::string err;
  ASSERT_TRUE(l.wb.open(std::move(data), err)) << err;
  ASSERT_TRUE(l.wb.load_sheet(0, l.ws, err)) << err;
}

std::vector<uint8_t> xf(uint16_t ifmt) {
  std::vector<uint8_t> b;
  Biff::p16(b, 0);
  Biff::p16(b, ifmt);
  b.resize(20, 0);
  return b;
}

TEST(Biff, CellRecords) {
  auto data = workbook(
      [](Biff& b) {
        std::vector<uint8_t> fmt;
        Biff::p16(fmt, 164);
        std::string f = "yyyy-mm-dd";
        Biff::p16(fmt, static_cast<uint16_t>(f.size()));
        fmt.push_back(0);
        fmt.insert(fmt.end(), f.begin(), f.end());
        b.rec(0x041E, fmt);
        b.rec(0x00E0, xf(0));    // xf 0: General
        b.rec(0x00E0, xf(164));  // xf 1: custom date
        b.rec(0x00E0, xf(21));   // xf 2: built-in time
      },
      [](Biff& b) {
        // MULRK: row 0, columns 0..2: 12, 12.34, date 37987.
        auto m = Biff::cell(0, 0, 0);
        m.resize(2);
        Biff::p16(m, 0);
        Biff::p16(m, 0);
        Biff::p32(m, (12u << 2) | 2);
        Biff::p16(m, 0);
        Biff::p32(m, (1234u << 2) | 3);
        Biff::p16(m, 1);
        Biff::p32(m, (37987u << 2) | 2);
        Biff::p16(m, 2);
        b.rec(0x00BD, m);
        // MULBLANK over row 1: nothing.
        auto mb = Biff::cell(1, 0, 0);
        mb.resize(4);
        Biff::p16(mb, 0);
        Biff::p16(mb, 0);
        Biff::p16(mb, 0);
        Biff::p16(mb, 2);
        b.rec(0x00BE, mb);
        // LABEL (BIFF8, UTF-16): "中a"
        auto l = Biff::cell(2, 0, 0);
        Biff::p16(l, 2);
        l.push_back(1);
        Biff::p16(l, 0x4E2D);
        Biff::p16(l, 'a');
        b.rec(0x0204, l);
        // BOOLERR: true, then an error.
        auto t = Biff::cell(2, 1, 0);
        t.push_back(1);
        t.push_back(0);
        b.rec(0x0205, t);
        auto e = Biff::cell(2, 2, 0);
        e.push_back(7);
        e.push_back(1);
        b.rec(0x0205, e);
        // NUMBER with the time format.
        auto n = Biff::cell(3, 0, 2);
        Biff::pdbl(n, 0.5);
        b.rec(0x0203, n);
        // FORMULA results: number (date xf), text via STRING after SHRFMLA, boolean, error,
        // empty text.
        auto fnum = Biff::cell(3, 1, 1);
        Biff::pdbl(fnum, 36525);
        Biff::p16(fnum, 0);
        Biff::p32(fnum, 0);
        Biff::p16(fnum, 0);
        b.rec(0x0006, fnum);
        auto fres = [](uint16_t col, uint8_t type, uint8_t v) {
          auto f = Biff::cell(3, col, 0);
          f.push_back(type);
          f.push_back(0);
          f.push_back(v);
          f.push_back(0);
          f.push_back(0);
          f.push_back(0);
          f.push_back(0xFF);
          f.push_back(0xFF);
          Biff::p16(f, 0);
          Biff::p32(f, 0);
          Biff::p16(f, 0);
          return f;
        };
        b.rec(0x0006, fres(2, 0, 0));
        b.rec(0x04BC, {0, 0, 0, 0, 0, 0, 0, 0});  // SHRFMLA between FORMULA and STRING
        std::vector<uint8_t> s;
        Biff::p16(s, 3);
        s.push_back(0);
        s.push_back('x');
        s.push_back('y');
        s.push_back('z');
        b.rec(0x0207, s);
        b.rec(0x0006, fres(3, 1, 1));
        b.rec(0x0006, fres(4, 2, 7));
        b.rec(0x0006, fres(5, 3, 0));
        // Rows out of order and a duplicate position (the last one counts).
        auto n2 = Biff::cell(5, 0, 0);
        Biff::pdbl(n2, 1.0);
        b.rec(0x0203, n2);
        auto n3 = Biff::cell(4, 0, 0);
        Biff::pdbl(n3, 2.0);
        b.rec(0x0203, n3);
        auto n4 = Biff::cell(5, 0, 0);
        Biff::pdbl(n4, 3.0);
        b.rec(0x0203, n4);
        // An embedded chart substream: its records are not cells.
        b.rec(0x0809, Biff::bof(0x0600, 0x20));
        auto hidden = Biff::cell(9, 9, 0);
        Biff::pdbl(hidden, 99);
        b.rec(0x0203, hidden);
        b.rec(0x000A, {});
      });
  Loaded l;
  load(data, l);
  EXPECT_EQ(l.text(0, 0), "12");
  EXPECT_EQ(l.text(0, 1), "12.34");
  EXPECT_EQ(l.text(0, 2), "2004-01-01");
  EXPECT_EQ(l.text(1, 0), "NULL");
  EXPECT_EQ(l.text(2, 0), "中a");
  EXPECT_EQ(l.text(2, 1), "1");
  EXPECT_EQ(l.text(2, 2), "NULL");
  EXPECT_EQ(l.text(3, 0), "12:00:00");
  EXPECT_EQ(l.text(3, 1), "1999-12-31");
  EXPECT_EQ(l.text(3, 2), "xyz");
  EXPECT_EQ(l.text(3, 3), "1");
  EXPECT_EQ(l.text(3, 4), "NULL");
  EXPECT_EQ(l.text(3, 5), "NULL");
  EXPECT_EQ(l.text(4, 0), "2");
  EXPECT_EQ(l.text(5, 0), "3");
  EXPECT_EQ(l.ws.last_row, 5u);
  EXPECT_EQ(l.ws.last_col, 4);  // the error formula at column 4 holds a value
  EXPECT_EQ(l.text(9, 9), "NULL");
}

TEST(Biff, SharedStringsSplitOverContinue) {
  // String 0: "abc" + "中文" split after "ab" with the continuation switching to UTF-16.
  // String 1: rich text with runs and an extended block split across records.
  // String 2: starts in the next CONTINUE record.
  auto data = workbook(
      [](Biff& b) {
        std::vector<uint8_t> sst;
        Biff::p32(sst, 3);
        Biff::p32(sst, 3);
        Biff::p16(sst, 5);
        sst.push_back(0);
        sst.push_back('a');
        sst.push_back('b');
        b.rec(0x00FC, sst);
        std::vector<uint8_t> c1 = {1};  // flag byte: UTF-16 from here
        Biff::p16(c1, 'c');
        Biff::p16(c1, 0x4E2D);
        Biff::p16(c1, 0x6587);
        // string 1: cch 2, flags rich+ext, 1 run, 4 ext bytes, "hi", run bytes split.
        Biff::p16(c1, 2);
        c1.push_back(0x0C);
        Biff::p16(c1, 1);
        Biff::p32(c1, 4);
        c1.push_back('h');
        c1.push_back('i');
        c1.push_back(0);
        c1.push_back(0);
        b.rec(0x003C, c1);
        std::vector<uint8_t> c2 = {0, 0, 1, 2, 3, 4};  // rest of the run, ext block
        b.rec(0x003C, c2);
        std::vector<uint8_t> c3;
        Biff::p16(c3, 1);
        c3.push_back(0);
        c3.push_back('z');
        b.rec(0x003C, c3);
      },
      [](Biff& b) {
        for (uint16_t i = 0; i < 3; ++i) {
          auto l = Biff::cell(i, 0, 0);
          Biff::p32(l, i);
          b.rec(0x00FD, l);
        }
        auto bad = Biff::cell(3, 0, 0);
        Biff::p32(bad, 77);  // no such string: ignored
        b.rec(0x00FD, bad);
      });
  Loaded l;
  load(data, l);
  EXPECT_EQ(l.text(0, 0), "abc中文");
  EXPECT_EQ(l.text(1, 0), "hi");
  EXPECT_EQ(l.text(2, 0), "z");
  EXPECT_EQ(l.text(3, 0), "NULL");
  EXPECT_EQ(l.wb.shared_string_length(0), 5u);
}

TEST(Biff, Biff5TextInCodePage) {
  auto data = workbook(
      [](Biff& b) {
        std::vector<uint8_t> cp;
        Biff::p16(cp, 936);
        b.rec(0x0042, cp);
      },
      [](Biff& b) {
        auto l = Biff::cell(0, 0, 0);
        Biff::p16(l, 4);
        for (uint8_t ch : {0xD6, 0xD0, 0xCE, 0xC4}) l.push_back(ch);  // 中文 in GBK
        b.rec(0x0204, l);
      },
      0x0500);
  Loaded l;
  load(data, l);
  EXPECT_EQ(l.wb.biff_version(), 5);
  EXPECT_EQ(l.wb.sheets()[0].name, "Sheet1");
  EXPECT_EQ(l.text(0, 0), "中文");
}

TEST(Biff, RefusalsAndDamage) {
  std::string err;
  {
    Workbook wb;
    auto data = workbook([](Biff& b) { b.rec(0x002F, std::vector<uint8_t>(54, 0)); }, [](Biff&) {});
    EXPECT_FALSE(wb.open(data, err));
    EXPECT_NE(err.find("password"), std::string::npos);
  }
  {
    Workbook wb;
    auto data = workbook([](Biff&) {}, [](Biff&) {});
    data.resize(30);  // cut inside the globals
    EXPECT_FALSE(wb.open(data, err));
    EXPECT_NE(err.find("truncated"), std::string::npos);
  }
  {
    Workbook wb;
    Worksheet ws;
    auto data = workbook([](Biff&) {}, [](Biff& b) {
      auto n = Biff::cell(0, 0, 0);
      Biff::pdbl(n, 1);
      b.rec(0x0203, n);
    });
    data.resize(data.size() - 6);  // the sheet loses its end
    ASSERT_TRUE(wb.open(data, err)) << err;
    EXPECT_FALSE(wb.load_sheet(0, ws, err));
    EXPECT_NE(err.find("Sheet1"), std::string::npos);
  }
  {
    Workbook wb;
    std::vector<uint8_t> junk(100, 0x41);
    EXPECT_FALSE(wb.open(junk, err));
  }
  {
    Workbook wb;
    EXPECT_FALSE(wb.open({}, err));
  }
  {
    // A sheet offset that points outside the stream.
    Workbook wb;
    Worksheet ws;
    auto data = workbook([](Biff&) {}, [](Biff&) {});
    for (size_t i = 0; i + 4 < data.size(); ++i)
      if (data[i] == 0x85 && data[i + 1] == 0x00) {
        data[i + 4] = 0xFF;
        data[i + 5] = 0xFF;
        data[i + 6] = 0xFF;
        break;
      }
    ASSERT_TRUE(wb.open(data, err));
    EXPECT_FALSE(wb.load_sheet(0, ws, err));
  }
}

TEST(Biff, HeaderNamesUniqueAndPositional) {
  auto data = workbook([](Biff&) {}, [](Biff& b) {
    auto label = [&](uint16_t col, const std::string& s) {
      auto l = Biff::cell(2, col, 0);
      Biff::p16(l, static_cast<uint16_t>(s.size()));
      l.push_back(0);
      l.insert(l.end(), s.begin(), s.end());
      b.rec(0x0204, l);
    };
    label(1, "x");
    label(3, "X");
    label(4, "x1");
    auto n = Biff::cell(3, 5, 0);
    Biff::pdbl(n, 1);
    b.rec(0x0203, n);
  });
  Loaded l;
  load(data, l);
  // The block starts at row 2 and column 1 (the first cells that hold values).
  EXPECT_EQ(SheetResult::header_names(l.wb, l.ws), (std::vector<std::string>{"x", "F2", "X2", "x1", "F5"}));
}

}  // namespace

namespace {

TEST(Biff, HeaderNamesCutTo64Characters) {
  // Header texts longer than 64 characters are cut to 64 whole characters (a surrogate pair
  // counts as one), then made unique with a suffix that keeps within the limit.
  const std::u16string a64(64, u'a');
  std::vector<std::u16string> heads = {a64 + u"TAIL one", a64 + u"TAIL two", std::u16string(32770, u'b'),
                                       std::u16string(63, u'x') + u"中文", u""};
  for (int i = 0; i < 70; ++i) heads[4] += u"😀";
  auto data = workbook([](Biff&) {}, [&](Biff& b) {
    for (uint16_t col = 0; col < heads.size(); ++col) {
      // A LABEL record holds at most 8224 bytes: the long one goes through the shared strings
      // in real files; here a STRING-less LABEL of UTF-16 split over CONTINUE records.
      const std::u16string& h = heads[col];
      std::vector<uint8_t> body = Biff::cell(0, col, 0);
      Biff::p16(body, static_cast<uint16_t>(h.size()));
      body.push_back(1);
      std::vector<uint8_t> chars;
      for (char16_t u : h) Biff::p16(chars, u);
      size_t first = std::min(chars.size(), size_t(8000));
      body.insert(body.end(), chars.begin(), chars.begin() + first);
      b.rec(0x0204, body);
      for (size_t at = first; at < chars.size(); at += 8000) {
        std::vector<uint8_t> cont = {1};
        cont.insert(cont.end(), chars.begin() + at, chars.begin() + std::min(chars.size(), at + 8000));
        b.rec(0x003C, cont);
      }
    }
  });
  Loaded l;
  load(data, l);
  std::string smiles;
  for (int i = 0; i < 64; ++i) smiles += "😀";
  EXPECT_EQ(SheetResult::header_names(l.wb, l.ws),
            (std::vector<std::string>{std::string(64, 'a'), std::string(63, 'a') + "1", std::string(64, 'b'),
                                      std::string(63, 'x') + "中", smiles}));
}

}  // namespace
