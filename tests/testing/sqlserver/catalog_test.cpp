// The catalogue queries the program sends, answered from the SQLite schema: user tables in
// name order, columns with their xtype codes, the identity column; quoted names.
#include <gtest/gtest.h>

#include <map>

#include "shared_standin.h"

namespace {

const char* const kSchema = R"(
create table AllTypes (
  c_int int, c_bigint bigint, c_smallint smallint, c_tinyint tinyint, c_bit bit,
  c_decimal decimal(10,2), c_numeric numeric(12,3), c_money money, c_smallmoney smallmoney,
  c_float float, c_real real, c_datetime datetime, c_smalldatetime smalldatetime,
  c_char char(10), c_varchar varchar(50), c_nchar nchar(10), c_nvarchar nvarchar(50),
  c_text text, c_ntext ntext, c_guid uniqueidentifier, c_binary binary(8),
  c_varbinary varbinary(50), c_image image, c_timestamp timestamp, c_variant sql_variant,
  c_date date, c_xml xml)
GO
create table [员工] (id int identity(1,1) not null, 编号 int, 姓名 nvarchar(50))
GO
create table orders (OrderID int identity(100,10), Customer nvarchar(40))
GO
create table Zebra (a int)
GO
create table [my table] (x int)
GO
create table [O'Brien] (y int)
GO
create table OnlyIdentity (id bigint identity)
GO
create table 城市 (名称 nvarchar(20))
)";

class CatalogTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    shared_standin().run_script("catalog", kSchema);
    shared_standin().run_script("my db", "create table T1 (a int)");
  }
  static std::vector<std::string> first_column(const Outcome& out) {
    std::vector<std::string> v;
    for (const Row& r : out.rows) v.push_back(r[0].value_or("<NULL>"));
    return v;
  }
};

TEST_F(CatalogTest, UserTablesComeInNameOrderEnglishThenChineseByPinyin) {
  Connected c("catalog");
  ASSERT_TRUE(c.login.ok) << c.login.message;
  Outcome out =
      c.client.run("select name from catalog..sysobjects where XType='U' order by name asc;");
  ASSERT_TRUE(out.ok) << out.message;
  // Case-insensitive order; 城市 (cheng) before 员工 (yuan).
  EXPECT_EQ(first_column(out),
            (std::vector<std::string>{"AllTypes", "my table", "O'Brien", "OnlyIdentity", "orders",
                                      "Zebra", "城市", "员工"}));
}

TEST_F(CatalogTest, ColumnsCarryTheirXtypeCodesInNameOrder) {
  Connected c("catalog");
  ASSERT_TRUE(c.login.ok);
  Outcome out = c.client.run(
      "select name,xtype from SysColumns where id=Object_Id('AllTypes') order by name asc;");
  ASSERT_TRUE(out.ok) << out.message;
  std::map<std::string, std::string> xtype;
  std::vector<std::string> order;
  for (const Row& r : out.rows) {
    xtype[*r[0]] = *r[1];
    order.push_back(*r[0]);
  }
  const std::map<std::string, std::string> expected = {
      {"c_int", "56"},       {"c_bigint", "127"},   {"c_smallint", "52"},  {"c_tinyint", "48"},
      {"c_bit", "104"},      {"c_decimal", "106"},  {"c_numeric", "108"},  {"c_money", "60"},
      {"c_smallmoney", "122"}, {"c_float", "62"},   {"c_real", "59"},      {"c_datetime", "61"},
      {"c_smalldatetime", "58"}, {"c_char", "175"}, {"c_varchar", "167"},  {"c_nchar", "239"},
      {"c_nvarchar", "231"}, {"c_text", "35"},      {"c_ntext", "99"},     {"c_guid", "36"},
      {"c_binary", "173"},   {"c_varbinary", "165"}, {"c_image", "34"},    {"c_timestamp", "189"},
      {"c_variant", "98"},   {"c_date", "40"},      {"c_xml", "241"}};
  EXPECT_EQ(xtype, expected);
  EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
}

TEST_F(CatalogTest, IdentityQueryNamesTheIdentityColumnOnly) {
  Connected c("catalog");
  ASSERT_TRUE(c.login.ok);
  auto identity = [&](const std::string& table) {
    return first_column(c.client.run(
        "select name from syscolumns where id=object_id('" + table +
        "') and columnproperty(id,name,'isidentity')=1;"));
  };
  EXPECT_EQ(identity("员工"), std::vector<std::string>{"id"});
  EXPECT_EQ(identity("orders"), std::vector<std::string>{"OrderID"});
  EXPECT_EQ(identity("OnlyIdentity"), std::vector<std::string>{"id"});
  EXPECT_TRUE(identity("Zebra").empty());
  EXPECT_TRUE(identity("NoSuchTable").empty());
  // Chinese column names come back intact.
  Outcome cols = c.client.run(
      "select name,xtype from SysColumns where id=Object_Id('员工') order by name asc;");
  EXPECT_EQ(first_column(cols), (std::vector<std::string>{"id", "编号", "姓名"}));
}

TEST_F(CatalogTest, QuotedNamesAreUnderstood) {
  Connected c("catalog");
  ASSERT_TRUE(c.login.ok);
  auto columns = [&](const std::string& literal) {
    return first_column(c.client.run("select name,xtype from SysColumns where id=Object_Id('" +
                                     literal + "') order by name asc;"));
  };
  EXPECT_EQ(columns("[my table]"), std::vector<std::string>{"x"});
  EXPECT_EQ(columns("dbo.[my table]"), std::vector<std::string>{"x"});
  EXPECT_EQ(columns("O''Brien"), std::vector<std::string>{"y"});
  EXPECT_EQ(columns("[O''Brien]"), std::vector<std::string>{"y"});
  EXPECT_EQ(columns("catalog..ZEBRA"), std::vector<std::string>{"a"});
  EXPECT_EQ(columns("\"my table\""), std::vector<std::string>{"x"});
  // object_id takes a plain part as written, spaces inside included.
  EXPECT_EQ(columns("my table"), std::vector<std::string>{"x"});
  EXPECT_TRUE(columns("[my table").empty());

  Outcome spaced =
      c.client.run("select name from [my db]..sysobjects where XType='U' order by name asc;");
  ASSERT_TRUE(spaced.ok) << spaced.message;
  EXPECT_EQ(first_column(spaced), std::vector<std::string>{"T1"});
  // The same database name without brackets is a syntax error, as on SQL Server.
  EXPECT_TRUE(c.client.run("select name from my db..sysobjects where XType='U' order by name asc;")
                  .has(102));
  // A quote left single breaks the statement.
  EXPECT_TRUE(c.client.run("select name,xtype from SysColumns where id=Object_Id('O'Brien')")
                  .has(105));
}

TEST_F(CatalogTest, UnknownDatabaseInTheTableQueryIs911) {
  Connected c("catalog");
  ASSERT_TRUE(c.login.ok);
  Outcome out = c.client.run("select name from nowhere..sysobjects where XType='U'");
  EXPECT_FALSE(out.ok);
  EXPECT_TRUE(out.has(911)) << out.message;
}

TEST_F(CatalogTest, NewTablesAppearWithoutRestart) {
  Connected c("catalog");
  ASSERT_TRUE(c.login.ok);
  ASSERT_TRUE(c.client.run("create table Later (v varchar(3))").ok);
  EXPECT_EQ(c.client.value("select count(*) from sysobjects where name = 'later'"), "1");
  ASSERT_TRUE(c.client.run("drop table Later").ok);
  EXPECT_EQ(c.client.value("select count(*) from sysobjects where name = 'later'"), "0");
}

}  // namespace
