// CString under code page 936: formatting, and searches that respect double-byte characters.
#include "framework/Framework.h"
#include <gtest/gtest.h>

TEST(StringTest, ProcessRunsUnderCodePage936)
{
    // Everything below, and the program's texts, assume GBK.
    EXPECT_EQ(936u, ::GetACP());
}

TEST(StringTest, FormatFillsAnyLength)
{
    CString s;
    s.Format("数据转换完成,共计导入%d条记录.", 1234);
    EXPECT_STREQ("数据转换完成,共计导入1234条记录.", s);
    CString big(std::string(5000, 'x'));
    s.Format("[%s]", big.GetString());
    EXPECT_EQ(5002, s.GetLength());
}

TEST(StringTest, FindNeverMatchesInsideADoubleByteCharacter)
{
    // 乗 is 0x81 0x5C and 乚 is 0x81 0x5D in GBK: their trail bytes are '\' and ']'.
    CString s("乗乚a\\]");
    EXPECT_EQ(4, s.Find('a'));
    EXPECT_EQ(5, s.Find('\\'));
    EXPECT_EQ(6, s.Find(']'));
    EXPECT_EQ(-1, CString("乗乚").Find(']'));
    EXPECT_EQ(2, s.Find("乚"));
    EXPECT_EQ(-1, s.Find("x"));
    EXPECT_EQ(-1, s.Find('a', 5));
}

TEST(StringTest, ReplaceAndTrimKeepDoubleByteText)
{
    CString s("  乚'乗'  ");
    s.Trim();
    EXPECT_STREQ("乚'乗'", s);
    EXPECT_EQ(2, s.Replace("'", "''"));
    EXPECT_STREQ("乚''乗''", s);
    CString t("乚]");
    EXPECT_EQ(1, t.Replace("]", "]]"));   // only the real ']' is doubled
    EXPECT_STREQ("乚]]", t);
}

TEST(StringTest, SubstringsAndComparison)
{
    CString s("Sheet1$");
    EXPECT_STREQ("Sheet", s.Left(5));
    EXPECT_STREQ("1$", s.Mid(5));
    EXPECT_STREQ("et", s.Mid(3, 2));
    EXPECT_STREQ("$", s.Right(1));
    EXPECT_STREQ("", s.Mid(50));
    EXPECT_TRUE(s == "Sheet1$");
    EXPECT_TRUE(CString() == "");
    EXPECT_TRUE(CString("a") != CString("b"));
}

TEST(StringTest, ArrayKeepsOrderAndChecksIndexes)
{
    CStringArray a;
    a.Add("56");
    a.Add("167");
    a.InsertAt(1, "61");
    EXPECT_EQ(3, a.GetSize());
    EXPECT_STREQ("61", a[1]);
    a.RemoveAt(0);
    EXPECT_STREQ("61", a.GetAt(0));
    EXPECT_THROW(a.GetAt(5), std::out_of_range);
    EXPECT_THROW(a.RemoveAt(2), std::out_of_range);
    a.RemoveAll();
    EXPECT_TRUE(a.IsEmpty());
}

TEST(StringTest, LoadsStringResources)
{
    CString s;
    EXPECT_TRUE(s.LoadString(101));
    EXPECT_STREQ("关于 SHEETMOVER(&A)...", s);
    EXPECT_FALSE(s.LoadString(9999));
    EXPECT_TRUE(s.IsEmpty());
}
