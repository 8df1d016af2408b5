// The three dialogs' own bands and frame lines on the screen, every row and column of each,
// at the places and in the colours their looks give them.
#include "app/ConverterDlg.h"
#include "destination/DbConfigDlg.h"
#include "support/MainDialogFixture.h"
#include "support/Stripes.h"
#include "usage/UsageDlg.h"
#include <functional>
#include <gtest/gtest.h>

namespace {
const COLORREF kBand = RGB(136, 170, 214), kGrey = RGB(211, 211, 211), kBlue = RGB(65, 105, 225);

template <class Dialog>
void Open(const std::function<void(HWND)>& script)
{
    Dialog dlg;
    RunModal(dlg, script);
}

std::vector<Stripe> With(std::vector<Stripe> stripes, const std::vector<Stripe>& frame)
{
    stripes.insert(stripes.end(), frame.begin(), frame.end());
    return stripes;
}
}

// A band's rectangle runs from its margin to the width less its margin; a rounded band fills a
// rounded region of it, which leaves out its last row and column and a pixel at each corner.
// A frame inset by (x, y) lies on the innermost pixels of the client area shrunk by them.
TEST(BandsAndFramesTest, EveryRowOfEachBandAndFrameLineHasItsColourAndNothingBesideIt)
{
    const struct {
        const char* dialog;
        std::function<void(const std::function<void(HWND)>&)> open;
        std::function<std::vector<Stripe>(int W, int H)> stripes;
        std::vector<RECT> covered;
    } dialogs[] = {
        {"main", [](const std::function<void(HWND)>& script) { WithMainDialog([&](CConverterDlg&, HWND h) { script(h); }); },
         [](int W, int H) {
             return With({{"caption band", {1, 1, W - 2, 34}, kBand, 1},   // margin 1, top 1, 34 high
                          {"footer band", {1, H - 25, W - 2, H - 2}, kBand, 1}},   // 25 from the bottom, 24 high
                         FrameLines({4, 35, W - 4, H - 35}, kBand));
         },
         {{2, 2, 34, 34}}},   // the caption icon, drawn over the caption band
        {"settings", &Open<CDbConfigDlg>,
         [](int W, int H) {
             return With({{"caption band", {0, 0, W, 25}, kGrey},          // margin 0, top 0, 25 high
                          {"footer band", {1, H - 28, W - 1, H}, kGrey}},  // 28 from the bottom, 28 high
                         FrameLines({4, 30, W - 4, H - 30}, kBlue));
         },
         {}},
        {"usage", &Open<CUsageDlg>, [](int W, int H) { return FrameLines({4, 4, W - 4, H - 4}, kBand); },
         {{4, 6, 36, 38}}},   // the caption icon, drawn over the left line
    };
    for (const auto& d : dialogs) {
        SCOPED_TRACE(d.dialog);
        d.open([&](HWND h) {
            RECT c;
            ::GetClientRect(h, &c);
            ExpectStripes(OwnSurface(h), d.stripes(c.right, c.bottom), d.covered);
        });
    }
}
