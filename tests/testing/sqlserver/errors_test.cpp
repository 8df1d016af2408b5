// What SQL Server refuses is refused with its error number, the statement changes nothing,
// and the connection stays usable.
#include <gtest/gtest.h>

#include "shared_standin.h"

namespace {

struct Refusal {
  const char* statement;
  int number;
};

const char* const kSchema = R"(
create table T (i int, b bigint, s smallint, ti tinyint, bt bit, d decimal(5,2),
  m money, sm smallmoney, f float, dt datetime, sdt smalldatetime, g uniqueidentifier,
  vb varbinary(4), bn binary(2), vc varchar(5), nv nvarchar(2), c char(3), dd date)
GO
create table Strict (id int identity(1,1), must nvarchar(10) not null, ts timestamp)
)";

const Refusal kRefusals[] = {
    {"insert into Missing(i) values(1)", 208},
    {"insert into T(nope) values(1)", 207},
    {"insert into T(i) values('abc')", 245},
    {"insert into T(i) values('12.5')", 245},
    {"insert into T(bt) values('yes')", 245},
    {"insert into T(d) values('abc')", 8114},
    {"insert into T(d) values('1e2')", 8114},
    {"insert into T(f) values('abc')", 8114},
    {"insert into T(m) values('abc')", 8114},
    {"insert into T(dt) values('not a date')", 241},
    {"insert into T(dt) values('2004-01-01 10:00:00.1234')", 241},
    {"insert into T(sdt) values('not a date')", 295},
    {"insert into T(g) values('6f9619ff-8b86-d011-b42d')", 8169},
    {"insert into T(g) values('')", 8169},
    {"insert into T(vb) values('abc')", 257},
    {"insert into T(ti) values(300)", 220},
    {"insert into T(ti) values(-1)", 220},
    {"insert into T(s) values(40000)", 220},
    {"insert into T(i) values(5000000000)", 8115},
    {"insert into T(b) values(99999999999999999999)", 8115},
    {"insert into T(d) values(1000)", 8115},
    {"insert into T(d) values(999.995)", 8115},
    {"insert into T(m) values(1000000000000000)", 8115},
    {"insert into T(sm) values(214748.3648)", 8115},
    {"insert into T(dt) values('1700-01-01')", 242},
    {"insert into T(dt) values('2004-02-30')", 242},
    {"insert into T(dt) values('2003-02-29 10:00')", 242},
    {"insert into T(dt) values('2004-01-01 25:00')", 242},
    {"insert into T(sdt) values('2079-06-07')", 298},
    {"insert into T(dd) values('2004-13-01')", 241},
    {"insert into T(vc) values('abcdef')", 8152},
    {"insert into T(nv) values(N'中文字')", 8152},
    {"insert into T(c) values('abcd')", 8152},
    {"insert into T(bn) values(0x010203)", 8152},
    {"insert into Strict(must) values(NULL)", 515},
    {"insert into Strict(id) values(NULL)", 544},
    {"insert into Strict(id, must) values(5, N'x')", 544},
    {"insert into Strict(must, ts) values(N'x', 0x01)", 273},
    {"insert into Strict values(N'x', 1)", 213},
    {"insert into T(i, b) values(1)", 109},
    {"insert into T(i) values(1, 2)", 110},
    {"insert into T(i) values(", 102},
    {"insert into T(i) valuez(1)", 102},
    {"insert into T(i) values('unclosed)", 105},
    {"selec 1", 102},
};

class ErrorsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { shared_standin().run_script("errors", kSchema); }
};

TEST_F(ErrorsTest, EachRefusalCarriesSqlServersNumberAndChangesNothing) {
  Connected c("errors");
  ASSERT_TRUE(c.login.ok) << c.login.message;
  for (const Refusal& r : kRefusals) {
    Outcome out = c.client.run(r.statement);
    EXPECT_FALSE(out.ok) << r.statement;
    EXPECT_TRUE(out.has(r.number)) << r.statement << " gave " << out.message;
  }
  EXPECT_EQ(c.client.value("select count(*) from T"), "0");
  EXPECT_EQ(c.client.value("select count(*) from Strict"), "0");
  // The connection still works after all that.
  EXPECT_TRUE(c.client.run("insert into Strict(must) values(N'ok')").ok);
}

TEST_F(ErrorsTest, MessagesAreWordedAsSqlServerWordsThem) {
  Connected c("errors");
  ASSERT_TRUE(c.login.ok);
  auto message = [&](const std::string& sql) {
    std::string m = c.client.run(sql).message;
    size_t at = m.rfind(']');
    return at == std::string::npos ? m : m.substr(at + 1);
  };
  EXPECT_EQ(message("insert into T(i) values('abc')"),
            "Conversion failed when converting the varchar value 'abc' to data type int.");
  EXPECT_EQ(message("insert into T(ti) values(300)"),
            "Arithmetic overflow error for data type tinyint, value = 300.");
  EXPECT_EQ(message("insert into Nope(i) values(1)"), "Invalid object name 'Nope'.");
  EXPECT_EQ(message("insert into T(zz) values(1)"), "Invalid column name 'zz'.");
  EXPECT_EQ(message("insert into Strict(must) values(NULL)"),
            "Cannot insert the value NULL into column 'must', table 'errors.dbo.Strict'; column "
            "does not allow nulls. INSERT fails.");
  EXPECT_EQ(message("insert into T(vc) values('abcdef')"),
            "String or binary data would be truncated.");
}

TEST_F(ErrorsTest, AnErrorEndsTheBatchBeforeLaterStatements) {
  Connected c("errors");
  ASSERT_TRUE(c.login.ok);
  ASSERT_TRUE(c.client.run("create table Batch (v int)").ok);
  Outcome out = c.client.run(
      "insert into Batch values(1); insert into Batch values('x'); insert into Batch values(3)");
  EXPECT_TRUE(out.has(245) || !out.ok);
  Outcome rows = c.client.run("select v from Batch order by v");
  ASSERT_EQ(rows.rows.size(), 1u);
  EXPECT_EQ(rows.rows[0][0], "1");
}

}  // namespace
