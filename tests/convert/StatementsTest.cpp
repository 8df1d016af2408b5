// The select and insert texts of a conversion run.
#include "convert/Statements.h"
#include <gtest/gtest.h>

namespace {
CStringArray Names(std::initializer_list<const char*> names)
{
    CStringArray a;
    for (const char* n : names) a.Add(n);
    return a;
}
}

TEST(StatementsTest, OrdinaryNamesGiveThePlainStatements)
{
    EXPECT_STREQ("select A,B from [sheet1$];", BuildSelectStatement(Names({"A", "B"})));
    EXPECT_STREQ("insert into T(x,y,z) values(12,'abc','2004-01-01');",
                 BuildInsertStatement("T", Names({"x", "y", "z"}), Names({"12", "'abc'", "'2004-01-01'"})));
    EXPECT_STREQ("select 编号 from [sheet1$];", BuildSelectStatement(Names({"编号"})));
}

TEST(StatementsTest, NamesWithSpacesKeywordsOrBracketsAreBracketed)
{
    EXPECT_STREQ("select [First Name],[order] from [sheet1$];", BuildSelectStatement(Names({"First Name", "order"})));
    EXPECT_STREQ("insert into [Order Details]([key],[a]]b]) values(1,2);",
                 BuildInsertStatement("Order Details", Names({"key", "a]b"}), Names({"1", "2"})));
}
