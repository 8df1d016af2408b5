// Names in statements: ordinary names unchanged, others bracketed on whole characters.
#include "destination/SqlIdentifier.h"
#include <gtest/gtest.h>

TEST(SqlIdentifierTest, RegularIdentifiersStayAsTheyAre)
{
    for (const char* name : {"T", "Orders", "员工", "入职日期", "_x", "a1$#@", "Name_2"})
        EXPECT_STREQ(name, QuoteIdentifier(name)) << name;
}

TEST(SqlIdentifierTest, OtherNamesAreBracketed)
{
    EXPECT_STREQ("[First Name]", QuoteIdentifier("First Name"));
    EXPECT_STREQ("[order]", QuoteIdentifier("order"));
    EXPECT_STREQ("[KEY]", QuoteIdentifier("KEY"));
    EXPECT_STREQ("[user]", QuoteIdentifier("user"));
    EXPECT_STREQ("[1st]", QuoteIdentifier("1st"));
    EXPECT_STREQ("[O'Brien]", QuoteIdentifier("O'Brien"));
    EXPECT_STREQ("[a]]b]", QuoteIdentifier("a]b"));
    EXPECT_STREQ("[]", QuoteIdentifier(""));
    // 乚 ends in the byte of ']': only the real bracket is doubled.
    EXPECT_STREQ("[乚 x]]]", QuoteIdentifier("乚 x]"));
}

TEST(SqlIdentifierTest, LiteralsDoubleEverySingleQuote)
{
    EXPECT_STREQ("O''Brien''s", EscapeSqlLiteral("O'Brien's"));
    EXPECT_STREQ("plain", EscapeSqlLiteral("plain"));
}
