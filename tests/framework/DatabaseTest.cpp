// The ODBC classes over the real .xls driver: connecting, column names, values as text, long
// values, and errors carrying the driver's text.
#include "framework/OdbcStatement.h"
#include "framework/Recordset.h"
#include "source/ExcelDriver.h"
#include "source/Fixtures.h"
#include <gtest/gtest.h>

namespace {
CString ConnectString(const char* fixture)
{
    return "ODBC;DRIVER={" + FindExcelDriver() + "};DSN='';DBQ=" + FixturePath(fixture);
}

// The long Latin cell of values.xls: "00000 00006 00012 ..." cut to 32,767 characters.
CString LongLatin()
{
    CString s;
    char part[8];
    for (int i = 0; s.GetLength() < 32767; i += 6) {
        wsprintfA(part, "%05d ", i);
        s += part;
    }
    return s.Left(32767);
}

// The long Chinese cell: 2,999 characters of a repeated phrase, then one more.
CString LongChinese()
{
    CString s;
    for (int i = 0; i < 600; ++i) s += "中文长文本";
    return s.Left(2999 * 2) + "尾";
}

class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(FindExcelDriver().IsEmpty()) << "no Excel driver installed"; }
};
}

TEST_F(DatabaseTest, OpensFromAConnectStringAndCloses)
{
    CDatabase db;
    EXPECT_FALSE(db.IsOpen());
    EXPECT_TRUE(db.Open(nullptr, FALSE, FALSE, ConnectString("values.xls"), TRUE));
    EXPECT_TRUE(db.IsOpen());
    EXPECT_EQ(0, db.GetConnect().Find("ODBC;DRIVER={"));
    db.Close();
    EXPECT_FALSE(db.IsOpen());
    // The same without the prefix and through OpenEx with the cursor library and read-only.
    CString bare = ConnectString("values.xls").Mid(5);
    EXPECT_TRUE(db.OpenEx(bare, CDatabase::useCursorLib | CDatabase::openReadOnly | CDatabase::noOdbcDialog));
    EXPECT_TRUE(db.IsOpen());
    EXPECT_EQ(0, db.GetConnect().Find("ODBC;"));
}

TEST_F(DatabaseTest, ListsColumnNamesAndReadsRowsAsText)
{
    CDatabase db;
    db.OpenEx(ConnectString("values.xls"));
    CRecordset rs(&db);
    ASSERT_TRUE(rs.Open(CRecordset::forwardOnly, "select * from [Sheet1$];", CRecordset::none));
    ASSERT_EQ(5, rs.GetODBCFieldCount());
    const char* names[] = {"name", "count", "note", "long", "longcn"};
    for (short i = 0; i < 5; ++i) {
        CODBCFieldInfo info;
        rs.GetODBCFieldInfo(i, info);
        EXPECT_STREQ(names[i], info.m_strName) << i;
    }

    ASSERT_FALSE(rs.IsEOF());
    CString v;
    rs.GetFieldValue("count", v);   // any order
    EXPECT_STREQ("12", v);
    rs.GetFieldValue("name", v);
    EXPECT_STREQ("alpha", v);
    rs.GetFieldValue("note", v);    // an empty cell is NULL: empty text
    EXPECT_STREQ("", v);
    rs.GetFieldValue("LONG", v);    // names compare without regard to case
    EXPECT_EQ(32767, v.GetLength());
    EXPECT_TRUE(v == LongLatin());
    rs.GetFieldValue("long", v);    // a second read of the row's value gives it again
    EXPECT_EQ(32767, v.GetLength());
    rs.GetFieldValue("longcn", v);  // longer than one read, split inside a double-byte character
    EXPECT_EQ(6000, v.GetLength());
    EXPECT_TRUE(v == LongChinese());

    rs.MoveNext();
    ASSERT_FALSE(rs.IsEOF());
    rs.GetFieldValue("name", v);
    EXPECT_STREQ("贝塔", v);
    rs.GetFieldValue("count", v);
    EXPECT_STREQ("1.5", v);
    rs.GetFieldValue("note", v);
    EXPECT_STREQ("x", v);
    rs.GetFieldValue(static_cast<short>(4), v);
    EXPECT_STREQ("短", v);

    rs.MoveNext();
    EXPECT_TRUE(rs.IsEOF());
    rs.MoveNext();                  // stays at the end
    EXPECT_TRUE(rs.IsEOF());
    rs.Close();
    EXPECT_FALSE(rs.IsOpen());
}

TEST_F(DatabaseTest, StatementReadsLongValuesWholeAndNullAsNoValue)
{
    // The destination's statement class over the same driver: a piece of a long value that
    // stops a byte short, before a double-byte character, must not bring its NUL along.
    CDatabase db;
    db.OpenEx(ConnectString("values.xls"));
    COdbcStatement statement(db.m_hdbc);
    statement.ExecDirect("select name,note,longcn from [Sheet1$];");
    std::optional<COdbcResult> result = statement.ReadFirstResult();
    ASSERT_TRUE(result);
    ASSERT_EQ(2u, result->rows.size());
    const std::vector<std::optional<CString>>& first = result->rows[0];
    EXPECT_STREQ("alpha", first[0].value_or("(null)"));
    EXPECT_FALSE(first[1]);
    ASSERT_TRUE(first[2]);
    EXPECT_EQ(6000, first[2]->GetLength());
    EXPECT_TRUE(*first[2] == LongChinese());
    EXPECT_STREQ("短", result->rows[1][2].value_or("(null)"));
}

TEST_F(DatabaseTest, SelectedColumnsComeInTheOrderAsked)
{
    CDatabase db;
    db.OpenEx(ConnectString("three_columns.xls"));
    CRecordset rs(&db);
    rs.Open(CRecordset::forwardOnly, "select three,one from [sheet1$];");
    ASSERT_EQ(2, rs.GetODBCFieldCount());
    CODBCFieldInfo info;
    rs.GetODBCFieldInfo(0, info);
    EXPECT_STREQ("three", info.m_strName);
    CString v;
    rs.GetFieldValue("three", v);
    EXPECT_STREQ("2.5", v);
    rs.GetFieldValue("one", v);
    EXPECT_STREQ("1", v);
}

TEST_F(DatabaseTest, AColumnNameLongerThanTheFirstBufferIsListedWhole)
{
    // 64 characters of CJK Extension B are 256 bytes for a client that takes UTF-8 text, one
    // more than the framework's first name buffer: the name listed must select its column.
    CString name;
    for (int i = 0; i < 64; ++i) {
        const char ch[5] = {'\xF0', '\xA0', '\x80', static_cast<char>(0x80 + i), '\0'};
        name += ch;
    }
    CDatabase db;
    db.OpenEx(ConnectString("long_name.xls") + ";Charset=UTF-8");
    CRecordset all(&db);
    ASSERT_TRUE(all.Open(CRecordset::forwardOnly, "select * from [Sheet1$];"));
    CODBCFieldInfo info;
    all.GetODBCFieldInfo(0, info);
    EXPECT_EQ(256, info.m_strName.GetLength());
    EXPECT_TRUE(info.m_strName == name);
    all.Close();

    CRecordset listed(&db);
    ASSERT_TRUE(listed.Open(CRecordset::forwardOnly, "select [" + info.m_strName + "], short from [Sheet1$];"));
    CString v;
    listed.GetFieldValue(info.m_strName, v);
    EXPECT_STREQ("1", v);
}

TEST_F(DatabaseTest, RecordsetOnAClosedDatabaseDeclines)
{
    CDatabase db;
    CRecordset rs(&db);
    EXPECT_FALSE(rs.Open(CRecordset::forwardOnly, "select * from [Sheet1$];"));
    EXPECT_FALSE(rs.IsOpen());
}

TEST_F(DatabaseTest, OdbcErrorsThrowWithTheDriversText)
{
    // Unreadable file: the connection fails.
    CDatabase db;
    try {
        db.OpenEx(ConnectString("corrupt.xls"));
        FAIL() << "a corrupt workbook opened";
    } catch (const CDBException& e) {
        EXPECT_FALSE(e.m_strError.IsEmpty());
        EXPECT_NE('[', e.m_strError.GetAt(0)) << e.m_strError;   // origin tags are split off
        EXPECT_EQ(0, e.m_strStateNativeOrigin.Find("State:")) << e.m_strStateNativeOrigin;
        EXPECT_GT(e.m_strStateNativeOrigin.Find(",Origin:["), 0) << e.m_strStateNativeOrigin;
        EXPECT_EQ(e.m_strError.GetLength() - 1, e.m_strError.Find('\n', e.m_strError.GetLength() - 1));
    }
    EXPECT_FALSE(db.IsOpen());

    // Unknown worksheet: the select fails, naming the sheet.
    db.OpenEx(ConnectString("no_sheet1.xls"));
    CRecordset rs(&db);
    try {
        rs.Open(CRecordset::forwardOnly, "select * from [Sheet1$];");
        FAIL() << "a missing worksheet was selected";
    } catch (const CDBException& e) {
        EXPECT_GE(e.m_strError.Find("Sheet1"), 0) << e.m_strError;
        EXPECT_GE(e.m_strStateNativeOrigin.Find("State:42S02"), 0) << e.m_strStateNativeOrigin;
    }
    EXPECT_FALSE(rs.IsOpen());

    // A syntax error, and an unknown column.
    EXPECT_THROW(rs.Open(CRecordset::forwardOnly, "delete from [Sheet1$]"), CDBException);
    EXPECT_THROW(rs.Open(CRecordset::forwardOnly, "select nosuch from [Data$]"), CDBException);

    // A column the result does not have.
    ASSERT_TRUE(rs.Open(CRecordset::forwardOnly, "select * from [Data$]"));
    CString v;
    EXPECT_THROW(rs.GetFieldValue("nosuch", v), CDBException);
}

TEST_F(DatabaseTest, MissingDriverNameThrowsWithTheDriverManagersText)
{
    // What answers an empty driver name is the driver manager's choice (unixODBC here hands
    // the attributes to another installed driver, which refuses them); the open must fail
    // with a text either way.
    CDatabase db;
    try {
        db.OpenEx(CString("ODBC;DRIVER={};DSN='';DBQ=") + FixturePath("values.xls"));
        FAIL() << "connected without a driver";
    } catch (const CDBException& e) {
        EXPECT_FALSE(e.m_strError.IsEmpty());
        EXPECT_EQ(0, e.m_strStateNativeOrigin.Find("State:")) << e.m_strStateNativeOrigin;
    }
    EXPECT_FALSE(db.IsOpen());
}
