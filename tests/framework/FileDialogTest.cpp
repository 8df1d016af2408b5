// The file dialog's filter text: '|' separators become the NULs the platform's dialog wants,
// also after double-byte characters whose second byte is '|'.
#include "framework/FileDialog.h"
#include <gtest/gtest.h>
#include <string>

namespace {
// All bytes of a literal with NULs inside, without its terminator.
template <size_t N>
std::string Bytes(const char (&s)[N])
{
    return std::string(s, N - 1);
}
}

TEST(FileDialogTest, FilterSeparatorsBecomeNulsOutsideDoubleByteCharacters)
{
    ASSERT_EQ(936u, ::GetACP());
    EXPECT_EQ(Bytes("Microsoft Excel File(*.xls)\0*.xls\0\0"),
              FileDialogFilter("Microsoft Excel File(*.xls)|*.xls||").str());
    // 0x81 0x7C is one GBK character whose trail byte is the code of '|'.
    EXPECT_EQ(Bytes("\x81\x7c(*.xls)\0*.xls\0"), FileDialogFilter("\x81\x7c(*.xls)|*.xls|").str());
    EXPECT_EQ(Bytes("表格\0\0\0*.x"), FileDialogFilter("表格|||*.x").str());
}
