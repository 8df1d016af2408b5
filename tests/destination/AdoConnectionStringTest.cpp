// ADO-style connection strings: parsing, quoting, and the ODBC string each driver is given.
#include "framework/AdoConnectionString.h"
#include <gtest/gtest.h>

namespace {
std::vector<CConnectionAttribute> Parse(const char* text)
{
    std::vector<CConnectionAttribute> attributes;
    CString error;
    EXPECT_TRUE(ParseConnectionString(text, attributes, error)) << text << ": " << error.GetString();
    return attributes;
}

CString FreeTds(const char* server, const char* database = "db", const char* user = "sa", const char* password = "pw",
                UINT codePage = 936)
{
    CString odbc, error;
    EXPECT_TRUE(BuildOdbcConnectionString("FreeTDS", {server, database, user, password}, codePage, odbc, error))
        << error.GetString();
    return odbc;
}

bool FreeTdsRefuses(const char* password)
{
    CString odbc, error;
    bool built = BuildOdbcConnectionString("FreeTDS", {"h", "db", "sa", password}, 936, odbc, error);
    return !built && error.Find("PWD") >= 0;
}
}

TEST(AdoConnectionStringTest, TheProgramsStringGivesItsFourValues)
{
    auto a = Parse("Provider=SQLOLEDB;Server=(local);DATABASE=demo;UID=sa;PWD=");
    CSqlServerLogin login = SqlServerLoginFromAttributes(a);
    EXPECT_STREQ("(local)", login.server);
    EXPECT_STREQ("demo", login.database);
    EXPECT_STREQ("sa", login.user);
    EXPECT_STREQ("", login.password);
    // Other spellings of the names, any case; values keep their spaces.
    login = SqlServerLoginFromAttributes(Parse("data source=h;Initial Catalog= d ;User ID=u;password=p q "));
    EXPECT_STREQ("h", login.server);
    EXPECT_STREQ(" d ", login.database);
    EXPECT_STREQ("u", login.user);
    EXPECT_STREQ("p q ", login.password);
}

TEST(AdoConnectionStringTest, QuotedValuesComeBackAsTheyWereTyped)
{
    for (const char* value : {"plain", "", " spaced ", "a;b", "a=b", "{ab", "a}b", "{a}", "a;}b", "}};{{", "it's \"q\"",
                              "数据;库"}) {
        CString text = "PWD=" + QuoteConnectionValue(value) + ";UID=x";
        auto a = Parse(text);
        ASSERT_EQ(2u, a.size()) << text.GetString();
        EXPECT_STREQ(value, a[0].value) << text.GetString();
        EXPECT_STREQ("x", a[1].value);
    }
    // A double-byte character whose trail byte is '}' (皚 is B0 7D under code page 936) stays
    // one character, in a braced value and in a plain one.
    for (const char* value : {"皚;x", "x;皚", "皚", "{皚", "}皚;"}) {
        CString text = "PWD=" + QuoteConnectionValue(value) + ";UID=x";
        auto a = Parse(text);
        ASSERT_EQ(2u, a.size()) << value;
        EXPECT_STREQ(value, a[0].value);
    }
    // Values that need nothing stay exactly as typed.
    EXPECT_STREQ("a=b}'\"", QuoteConnectionValue("a=b}'\""));
    EXPECT_STREQ("{a;b}", QuoteConnectionValue("a;b"));
    EXPECT_STREQ("{{a}}}", QuoteConnectionValue("{a}"));
}

TEST(AdoConnectionStringTest, MalformedBracesAreRefused)
{
    std::vector<CConnectionAttribute> a;
    CString error;
    EXPECT_FALSE(ParseConnectionString("PWD={abc;UID=x", a, error));
    EXPECT_FALSE(ParseConnectionString("PWD={a}b;UID=x", a, error));
    EXPECT_TRUE(ParseConnectionString(";;junk;PWD=1", a, error));
    ASSERT_EQ(1u, a.size());
    EXPECT_STREQ("1", a[0].value);
}

TEST(AdoConnectionStringTest, DriverChoicePrefersMicrosoftsDriversOverFreeTds)
{
    EXPECT_STREQ("FreeTDS", ChooseSqlServerDriver({"SheetMover Excel Driver (*.xls)", "FreeTDS"}));
    EXPECT_STREQ("ODBC Driver 17 for SQL Server",
                 ChooseSqlServerDriver({"FreeTDS", "SQL Server", "ODBC Driver 17 for SQL Server"}));
    EXPECT_STREQ("SQL Server", ChooseSqlServerDriver({"FreeTDS", "SQL Server"}));
    EXPECT_STREQ("", ChooseSqlServerDriver({"SheetMover Excel Driver (*.xls)"}));
}

TEST(AdoConnectionStringTest, FreeTdsGetsHostPortCharsetAndPlainValuesLast)
{
    for (const char* local : {"(local)", ".", "localhost", "LOCALHOST", ""})
        EXPECT_STREQ("DRIVER={FreeTDS};SERVER=127.0.0.1;PORT=1433;DATABASE=db;UID=sa;PWD=pw;TDS_Version=7.4;"
                     "ClientCharset=CP936",
                     FreeTds(local))
            << local;
    EXPECT_STREQ("DRIVER={FreeTDS};SERVER=127.0.0.1;PORT=14330;DATABASE=db;UID=sa;PWD=pw;TDS_Version=7.4;"
                 "ClientCharset=CP936",
                 FreeTds("(local),14330"));
    EXPECT_STREQ("DRIVER={FreeTDS};SERVER=db.example;PORT=1500;UID=sa;PWD=pw;TDS_Version=7.4;ClientCharset=CP1252",
                 FreeTds("tcp:db.example,1500", "", "sa", "pw", 1252));
    // An instance is found through the server's browser service: no port.
    EXPECT_STREQ("DRIVER={FreeTDS};SERVER=10.0.0.5\\SQLEXPRESS;DATABASE=db;UID=sa;PWD=pw;TDS_Version=7.4;"
                 "ClientCharset=UTF-8",
                 FreeTds("10.0.0.5\\SQLEXPRESS", "db", "sa", "pw", CP_UTF8));
    EXPECT_STREQ("DRIVER={FreeTDS};SERVER=127.0.0.1\\INST;DATABASE=db;UID=sa;PWD=pw;TDS_Version=7.4;"
                 "ClientCharset=CP936",
                 FreeTds("(local)\\INST"));
}

TEST(AdoConnectionStringTest, FreeTdsValuesAreBracedOnlyWhenTheyMustBe)
{
    EXPECT_STREQ("DRIVER={FreeTDS};SERVER=127.0.0.1;PORT=1433;DATABASE={my;db};UID= sa ;PWD={{a=b;'\"};"
                 "TDS_Version=7.4;ClientCharset=CP936",
                 FreeTds(".", "my;db", " sa ", "{a=b;'\""));
    EXPECT_STREQ("DRIVER={FreeTDS};SERVER=127.0.0.1;PORT=1433;DATABASE=db;UID=sa;PWD=a}b=c;TDS_Version=7.4;"
                 "ClientCharset=CP936",
                 FreeTds(".", "db", "sa", "a}b=c"));
    // FreeTDS would cut or keep braces of these: refused rather than sent changed.
    EXPECT_TRUE(FreeTdsRefuses("a;}b"));
    EXPECT_TRUE(FreeTdsRefuses("a};b"));
    EXPECT_TRUE(FreeTdsRefuses("{a}"));
    EXPECT_FALSE(FreeTdsRefuses("a}"));
}

TEST(AdoConnectionStringTest, MicrosoftDriversGetStandardBraces)
{
    CString odbc, error;
    ASSERT_TRUE(BuildOdbcConnectionString("ODBC Driver 17 for SQL Server", {"(local)", "db", "sa", "a;}b"}, 936, odbc,
                                          error));
    EXPECT_STREQ("DRIVER={ODBC Driver 17 for SQL Server};SERVER={(local)};DATABASE=db;UID=sa;PWD={a;}}b};", odbc);
    ASSERT_TRUE(BuildOdbcConnectionString("ODBC Driver 18 for SQL Server", {"host,1500", "", "sa", " p "}, 936, odbc,
                                          error));
    EXPECT_STREQ("DRIVER={ODBC Driver 18 for SQL Server};SERVER={host,1500};UID=sa;PWD={ p };Encrypt=no;", odbc);
    // A ';' alone is reason enough for braces.
    ASSERT_TRUE(BuildOdbcConnectionString("SQL Server", {"h", "", "sa", "a;b"}, 936, odbc, error));
    EXPECT_STREQ("DRIVER={SQL Server};SERVER=h;UID=sa;PWD={a;b};", odbc);
}
