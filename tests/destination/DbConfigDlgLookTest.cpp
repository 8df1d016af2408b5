// The settings dialog's look on the screen: rounded window region, see-through buttons that
// show exactly what the dialog paints under them, hover with the real pointer, and no drawing
// object left behind by opening and closing it.
#include "destination/DbConfigDlg.h"
#include "res/resource.h"
#include "support/GdiCount.h"
#include "support/ModalDriver.h"
#include "support/Pixels.h"
#include "support/RealInput.h"
#include <gtest/gtest.h>

namespace {
const COLORREF kOrange = RGB(255, 165, 0);

// A point of the screen far from the dialog, where the pointer rests between checks.
POINT Away() { return {::GetSystemMetrics(SM_CXSCREEN) - 5, ::GetSystemMetrics(SM_CYSCREEN) - 5}; }

RECT PlaceInParent(HWND child)
{
    RECT r;
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Compares the button's face on the screen with what the dialog's background routine paints
// at the same place, down both edge columns (the icon and caption lie between them).
void ExpectFaceShowsTheBackground(CDbConfigDlg& dlg, HWND button)
{
    RECT client;
    dlg.GetClientRect(&client);
    Surface painted(client.right, client.bottom, RGB(0, 0, 0));
    CDC dc(painted.dc());
    dlg.PaintBackground(dc);
    Pixels expected = painted.Read();
    Pixels shown = Pixels::FromWindow(dlg.m_hWnd);
    const RECT b = PlaceInParent(button);
    int differing = 0;
    for (int y = b.top; y < b.bottom; ++y)
        for (int x : {static_cast<int>(b.left) + 1, static_cast<int>(b.right) - 2})
            differing += shown.At(x, y) != expected.At(x, y);
    EXPECT_EQ(0, differing);
}
}

TEST(DbConfigDlgLookTest, CornersAreCutByTheRoundedRegion)
{
    CDbConfigDlg dlg;
    RunModal(dlg, [&](HWND h) {
        RECT c;
        ::GetClientRect(h, &c);
        const int W = c.right, H = c.bottom;
        HRGN rgn = ::CreateRectRgn(0, 0, 0, 0);
        ASSERT_NE(ERROR, ::GetWindowRgn(h, rgn));
        for (POINT corner : {POINT{0, 0}, POINT{W - 1, 0}, POINT{0, H - 1}, POINT{W - 1, H - 1}})
            EXPECT_FALSE(::PtInRegion(rgn, corner.x, corner.y)) << corner.x << "," << corner.y;
        for (POINT inside : {POINT{2, 2}, POINT{W / 2, 0}, POINT{0, H / 2}, POINT{W - 3, H - 3}})
            EXPECT_TRUE(::PtInRegion(rgn, inside.x, inside.y)) << inside.x << "," << inside.y;
        ::DeleteObject(rgn);
    });
}

TEST(DbConfigDlgLookTest, SeeThroughButtonsShowTheShadeAndABandEdgeUnderThem)
{
    MouseMoveTo(Away());
    // A window over the whole screen before the dialog first paints: what the buttons copy
    // must come from the dialog's own painting, not from the screen.
    HWND cover = ::CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE | SS_BLACKRECT, 0, 0,
                                   ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), nullptr,
                                   nullptr, nullptr, nullptr);
    ::UpdateWindow(cover);
    CDbConfigDlg dlg;
    RunModal(dlg, [&](HWND h) {
        PumpMessages(200);
        ::DestroyWindow(cover);
        PumpMessages(100);
        HWND ok = ::GetDlgItem(h, IDOK), ret = ::GetDlgItem(h, IDCANCEL);
        ExpectFaceShowsTheBackground(dlg, ok);
        ExpectFaceShowsTheBackground(dlg, ret);

        // The footer band's top edge moved to the middle of the buttons, the shade above it.
        RECT client;
        ::GetClientRect(h, &client);
        const RECT b = PlaceInParent(ok);
        dlg.SetFooterBand(1, client.bottom - (b.top + b.bottom) / 2, 28, RGB(211, 211, 211), false);
        dlg.m_btnOK.SetTransparent(true);
        dlg.m_btnReturn.SetTransparent(true);
        Pixels shown = Pixels::FromWindow(h);
        EXPECT_NE(shown.At(b.left + 1, b.top + 1), shown.At(b.left + 1, b.bottom - 2));
        EXPECT_NE(shown.At(b.left + 1, b.top + 1), shown.At(b.left + 1, b.top + 2));   // shade rows
        ExpectFaceShowsTheBackground(dlg, ok);
        ExpectFaceShowsTheBackground(dlg, ret);

        // A fresh copy taken while the button's own hover drawing is on the dialog's surface
        // must still hold only the dialog's background.
        MouseMoveTo(CentreOf(ok));
        PumpMessages(150);
        dlg.m_btnOK.SetTransparent(true);
        MouseMoveTo(Away());
        PumpMessages(150);
        ExpectFaceShowsTheBackground(dlg, ok);
    });
}

TEST(DbConfigDlgLookTest, HoverShowsTheUnderlineAndActiveCaptionOnlyWithTheMouseButtonUp)
{
    MouseMoveTo(Away());
    CDbConfigDlg dlg;
    RunModal(dlg, [&](HWND h) {
        HWND ok = ::GetDlgItem(h, IDOK);
        RECT r;
        ::GetClientRect(ok, &r);
        const RECT underline = {0, r.bottom - 2, r.right, r.bottom - 1};
        auto look = [&] { return Pixels::FromWindow(ok); };
        PumpMessages(100);
        Pixels rest = look();
        EXPECT_FALSE(dlg.m_btnOK.IsHovered());
        EXPECT_EQ(0, rest.Count(kOrange, &underline));   // at rest no border at all
        EXPECT_GT(rest.Count(RGB(34, 139, 34)), 0);

        MouseMoveTo(CentreOf(ok));
        PumpMessages(150);
        EXPECT_TRUE(dlg.m_btnOK.IsHovered());
        Pixels hovered = look();
        EXPECT_EQ(r.right, hovered.Count(kOrange, &underline));
        EXPECT_GT(hovered.Count(kOrange), r.right);   // the caption too
        EXPECT_EQ(0, hovered.Count(RGB(34, 139, 34)));

        MouseMoveTo(Away());   // leaving ends hover
        PumpMessages(150);
        EXPECT_FALSE(dlg.m_btnOK.IsHovered());
        EXPECT_EQ(0, look().Count(kOrange, &underline));

        // Pressed away from the dialog and moved onto the button with the button held: no
        // hover; released and moved again: hover.
        MouseButton(true);
        PumpMessages(50);
        MouseMoveTo(CentreOf(ok));
        PumpMessages(150);
        EXPECT_FALSE(dlg.m_btnOK.IsHovered());
        MouseButton(false);
        PumpMessages(50);
        POINT p = CentreOf(ok);
        MouseMoveTo({p.x + 2, p.y});
        PumpMessages(150);
        EXPECT_TRUE(dlg.m_btnOK.IsHovered());
        MouseMoveTo(Away());
        PumpMessages(100);
    });
}

TEST(DbConfigDlgLookTest, ASystemColourChangeReachesTheButtonsWhichDropTheirCopies)
{
    CDbConfigDlg dlg;
    RunModal(dlg, [&](HWND h) {
        Pixels::FromWindow(h);
        const long before = GdiHandlesOwned();
        ::SendMessageA(h, WM_SYSCOLORCHANGE, 0, 0);   // only top-level windows are told
        EXPECT_EQ(before - 4, GdiHandlesOwned());       // two copies of a context and a bitmap each
        Pixels::FromWindow(h);
        EXPECT_EQ(before, GdiHandlesOwned());           // taken again at the next draw
    });
}

TEST(DbConfigDlgLookTest, OpeningAndClosingTwentyTimesLeavesNoDrawingObjectBehind)
{
    const long before = GdiHandlesOwned();
    long whileOpen = 0, system = 0;
    for (int i = 0; i < 20; ++i) {
        // What the system keeps once made (cached contexts, shared icons) is made by the first.
        if (i == 1) system = SystemGdiObjects();
        CDbConfigDlg dlg;
        RunModal(dlg, [&](HWND h) {
            Pixels::FromWindow(h);   // painted, buttons' copies of the background taken
            whileOpen = GdiHandlesOwned();
        });
    }
    EXPECT_GT(whileOpen, before + 10);   // brushes, fonts, icons and copies were counted
    EXPECT_EQ(before, GdiHandlesOwned());
    EXPECT_EQ(system, SystemGdiObjects());
}
