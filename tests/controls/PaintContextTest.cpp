// A context lent to a control for its painting comes back holding the objects it came with:
// checked on the main dialog, which holds every control of the program's own.
#include "support/MainDialogFixture.h"
#include "support/PaintContext.h"
#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace {
BOOL CALLBACK Collect(HWND h, LPARAM windows)
{
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(h);
    return TRUE;
}
}

TEST(PaintContextTest, TheMainDialogAndEachOfItsWindowsHandBackTheContextTheyPaintInto)
{
    WithMainDialog([](CConverterDlg& dlg, HWND h) {
        dlg.m_listFields.AddItem("编号");   // an item for the owner-drawn list to draw
        std::vector<HWND> windows = {h};
        ::EnumChildWindows(h, &Collect, reinterpret_cast<LPARAM>(&windows));
        const HWND custom[] = {dlg.m_labelBanner, dlg.m_btnConvert, dlg.m_listFields, dlg.m_groupSource,
                               dlg.m_headerColumns, dlg.m_comboTables, dlg.m_editServer};
        for (HWND c : custom) EXPECT_NE(windows.end(), std::find(windows.begin(), windows.end(), c));
        for (HWND w : windows) {
            char name[64] = "";
            ::GetClassNameA(w, name, sizeof name);
            SCOPED_TRACE(::testing::Message() << name << " " << ::GetDlgCtrlID(w));
            ExpectPaintKeepsContext(w);
        }
    });
}
