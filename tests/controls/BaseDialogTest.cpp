// The skinned dialog base: what its background routine paints (frame insets, bands, shade
// rows, icon), and the brushes it hands out.
#include "controls/BaseDialog.h"
#include "destination/DbConfigDlg.h"
#include "res/resource.h"
#include "support/ModalDriver.h"
#include "support/Pixels.h"
#include <gtest/gtest.h>

namespace {
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kInk = RGB(200, 30, 60);

// Runs a plain skinned dialog (the usage dialog's template, nothing attached) and gives the
// script a painter that renders the dialog's background routine onto white.
struct Painted {
    CBaseDialog& dlg;
    int W = 0, H = 0;
    Pixels operator()() const
    {
        Surface s(W, H, kWhite);
        CDC dc(s.dc());
        dlg.PaintBackground(dc);
        return s.Read();
    }
};

void WithPlainDialog(const std::function<void(CBaseDialog&, const Painted&)>& script)
{
    CBaseDialog dlg(IDD_USAGE);
    RunModal(dlg, [&](HWND h) {
        RECT c;
        ::GetClientRect(h, &c);
        script(dlg, Painted{dlg, c.right, c.bottom});
    });
}

// The rows of column x that hold `color`.
std::vector<int> RowsOf(const Pixels& p, int x, COLORREF color)
{
    std::vector<int> rows;
    for (int y = 0; y < p.Height(); ++y)
        if (p.At(x, y) == color) rows.push_back(y);
    return rows;
}
}

TEST(BaseDialogTest, FrameInsetZeroIsOneAndAMissingVerticalInsetIsTheHorizontalOne)
{
    WithPlainDialog([](CBaseDialog& dlg, const Painted& paint) {
        const int W = paint.W, H = paint.H;
        dlg.SetFrame(true, 0, kInk);
        Pixels p = paint();
        EXPECT_EQ(kInk, p.At(1, H / 2));
        EXPECT_EQ(kInk, p.At(W - 2, H / 2));
        EXPECT_EQ(kInk, p.At(W / 2, 1));
        EXPECT_EQ(kInk, p.At(W / 2, H - 2));
        EXPECT_EQ(kWhite, p.At(0, H / 2));
        EXPECT_EQ(kWhite, p.At(2, H / 2));
        EXPECT_EQ(kWhite, p.At(W / 2, H - 1));

        dlg.SetFrame(true, 4, 0, kInk);
        p = paint();
        for (POINT on : {POINT{4, H / 2}, POINT{W - 5, H / 2}, POINT{W / 2, 4}, POINT{W / 2, H - 5}})
            EXPECT_EQ(kInk, p.At(on.x, on.y)) << on.x << "," << on.y;
        for (POINT off : {POINT{3, H / 2}, POINT{5, H / 2}, POINT{W - 4, H / 2}, POINT{W / 2, 3}, POINT{W / 2, H - 4}})
            EXPECT_EQ(kWhite, p.At(off.x, off.y)) << off.x << "," << off.y;

        // Switched off: nothing of it is painted any more.
        dlg.SetFrame(false, 4, kInk);
        EXPECT_EQ(0, paint().Count(kInk));
    });
}

TEST(BaseDialogTest, BandRowsFollowMarginTopHeightAndDistanceFromTheBottom)
{
    WithPlainDialog([](CBaseDialog& dlg, const Painted& paint) {
        const int W = paint.W, H = paint.H;
        const COLORREF caption = RGB(10, 20, 250), footer = RGB(20, 200, 30);
        dlg.SetCaptionBand(1, 1, -5, caption, false);   // a negative height is 8
        Pixels p = paint();
        EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}), RowsOf(p, W / 2, caption));
        EXPECT_EQ(kWhite, p.At(0, 4));
        EXPECT_EQ(caption, p.At(1, 4));
        EXPECT_EQ(caption, p.At(W - 2, 4));
        EXPECT_EQ(kWhite, p.At(W - 1, 4));

        auto footerRows = [&](int fromBottom, int height) {
            dlg.SetFooterBand(1, fromBottom, height, footer, false);
            return RowsOf(paint(), W / 2, footer);
        };
        std::vector<int> rows = footerRows(25, 24);   // H-25 .. H-2
        ASSERT_EQ(24u, rows.size());
        EXPECT_EQ(H - 25, rows.front());
        EXPECT_EQ(H - 2, rows.back());
        rows = footerRows(28, 28);                    // reaches the bottom edge
        ASSERT_EQ(28u, rows.size());
        EXPECT_EQ(H - 1, rows.back());
        rows = footerRows(10, 20);                    // taller than its distance: 9 rows
        ASSERT_EQ(9u, rows.size());
        EXPECT_EQ(H - 10, rows.front());

        // A rounded band fills a rounded region inside the same rectangle (such a region
        // leaves out its last row and column).
        dlg.SetCaptionBand(1, 1, 34, caption, true);
        p = paint();
        const RECT square = dlg.CaptionBandRect();
        EXPECT_EQ(33u, RowsOf(p, W / 2, caption).size());
        EXPECT_EQ(caption, p.At(1, 17));
        EXPECT_EQ(p.Count(caption), p.Count(caption, &square));
    });
}

TEST(BaseDialogTest, ShadeStepsOneLevelPerRowAndWrapsAChannelLeavingTheRange)
{
    WithPlainDialog([](CBaseDialog& dlg, const Painted& paint) {
        const int W = paint.W, H = paint.H;
        // Style 1 darkens from top to bottom; red 0 steps to -1 and shows as 255.
        dlg.SetBackgroundStyle(CBaseDialog::BackgroundShadeDown, RGB(0, 100, 200), false);
        Pixels p = paint();
        EXPECT_EQ(RGB(0, 100, 200), p.At(W / 2, 0));
        EXPECT_EQ(RGB(255, 99, 199), p.At(W / 2, 1));
        EXPECT_EQ(RGB(254, 98, 198), p.At(0, 2));
        EXPECT_EQ(RGB(254, 98, 198), p.At(W - 1, 2));
        EXPECT_EQ(RGB(255 - 29, 70, 170), p.At(W / 2, 30));

        // Style 2 darkens to the row after the middle and lightens again below it, evenly.
        dlg.SetBackgroundStyle(CBaseDialog::BackgroundShadeToMiddle, RGB(100, 150, 200), false);
        p = paint();
        const int darkest = H / 2 + 1;
        EXPECT_EQ(RGB(100 - darkest, 150 - darkest, 200 - darkest), p.At(W / 2, darkest));
        for (int k = 1; k <= 5; ++k)
            EXPECT_EQ(p.At(W / 2, darkest - k), p.At(W / 2, darkest + k)) << k;
        EXPECT_EQ(RGB(100 - darkest + 1, 150 - darkest + 1, 200 - darkest + 1), p.At(W / 2, darkest + 1));

        // Styles above 2 paint no shade.
        dlg.SetBackgroundStyle(3, RGB(100, 150, 200), false);
        EXPECT_EQ(W * H, paint().Count(kWhite));
    });
}

TEST(BaseDialogTest, CaptionIconIsDrawnAtItsPlaceAndAMissingIconDrawsNothing)
{
    WithPlainDialog([](CBaseDialog& dlg, const Painted& paint) {
        dlg.SetCaptionIcon(4, 6, IDR_MAINFRAME, false);
        RECT box = paint().BoundsOfOther(kWhite, {0, 0, 60, 60});
        EXPECT_GE(box.left, 4);
        EXPECT_GE(box.top, 6);
        EXPECT_LE(box.right, 4 + 32);
        EXPECT_LE(box.bottom, 6 + 32);
        EXPECT_GT(box.right - box.left, 16);   // the 32-pixel icon at its own size

        const long owned = GdiHandlesOwned();
        dlg.SetCaptionIcon(4, 6, 9999, false);   // no such icon: the old one is released too
        EXPECT_EQ(owned - 1, GdiHandlesOwned());
        EXPECT_EQ(paint.W * paint.H, paint().Count(kWhite));
    });
}

TEST(BaseDialogTest, DialogIsErasedWithItsBackgroundBrushAndStaticsGoHollowOnlyOnAShade)
{
    const COLORREF back = RGB(236, 246, 249);
    CBaseDialog plain(IDD_USAGE);
    RunModal(plain, [&](HWND h) {
        plain.SetBackgroundColor(back);
        Pixels p = Pixels::FromWindow(h);
        EXPECT_EQ(back, p.At(2, 2));
        HDC dc = ::GetDC(h);
        // A solid background: a static keeps the standard answer.
        HWND label = ::GetDlgItem(h, IDC_USAGE_CREDIT);
        EXPECT_NE(::GetStockObject(NULL_BRUSH),
                  reinterpret_cast<HGDIOBJ>(::SendMessageA(h, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label))));
        ::ReleaseDC(h, dc);
    });

    CDbConfigDlg shaded;
    RunModal(shaded, [&](HWND h) {
        HDC dc = ::GetDC(h);
        auto brushFor = [&](int id) {
            return reinterpret_cast<HGDIOBJ>(::SendMessageA(h, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                            reinterpret_cast<LPARAM>(::GetDlgItem(h, id))));
        };
        EXPECT_EQ(::GetStockObject(NULL_BRUSH), brushFor(IDC_LOGIN_CAPTION));
        EXPECT_EQ(TRANSPARENT, ::GetBkMode(dc));
        // An edit field asks with the same message when read-only: it keeps its own brush.
        ::SendDlgItemMessageA(h, IDC_LOGIN, EM_SETREADONLY, TRUE, 0);
        HGDIOBJ edit = brushFor(IDC_LOGIN);
        EXPECT_NE(::GetStockObject(NULL_BRUSH), edit);
        LOGBRUSH lb = {};
        ASSERT_TRUE(::GetObjectA(edit, sizeof lb, &lb));
        EXPECT_EQ(RGB(255, 248, 220), lb.lbColor);
        ::ReleaseDC(h, dc);
    });
}
