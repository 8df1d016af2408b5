// The walk through the installer's driver list.
#include "source/ExcelDriver.h"
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {
// A driver list as the installer gives it: names ended by NUL, the list by an empty name.
std::string List(std::initializer_list<const char*> names)
{
    std::string s;
    for (const char* n : names) { s += n; s += '\0'; }
    s += '\0';
    return s;
}
CString Walk(const std::string& list) { return FindExcelDriverInList(list.data(), list.size()); }
}

TEST(ExcelDriverTest, FirstNameContainingExcelWins)
{
    EXPECT_STREQ("Microsoft Excel Driver (*.xls)",
                 Walk(List({"SQL Server", "Microsoft Excel Driver (*.xls)", "Other Excel Driver"})));
    EXPECT_STREQ("SheetMover Excel Driver (*.xls)", Walk(List({"SheetMover Excel Driver (*.xls)", "FreeTDS"})));
}

TEST(ExcelDriverTest, MatchIsCaseSensitive)
{
    EXPECT_STREQ("", Walk(List({"excel files", "EXCEL", "FreeTDS"})));
    EXPECT_STREQ("Only Excel", Walk(List({"excel files", "Only Excel"})));
}

TEST(ExcelDriverTest, EmptyListGivesEmptyText)
{
    EXPECT_STREQ("", Walk(std::string(2, '\0')));
    EXPECT_STREQ("", Walk(std::string(kDriverListSize, '\0')));
}

TEST(ExcelDriverTest, StopsAtTheEmptyNameEvenWhenMoreFollows)
{
    std::string list = List({"FreeTDS", "dBase Files"});
    list += "Hidden Excel";   // bytes after the end of the list are never looked at
    list += '\0';
    EXPECT_STREQ("", Walk(list));
    EXPECT_STREQ("Last Excel Driver", Walk(List({"FreeTDS", "dBase Files", "Last Excel Driver"})));
}

TEST(ExcelDriverTest, NeverReadsPastTheBufferOfAnUnterminatedList)
{
    // A list that fills all 2000 bytes without its final NULs: the last name runs to the end
    // of the buffer. It sits in an exactly sized heap block, so a read past it would touch
    // foreign memory.
    std::string list;
    while (list.size() < kDriverListSize - 40) list += "Driver " + std::to_string(list.size()) + '\0';
    const size_t tailStart = list.size();
    list += "Truncated Excel Dri";
    list.append(kDriverListSize - list.size(), 'v');
    ASSERT_EQ(static_cast<size_t>(kDriverListSize), list.size());
    std::unique_ptr<char[]> block(new char[kDriverListSize]);
    list.copy(block.get(), kDriverListSize);
    CString found = FindExcelDriverInList(block.get(), kDriverListSize);
    EXPECT_EQ(0, found.Find("Truncated Excel Dri"));
    EXPECT_EQ(static_cast<int>(kDriverListSize - tailStart), found.GetLength());

    // A last name cut off before "Excel" is complete does not match, even when the byte just
    // past the bound would complete it.
    std::string cut(kDriverListSize - 4, 'x');
    cut[10] = '\0';
    cut += "Excel";
    std::unique_ptr<char[]> larger(new char[cut.size()]);
    cut.copy(larger.get(), cut.size());
    EXPECT_STREQ("", FindExcelDriverInList(larger.get(), kDriverListSize));
    EXPECT_EQ(0, FindExcelDriverInList(larger.get(), cut.size()).Find(CString('x', 20)));
}
