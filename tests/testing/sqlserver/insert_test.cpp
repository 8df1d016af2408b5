// Inserts with literal values of every type, read back through the server and from the
// SQLite file: values come back exactly as SQL Server would show them.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "shared_standin.h"

namespace {

struct Case {
  const char* type;
  const char* literal;
  const char* shown;  // nullptr: NULL
};

// Each case gets its own one-column table, so one failure names one type and literal.
const Case kCases[] = {
    {"int", "12", "12"},
    {"int", "'12'", "12"},
    {"int", "' 42 '", "42"},
    {"int", "12.7", "12"},
    {"int", "-12.7", "-12"},
    {"int", "-2147483648", "-2147483648"},
    {"int", "0x0000010F", "271"},
    {"bigint", "5000000000", "5000000000"},
    {"bigint", "-9223372036854775808", "-9223372036854775808"},
    {"smallint", "-32768", "-32768"},
    {"tinyint", "255", "255"},
    {"bit", "1", "1"},
    {"bit", "5", "1"},
    {"bit", "'true'", "1"},
    {"bit", "'0'", "0"},
    {"decimal(10,2)", "1234.5", "1234.50"},
    {"decimal(10,2)", "1234.567", "1234.57"},
    {"decimal(10,2)", "-0.005", "-0.01"},
    {"decimal(10,2)", "'12.5'", "12.50"},
    {"decimal(38,10)", "12345678901234567890.1234567891", "12345678901234567890.1234567891"},
    {"decimal(12,8)", "116.40739812", "116.40739812"},
    {"numeric(5,0)", "99999", "99999"},
    {"numeric(18,4)", "0.0000001", "0.0000"},
    {"money", "1234.5", "1234.5000"},
    {"money", "'$1,234.56'", "1234.5600"},
    {"money", "-922337203685477.5808", "-922337203685477.5808"},
    {"smallmoney", "214748.3647", "214748.3647"},
    {"float", "116.40739812", "116.40739812"},
    {"float", "0.1", "0.1"},
    {"float", "1e300", "1e+300"},
    {"float", "'2.5E3'", "2500"},
    {"real", "1.1", "1.1"},
    {"datetime", "'2004-01-01'", "2004-01-01 00:00:00.000"},
    {"datetime", "'2004-01-02T10:00:00'", "2004-01-02 10:00:00.000"},
    {"datetime", "'2004-01-02 10:00:00'", "2004-01-02 10:00:00.000"},
    {"datetime", "'20040102'", "2004-01-02 00:00:00.000"},
    {"datetime", "'01/02/2004 13:05'", "2004-01-02 13:05:00.000"},
    {"datetime", "'1/2/04 1:05:09 PM'", "2004-01-02 13:05:09.000"},
    {"datetime", "'2004.01.02'", "2004-01-02 00:00:00.000"},
    {"datetime", "'13:05:00'", "1900-01-01 13:05:00.000"},
    {"datetime", "'2004-01-01 10:00:00.002'", "2004-01-01 10:00:00.003"},
    {"datetime", "'2004-01-01 10:00:00.005'", "2004-01-01 10:00:00.007"},
    {"datetime", "'2004-12-31 23:59:59.999'", "2005-01-01 00:00:00.000"},
    {"datetime", "'2000-02-29'", "2000-02-29 00:00:00.000"},
    {"datetime", "N'1753-01-01'", "1753-01-01 00:00:00.000"},
    {"smalldatetime", "'2004-01-01 10:00:29'", "2004-01-01 10:00:00"},
    {"smalldatetime", "'2004-01-01 10:00:30'", "2004-01-01 10:01:00"},
    {"smalldatetime", "'2079-06-06 23:59'", "2079-06-06 23:59:00"},
    {"date", "'2004-01-02T10:00:00'", "2004-01-02"},
    {"char(5)", "'ab'", "ab   "},
    {"varchar(10)", "'abc'", "abc"},
    {"varchar(10)", "'O''Brien'", "O'Brien"},
    {"varchar(40)", "'x''); delete from T;--'", "x'); delete from T;--"},
    {"varchar(4)", "'中文'", "中文"},
    {"varchar(5)", "'abc    '", "abc  "},
    {"varchar(10)", "12.50", "12.50"},
    {"nchar(3)", "N'中'", "中  "},
    {"nvarchar(20)", "N'北京市, 海淀区'", "北京市, 海淀区"},
    {"nvarchar(3)", "N'中文字'", "中文字"},
    {"nvarchar", "N'没有长度限制'", "没有长度限制"},
    {"text", "'long text'", "long text"},
    {"ntext", "N'长文本'", "长文本"},
    {"uniqueidentifier", "'6f9619ff-8b86-d011-b42d-00c04fc964ff'",
     "6F9619FF-8B86-D011-B42D-00C04FC964FF"},
    {"uniqueidentifier", "'{6F9619FF-8B86-D011-B42D-00C04FC964FF}'",
     "6F9619FF-8B86-D011-B42D-00C04FC964FF"},
    {"binary(4)", "0x0102", "0x01020000"},
    {"varbinary(10)", "0xabcdef", "0xABCDEF"},
    {"varbinary(10)", "258", "0x00000102"},
    {"varbinary(10)", "NULL", nullptr},
    {"image", "0x00FF", "0x00FF"},
    {"sql_variant", "'007'", "007"},
    {"int", "NULL", nullptr},
};

class InsertTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string script;
    for (size_t i = 0; i < sizeof kCases / sizeof kCases[0]; ++i)
      script += "create table v" + std::to_string(i) + " (v " + kCases[i].type + ")\nGO\n";
    script +=
        "create table [员工] (id int identity(1,1) not null, 编号 int, 姓名 nvarchar(50), "
        "城市 nvarchar(100), 入职日期 datetime, 工资 decimal(10,2), Note varchar(200))\nGO\n"
        "create table Stepped (id int identity(100,10), v int)\nGO\n"
        "create table Stamped (v int, ts timestamp)\nGO\n"
        "create table Defaults (v int, d varchar(10) not null default 'none')\n";
    shared_standin().run_script("inserts", script);
  }
};

TEST_F(InsertTest, EveryTypeReadsBackAsSqlServerShowsIt) {
  Connected c("inserts");
  ASSERT_TRUE(c.login.ok) << c.login.message;
  for (size_t i = 0; i < sizeof kCases / sizeof kCases[0]; ++i) {
    const Case& k = kCases[i];
    std::string table = "v" + std::to_string(i);
    Outcome in = c.client.run("insert into " + table + "(v) values(" + k.literal + ");");
    ASSERT_TRUE(in.ok) << k.type << " " << k.literal << ": " << in.message;
    EXPECT_EQ(in.row_count, 1);
    Outcome out = c.client.run("select v from " + table);
    ASSERT_EQ(out.rows.size(), 1u) << k.type << " " << k.literal;
    if (k.shown)
      EXPECT_EQ(out.rows[0][0], std::optional<std::string>(k.shown)) << k.type << " " << k.literal;
    else
      EXPECT_EQ(out.rows[0][0], std::nullopt) << k.type << " " << k.literal;
  }
}

TEST_F(InsertTest, TheWorkbookRowLandsExactlyInTheSqliteFile) {
  Connected c("inserts");
  ASSERT_TRUE(c.login.ok);
  Outcome in = c.client.run(
      "insert into 员工(编号,姓名,城市,入职日期,工资,Note) values(7,N'张三',N'北京市, 海淀区',"
      "'2004-01-02T10:00:00',1234.5,'x''y');");
  ASSERT_TRUE(in.ok) << in.message;
  ASSERT_TRUE(c.client.run("insert into [员工]([编号],[姓名]) values(8,N'李四')").ok);

  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open((shared_standin().data_dir() + "/inserts.sqlite").c_str(), &db),
            SQLITE_OK);
  sqlite3_stmt* st = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db,
                               "select id, 编号, 姓名, 城市, 入职日期, cast(工资 as text), Note "
                               "from 员工 order by id",
                               -1, &st, nullptr),
            SQLITE_OK);
  std::vector<std::vector<std::string>> rows;
  while (sqlite3_step(st) == SQLITE_ROW) {
    std::vector<std::string> row;
    for (int i = 0; i < 7; ++i) {
      const unsigned char* t = sqlite3_column_text(st, i);
      row.push_back(t ? reinterpret_cast<const char*>(t) : "<NULL>");
    }
    rows.push_back(row);
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"1", "7", "张三", "北京市, 海淀区",
                                               "2004-01-02 10:00:00.000", "1234.50", "x'y"}));
  EXPECT_EQ(rows[1], (std::vector<std::string>{"2", "8", "李四", "<NULL>", "<NULL>", "<NULL>",
                                               "<NULL>"}));
}

TEST_F(InsertTest, IdentityFollowsSeedAndIncrementAndIsReported) {
  Connected c("inserts");
  ASSERT_TRUE(c.login.ok);
  for (int v = 1; v <= 3; ++v)
    ASSERT_TRUE(c.client.run("insert into Stepped(v) values(" + std::to_string(v) + ")").ok);
  Outcome out = c.client.run("select id, v from Stepped order by id");
  ASSERT_EQ(out.rows.size(), 3u);
  EXPECT_EQ(out.rows[0][0], "100");
  EXPECT_EQ(out.rows[2][0], "120");
  EXPECT_EQ(c.client.value("select scope_identity()"), "120");
  // Without a column list the identity column is left out of the values.
  ASSERT_TRUE(c.client.run("insert into Stepped values(4)").ok);
  EXPECT_EQ(c.client.value("select @@identity"), "130");
  // IDENTITY_INSERT lets an explicit value in; the next generated one follows it.
  ASSERT_TRUE(c.client.run("set identity_insert Stepped on").ok);
  ASSERT_TRUE(c.client.run("insert into Stepped(id, v) values(500, 5)").ok);
  ASSERT_TRUE(c.client.run("set identity_insert Stepped off").ok);
  ASSERT_TRUE(c.client.run("insert into Stepped(v) values(6)").ok);
  EXPECT_EQ(c.client.value("select id from Stepped where v = 6"), "510");
}

TEST_F(InsertTest, TimestampAndDefaultsAreFilledByTheServer) {
  Connected c("inserts");
  ASSERT_TRUE(c.login.ok);
  ASSERT_TRUE(c.client.run("insert into Stamped(v) values(1), (2)").ok);
  Outcome out = c.client.run("select ts from Stamped order by v");
  ASSERT_EQ(out.rows.size(), 2u);
  EXPECT_EQ(out.rows[0][0]->size(), 18u);  // 0x and 8 bytes
  EXPECT_NE(out.rows[0][0], out.rows[1][0]);
  ASSERT_TRUE(c.client.run("insert into Defaults(v) values(1)").ok);
  EXPECT_EQ(c.client.value("select d from Defaults"), "none");
}

TEST_F(InsertTest, MultiRowInsertCountsEveryRow) {
  Connected c("inserts");
  ASSERT_TRUE(c.login.ok);
  ASSERT_TRUE(c.client.run("create table Multi (a int, b nvarchar(5))").ok);
  Outcome out = c.client.run("insert into Multi values(1, N'一'), (2, N'二'), (3, NULL)");
  ASSERT_TRUE(out.ok) << out.message;
  EXPECT_EQ(out.row_count, 3);
  EXPECT_EQ(c.client.value("select count(*) from Multi where b is null"), "1");
}

TEST_F(InsertTest, LongValuesCrossSeveralPacketsBothWays) {
  Connected c("inserts");
  ASSERT_TRUE(c.login.ok);
  ASSERT_TRUE(c.client.run("create table Long (t ntext, v varchar(10))").ok);
  std::string text;
  for (int i = 0; i < 3000; ++i) text += i % 7 ? "汉" : "a'";
  std::string escaped;
  for (char ch : text) escaped += ch == '\'' ? std::string("''") : std::string(1, ch);
  Outcome in = c.client.run("insert into Long(t, v) values(N'" + escaped + "', 'end')");
  ASSERT_TRUE(in.ok) << in.message;
  Outcome out = c.client.run("select t, v from Long");
  ASSERT_EQ(out.rows.size(), 1u);
  EXPECT_EQ(out.rows[0][0], text);
  EXPECT_EQ(out.rows[0][1], "end");
}

}  // namespace
