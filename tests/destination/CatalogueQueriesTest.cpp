// The texts of the catalogue queries.
#include "destination/CatalogueQueries.h"
#include <gtest/gtest.h>

TEST(CatalogueQueriesTest, OrdinaryNamesGiveThePlainStatements)
{
    EXPECT_STREQ("select name from demo..sysobjects where XType='U' order by name asc;", TableListQuery("demo"));
    EXPECT_STREQ("select name,xtype from SysColumns where id=Object_Id('员工') order by name asc;",
                 ColumnListQuery("员工"));
    EXPECT_STREQ("select name from syscolumns where id=object_id('Orders') and "
                 "columnproperty(id,name,'isidentity')=1;",
                 IdentityColumnQuery("Orders"));
}

TEST(CatalogueQueriesTest, OtherNamesAreBracketedAndQuotedForObjectId)
{
    EXPECT_STREQ("select name from [my db]..sysobjects where XType='U' order by name asc;", TableListQuery("my db"));
    EXPECT_STREQ("select name from [a]]b]..sysobjects where XType='U' order by name asc;", TableListQuery("a]b"));
    EXPECT_STREQ("select name,xtype from SysColumns where id=Object_Id('[it''s]') order by name asc;",
                 ColumnListQuery("it's"));
    EXPECT_STREQ("select name from syscolumns where id=object_id('[order]') and "
                 "columnproperty(id,name,'isidentity')=1;",
                 IdentityColumnQuery("order"));
    // 乚 is 0x81 0x5D in GBK: only the real ']' is doubled.
    EXPECT_STREQ("select name,xtype from SysColumns where id=Object_Id('[乚 x]]]') order by name asc;",
                 ColumnListQuery("乚 x]"));
}
