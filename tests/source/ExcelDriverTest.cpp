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

namespace {
CString Choose(const std::string& list, const char* path)
{
    return ChooseExcelDriverInList(list.data(), list.size(), path);
}
const char kOldDriver[] = "Microsoft Excel Driver (*.xls)";
const char kNewDriver[] = "Microsoft Excel Driver (*.xls, *.xlsx, *.xlsm, *.xlsb)";
}

TEST(ExcelDriverTest, AnExcel2007WorkbookTakesTheFirstDriverNamingXlsx)
{
    const std::string both = List({"SQL Server", kOldDriver, kNewDriver, "Other Excel xlsx Driver"});
    for (const char* path : {"Z:\\data\\book.xlsx", "Z:\\data\\book.xlsm", "C:\\工资 表\\二月.XLSX", "b.XlSm"})
        EXPECT_STREQ(kNewDriver, Choose(both, path)) << path;
    for (const char* path : {"Z:\\data\\book.xls", "C:\\工资.XLS", "book.xlsb", "book.xlsx.bak", "book.xlsxx",
                             "C:\\xlsx\\book.xls", "", ".xls", "xlsx"})
        EXPECT_STREQ(kOldDriver, Choose(both, path)) << path;
    // The extension alone, without a name before it, still names the format.
    EXPECT_STREQ(kNewDriver, Choose(both, ".xlsx"));
}

TEST(ExcelDriverTest, AnExcel2007WorkbookFallsBackToTheFirstExcelDriver)
{
    // No name holds "xlsx" next to "Excel": the first Excel driver, as for .xls.
    EXPECT_STREQ(kOldDriver, Choose(List({"xlsx reader", kOldDriver, "Excel Files"}), "a.xlsx"));
    // "xlsx" must be in the same name as "Excel", and matches by exact bytes as "Excel" does.
    EXPECT_STREQ("Excel Files", Choose(List({"FreeTDS", "Excel Files", "Excel Driver (*.XLSX)"}), "a.xlsx"));
    EXPECT_STREQ("", Choose(List({"xlsx reader", "FreeTDS"}), "a.xlsx"));
}

TEST(ExcelDriverTest, TheXlsxPreferenceStaysInsideAnUnterminatedList)
{
    // The preferred name sits past the end the caller gives: it is not seen, and the walk
    // falls back to the Excel driver inside the bound.
    std::string list = List({"FreeTDS", kOldDriver});
    list.pop_back();   // no empty name: the list runs to the end of the buffer
    const std::size_t bound = list.size();
    list += kNewDriver;
    std::unique_ptr<char[]> block(new char[list.size()]);
    list.copy(block.get(), list.size());
    EXPECT_STREQ(kOldDriver, ChooseExcelDriverInList(block.get(), bound, "a.xlsx"));
    EXPECT_STREQ(kNewDriver, ChooseExcelDriverInList(block.get(), list.size(), "a.xlsx"));

    // A last name whose "xlsx" is cut by the bound does not count as naming it.
    std::string cut = List({kOldDriver});
    cut.pop_back();
    cut += "Excel Driver (*.xls";
    std::unique_ptr<char[]> exact(new char[cut.size() + 1]);
    (cut + "x").copy(exact.get(), cut.size() + 1);
    EXPECT_STREQ(kOldDriver, ChooseExcelDriverInList(exact.get(), cut.size(), "a.xlsx"));
}
