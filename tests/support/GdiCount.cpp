#include "GdiCount.h"
#include "framework/Gdi.h"
#include <gtest/gtest.h>

long SystemGdiObjects()
{
    if (DWORD n = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<long>(n);
    long n = 0;
    for (UINT_PTR slot = 1; slot <= 0xFFFF; ++slot)
        if (::GetObjectType(reinterpret_cast<HGDIOBJ>(slot))) ++n;
    return n > 0 ? n : -1;   // a process always holds the stock objects
}

namespace {
long g_expected = 0;

class RefusedDeleteCheck : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override
    {
        m_before = GdiDeletesRefused();
        g_expected = 0;
    }
    // Runs before the result is printed (listeners hear of a test's end in reverse order).
    void OnTestEnd(const ::testing::TestInfo&) override
    {
        const long refused = GdiDeletesRefused() - m_before;
        if (refused != g_expected)
            ADD_FAILURE() << refused << " delete(s) of drawing objects refused by the system, " << g_expected
                          << " expected (an object still selected into a context, or deleted twice)";
    }
    long m_before = 0;
};
}

void ExpectRefusedDeletes(long n) { g_expected += n; }

void InstallRefusedDeleteCheck()
{
    ::testing::UnitTest::GetInstance()->listeners().Append(new RefusedDeleteCheck);
}
