#include "testing/driver/Options.h"
#include <gtest/gtest.h>

namespace {
std::vector<std::string> Args(std::initializer_list<const char*> list)
{
    return std::vector<std::string>(list.begin(), list.end());
}

std::string Refusal(std::initializer_list<const char*> list)
{
    DriverOptions options;
    std::string error;
    EXPECT_FALSE(ParseDriverOptions(Args(list), options, error));
    return error;
}
}

TEST(DriverOptionsTest, TakesEveryOptionWithDefaultsForTheRest)
{
    DriverOptions o;
    std::string error;
    ASSERT_TRUE(ParseDriverOptions(Args({"--exe", "Z:\\p\\SheetMover.exe", "--workbook", "Z:\\b.xls", "--database",
                                         "demo", "--table", "T", "--pause-dir", "Z:\\tmp", "--timeout", "90"}),
                                   o, error))
        << error;
    EXPECT_EQ(o.exe, "Z:\\p\\SheetMover.exe");
    EXPECT_EQ(o.workbook, "Z:\\b.xls");
    EXPECT_EQ(o.database, "demo");
    EXPECT_EQ(o.table, "T");
    EXPECT_EQ(o.pauseDir, "Z:\\tmp");
    EXPECT_EQ(o.timeoutSeconds, 90);
    EXPECT_EQ(o.server, "(local)");
    EXPECT_EQ(o.login, "sa");
    EXPECT_EQ(o.password, "");
    EXPECT_FALSE(o.leaveOpen);
}

TEST(DriverOptionsTest, AttachAndLeaveOpenTakeNoValue)
{
    DriverOptions o;
    std::string error;
    ASSERT_TRUE(ParseDriverOptions(Args({"--attach", "--leave-open", "--workbook", "w", "--database", "d", "--table",
                                         "t", "--server", "127.0.0.1,1433", "--password", "p w"}),
                                   o, error))
        << error;
    EXPECT_TRUE(o.exe.empty());
    EXPECT_TRUE(o.leaveOpen);
    EXPECT_EQ(o.server, "127.0.0.1,1433");
    EXPECT_EQ(o.password, "p w");
}

TEST(DriverOptionsTest, ExactlyOneOfExeAndAttach)
{
    EXPECT_EQ(Refusal({"--workbook", "w", "--database", "d", "--table", "t"}), "give either --exe or --attach");
    EXPECT_EQ(Refusal({"--exe", "e", "--attach", "--workbook", "w", "--database", "d", "--table", "t"}),
              "give either --exe or --attach");
}

TEST(DriverOptionsTest, RequiredOptionsAreNamed)
{
    EXPECT_EQ(Refusal({"--exe", "e", "--database", "d", "--table", "t"}), "--workbook is required");
    EXPECT_EQ(Refusal({"--exe", "e", "--workbook", "w", "--table", "t"}), "--database is required");
    EXPECT_EQ(Refusal({"--exe", "e", "--workbook", "w", "--database", "d"}), "--table is required");
}

TEST(DriverOptionsTest, RefusesMissingValuesUnknownOptionsAndBadTimeouts)
{
    EXPECT_EQ(Refusal({"--exe", "e", "--workbook"}), "--workbook needs a value");
    EXPECT_EQ(Refusal({"--exe", "e", "--colour", "red"}), "unknown option --colour");
    const char* bad[] = {"0", "-5", "ten", "10s", ""};
    for (const char* value : bad)
        EXPECT_EQ(Refusal({"--exe", "e", "--workbook", "w", "--database", "d", "--table", "t", "--timeout", value}),
                  "--timeout takes a positive number of seconds")
            << value;
}
