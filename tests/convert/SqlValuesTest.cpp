// Cell texts turned into SQL values: nothing cut, rounded, wrapped or left unescaped.
#include "convert/SqlValues.h"
#include "framework/OleDateTime.h"
#include <gtest/gtest.h>
#include <vector>

namespace {
CString Norm(const char* text)
{
    CString out;
    return NormalizeNumber(text, out) ? out : CString("<not a number>");
}
CString Value(int xtype, const char* cell) { return FormatSqlValue(GetTypeClass(xtype), cell); }
}

TEST(SqlValuesTest, TypeTableRowsAndClasses)
{
    EXPECT_EQ(0, GetTypeClass(104));
    EXPECT_EQ(12, GetTypeClass(61));
    EXPECT_EQ(24, GetTypeClass(35));
    EXPECT_EQ(-1, GetTypeClass(241));
    EXPECT_EQ(-1, GetTypeClass(0));
    EXPECT_EQ(ValueClass::Integer, ClassOfTypeRow(GetTypeClass(56)));
    EXPECT_EQ(ValueClass::Date, ClassOfTypeRow(GetTypeClass(58)));
    EXPECT_EQ(ValueClass::Decimal, ClassOfTypeRow(GetTypeClass(60)));
    EXPECT_EQ(ValueClass::Text, ClassOfTypeRow(GetTypeClass(167)));
}

TEST(SqlValuesTest, NumbersKeepTheirOwnDigitsInPositionalNotation)
{
    EXPECT_STREQ("12", Norm("12"));
    EXPECT_STREQ("1234.50", Norm(" 1,234.50 "));
    EXPECT_STREQ("1234567", Norm("1,234,567"));
    EXPECT_STREQ("-12.7", Norm("-12.7"));
    EXPECT_STREQ("5", Norm("+5"));
    EXPECT_STREQ("0.0000001", Norm("0.0000001"));
    EXPECT_STREQ("0.0000001", Norm("1e-7"));
    EXPECT_STREQ("0.00000015", Norm("1.5E-7"));
    EXPECT_STREQ("1500", Norm("1.5e3"));
    EXPECT_STREQ("15.0", Norm("1.50e1"));
    EXPECT_STREQ("100000000000000000000", Norm("1e20"));
    EXPECT_STREQ("116.40739812", Norm("116.40739812"));
    EXPECT_STREQ("5000000000", Norm("5000000000"));
    EXPECT_STREQ("0.5", Norm(".5"));
    EXPECT_STREQ("7", Norm("007"));
}

TEST(SqlValuesTest, TextsThatAreNotNumbers)
{
    for (const char* text : {"12abc", "1,2,3", "12,34", ",123", "1,2345", "", " ", "-", "e5", "1e", "1.2.3", "0x1F", "１２"})
        EXPECT_STREQ("<not a number>", Norm(text)) << text;
}

TEST(SqlValuesTest, IntegerColumnsTakeTheIntegerPartWithoutWrapping)
{
    EXPECT_STREQ("12", Value(56, "12.7"));
    EXPECT_STREQ("-12", Value(56, "-12.7"));
    EXPECT_STREQ("0", Value(56, "-0.5"));
    EXPECT_STREQ("5000000000", Value(127, "5000000000"));
    EXPECT_STREQ("1234", Value(56, "1,234"));
    EXPECT_STREQ("0", Value(56, ""));
    EXPECT_STREQ("1", Value(104, "1"));
    // Not a number: the server converts it or refuses it, never a silent 0.
    EXPECT_STREQ("'12abc'", Value(56, "12abc"));
}

TEST(SqlValuesTest, DecimalColumnsTakeTheWholeNumber)
{
    EXPECT_STREQ("116.40739812", Value(106, "116.40739812"));
    EXPECT_STREQ("0.0000001", Value(62, "1e-7"));
    EXPECT_STREQ("1234.50", Value(60, "1,234.50"));
    EXPECT_STREQ("0.000000", Value(106, ""));
    EXPECT_STREQ("'abc'", Value(106, "abc"));
}

TEST(SqlValuesTest, TextIsQuotedWholeWithQuotesDoubled)
{
    EXPECT_STREQ("'北京市, 海淀区'", Value(167, "北京市, 海淀区"));
    EXPECT_STREQ("'O''Brien'", Value(175, "O'Brien"));
    EXPECT_STREQ("'x''); delete from T;--'", Value(35, "x'); delete from T;--"));
    EXPECT_STREQ("N'张三'", Value(231, "张三"));
    EXPECT_STREQ("N'乚''乗'", Value(239, "乚'乗"));
    EXPECT_STREQ("N''", Value(99, ""));
    EXPECT_STREQ("''", Value(167, ""));
}

TEST(SqlValuesTest, GuidVariantAndBinaryValues)
{
    EXPECT_STREQ("'6F9619FF-8B86-D011-B42D-00C04FC964FF'", Value(36, "6F9619FF-8B86-D011-B42D-00C04FC964FF"));
    EXPECT_STREQ("NULL", Value(36, ""));
    EXPECT_STREQ("'12'", Value(98, "12"));
    EXPECT_STREQ("NULL", Value(98, ""));
    EXPECT_STREQ("0x1F2e", Value(165, "0x1F2e"));
    EXPECT_STREQ("255", Value(173, "255"));
    EXPECT_STREQ("'abc'", Value(34, "abc"));
    EXPECT_STREQ("NULL", Value(173, ""));
}

TEST(SqlValuesTest, DatesGoAsIsoTextOfWhatTheParserRead)
{
    EXPECT_STREQ("'2004-01-02T00:00:00'", Value(61, "2004-01-02"));
    EXPECT_STREQ("'2004-01-02T10:00:00'", Value(58, "2004-01-02 10:00:00"));
    EXPECT_STREQ("'1900-01-01T13:05:00'", Value(61, "13:05:00"));
    EXPECT_STREQ("'1900-01-01T22:30:00'", Value(61, "10:30 PM"));
    // The day the parser puts a time alone on, written out: it stays that day.
    EXPECT_STREQ("'1899-12-30T10:00:00'", Value(61, "1899-12-30 10:00:00"));
    EXPECT_STREQ("'1899-12-30T00:00:00'", Value(58, "1899-12-30"));
    // A text the parser refuses goes to the server as it is, quoted.
    EXPECT_STREQ("'not a date'", Value(61, "not a date"));
    EXPECT_STREQ("'x''y'", Value(61, "x'y"));
    // An empty cell: the current local date and time.
    CString now;
    ASSERT_TRUE(FormatDateValue("", now));
    SYSTEMTIME st;
    ::GetLocalTime(&st);
    CString today;
    today.Format("%04d-%02d-%02dT", st.wYear, st.wMonth, st.wDay);
    EXPECT_EQ(0, now.Find(today));
    EXPECT_EQ(19, now.GetLength());
}

TEST(SqlValuesTest, WorkbookDatesReadWithoutTheParserAsTheParserReadsThem)
{
    // The driver's date forms over many days and times, and near misses of them (days the
    // calendar lacks, hour 24, other separators, short years): every text's value is the one
    // the platform's parser gives, or the quoted text when the parser refuses it.
    std::vector<CString> texts = {"1900-02-29", "2100-02-29", "2000-02-29", "2023-02-29", "2024-04-31", "2024-13-01",
                                  "2024-00-10", "2024-01-00", "2024-01-01 24:00:00", "2024-01-01 23:60:00",
                                  "2024-01-01 23:59:60", "2024/01/01", "2024-01-01T10:00:00", "0999-12-31",
                                  "1000-01-01", "9999-12-31 23:59:59", "12024-01-01", "2024-1-01", "2024-01-01 1:00:00"};
    for (int year : {1000, 1582, 1752, 1899, 1900, 1904, 2000, 2024, 2100, 9999}) {
        for (int day = 0; day < 366; day += 3) {
            SYSTEMTIME st = {};
            st.wYear = static_cast<WORD>(year);
            st.wMonth = 1;
            st.wDay = 1;
            FILETIME ft;
            ::SystemTimeToFileTime(&st, &ft);
            ULARGE_INTEGER t;
            t.LowPart = ft.dwLowDateTime;
            t.HighPart = ft.dwHighDateTime;
            t.QuadPart += (static_cast<ULONGLONG>(day) * 86400 + day * 3607 % 86400) * 10000000ULL;
            ft.dwLowDateTime = t.LowPart;
            ft.dwHighDateTime = t.HighPart;
            ::FileTimeToSystemTime(&ft, &st);
            CString text;
            text.Format("%04d-%02d-%02d", st.wYear, st.wMonth, st.wDay);
            texts.push_back(text);
            text.Format("%04d-%02d-%02d %02d:%02d:%02d", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond);
            texts.push_back(text);
        }
    }
    for (const CString& text : texts) {
        COleDateTime t;
        CString expected = "'" + text + "'";
        if (t.ParseDateTime(text))
            expected.Format("'%04d-%02d-%02dT%02d:%02d:%02d'", t.GetYear(), t.GetMonth(), t.GetDay(), t.GetHour(),
                            t.GetMinute(), t.GetSecond());
        EXPECT_STREQ(expected, Value(61, text)) << text.GetString();
    }
}
