// Dragging a caption-less dialog with the real pointer: by its surface, its caption band and
// a plain label it moves; by an edit field or a button it does not.
#include "destination/DbConfigDlg.h"
#include "res/resource.h"
#include "support/ModalDriver.h"
#include "support/RealInput.h"
#include <gtest/gtest.h>

namespace {
// Where the dialog's window went when the pointer was dragged by (40, 30) from `start`.
POINT DragFrom(HWND dlg, POINT start)
{
    RECT before, after;
    ::GetWindowRect(dlg, &before);
    RealDrag(start, {start.x + 40, start.y + 30});
    PumpMessages(100);
    ::GetWindowRect(dlg, &after);
    return {after.left - before.left, after.top - before.top};
}
}

TEST(DialogDragTest, TheSurfaceCaptionBandAndPlainLabelsMoveTheDialogControlsThatTakeClicksDoNot)
{
    CDbConfigDlg dlg;
    RunModal(dlg, [&](HWND h) {
        RECT client;
        ::GetClientRect(h, &client);
        const RECT& band = dlg.CaptionBandRect();
        const POINT moved = {40, 30}, still = {0, 0};
        auto expectMove = [&](const char* what, POINT start, POINT expected) {
            POINT d = DragFrom(h, start);
            EXPECT_EQ(expected.x, d.x) << what;
            EXPECT_EQ(expected.y, d.y) << what;
        };
        // The surface right of the fields, between the frame and the buttons.
        expectMove("surface", ScreenPoint(h, client.right - 12, client.bottom / 2), moved);
        expectMove("caption band", ScreenPoint(h, band.right - 10, (band.top + band.bottom) / 2), moved);
        expectMove("plain label", CentreOf(::GetDlgItem(h, IDC_LOGIN_CAPTION)), moved);
        expectMove("edit field", CentreOf(::GetDlgItem(h, IDC_LOGIN)), still);
        // Pressed on the button and released away from it: no click, and no move.
        expectMove("button", CentreOf(::GetDlgItem(h, IDCANCEL)), still);
        EXPECT_TRUE(::IsWindow(h));
    });
}
