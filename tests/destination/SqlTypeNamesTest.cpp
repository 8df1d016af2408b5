// Type codes of the catalogue and their names.
#include "destination/SqlTypes.h"
#include <gtest/gtest.h>

TEST(SqlTypeNamesTest, EveryNamedCodeGivesItsName)
{
    const std::pair<int, const char*> named[] = {
        {34, "image"},      {35, "text"},       {36, "uniqueidentifier"}, {48, "tinyint"},   {52, "smallint"},
        {56, "int"},        {58, "smalldatetime"}, {59, "real"},          {60, "money"},     {61, "datetime"},
        {62, "float"},      {98, "sql_variant"}, {99, "ntext"},           {104, "bit"},      {106, "decimal"},
        {108, "numeric"},   {122, "smallmoney"}, {127, "bigint"},         {165, "varbinary"}, {167, "varchar"},
        {173, "binary"},    {175, "char"},      {189, "timestamp"},       {231, "nvarchar"}, {239, "nchar"},
    };
    int count = 0;
    for (int code = -300; code <= 300; ++code) {
        CString name = GetSqlTypeName(code);
        if (!name.IsEmpty()) ++count;
        const char* expected = "";
        for (const auto& n : named)
            if (n.first == code) expected = n.second;
        EXPECT_STREQ(expected, name) << code;
    }
    EXPECT_EQ(25, count);
}

TEST(SqlTypeNamesTest, CodesWithoutANameGiveEmptyText)
{
    for (int code : {0, -1, 33, 37, 40, 240, 241, 1000, INT_MIN, INT_MAX})
        EXPECT_STREQ("", GetSqlTypeName(code)) << code;
}
