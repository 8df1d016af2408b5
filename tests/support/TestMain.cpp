// The main of every Windows test program: GoogleTest's, with the check that fails a test
// during which the system refused to delete a drawing object.
#include "GdiCount.h"
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    InstallRefusedDeleteCheck();
    return RUN_ALL_TESTS();
}
