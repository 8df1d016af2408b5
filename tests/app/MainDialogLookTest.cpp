// The main and usage dialogs as a whole: their bands, frame and surface on the screen, the
// buttons' icons, the web-address link, no repainting while idle, no drawing object left.
#include "app/Banner.h"
#include "app/ConverterDlg.h"
#include "support/GdiCount.h"
#include "support/MainDialogFixture.h"
#include "support/ModalDriver.h"
#include "support/Pixels.h"
#include "support/RealInput.h"
#include "usage/UsageDlg.h"
#include <gtest/gtest.h>

namespace {
const COLORREF kBand = RGB(136, 170, 214), kSurface = RGB(236, 246, 249);

class MainDialogLookTest : public MainDialogFixture {};

RECT PlaceIn(HWND dlg, int id)
{
    RECT r;
    ::GetWindowRect(::GetDlgItem(dlg, id), &r);
    ::MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// WM_PAINT messages taken from this thread's queue while the hook is set.
int g_paints = 0;
LRESULT CALLBACK CountPaints(int code, WPARAM wp, LPARAM lp)
{
    if (code == HC_ACTION && wp == PM_REMOVE && reinterpret_cast<MSG*>(lp)->message == WM_PAINT) ++g_paints;
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

ULONGLONG ProcessCpu100ns()
{
    FILETIME created, exited, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto v = [](FILETIME f) { return (static_cast<ULONGLONG>(f.dwHighDateTime) << 32) | f.dwLowDateTime; };
    return v(kernel) + v(user);
}

const char* g_opened = nullptr;
CString g_openedText;
void RecordOpen(const char* text) { g_openedText = text; g_opened = g_openedText; }
}

TEST_F(MainDialogLookTest, BandsFrameSurfaceBannerAndButtonIcons)
{
    RunModal(dlg, [&](HWND h) {
        RECT c;
        ::GetClientRect(h, &c);
        const int W = c.right, H = c.bottom;
        Pixels p = Pixels::FromWindow(h);
        EXPECT_EQ(kBand, p.At(W - 10, 20));                  // caption band, right of the banner
        EXPECT_EQ(kSurface, p.At(W - 10, 37));               // between the band and the frame
        EXPECT_EQ(kBand, p.At(4, H / 2));                    // the frame line, 4 in
        EXPECT_EQ(kBand, p.At(W - 5, H / 2));
        EXPECT_EQ(kSurface, p.At(3, H / 2));
        EXPECT_EQ(kSurface, p.At(5, H / 2));
        EXPECT_EQ(kBand, p.At(W / 2, H - 10));               // footer band
        EXPECT_EQ(kSurface, p.At(W / 2, H - 27));

        // Banner: bold, underlined, orange on the band.
        LOGFONTA lf = {};
        ::GetObjectA(dlg.m_labelBanner.GetTextFont(), sizeof lf, &lf);
        EXPECT_EQ(FW_BOLD, lf.lfWeight);
        EXPECT_TRUE(lf.lfUnderline);
        EXPECT_STREQ(g_astrBanner[0], WindowText(::GetDlgItem(h, IDC_BANNER)));
        const RECT banner = PlaceIn(h, IDC_BANNER);
        EXPECT_GT(p.Count(RGB(255, 165, 0), &banner), 0);

        // Every push button shows its icon: the captionless ones centred.
        for (int id : {IDOK, IDCANCEL, IDC_REMOVE_MAPPING, IDC_CREATE_MAPPING, IDC_HOWTO, IDC_BROWSE_EXCEL, IDC_DESTINATION}) {
            const RECT b = PlaceIn(h, id);
            const RECT ink = p.BoundsOfOther(kSurface, {b.left + 1, b.top + 1, b.left + 24, b.bottom - 1});
            EXPECT_GT((ink.right - ink.left) * (ink.bottom - ink.top), 60) << id;
        }
        const RECT browse = PlaceIn(h, IDC_BROWSE_EXCEL);
        const RECT ink = p.BoundsOfOther(kSurface, {browse.left + 1, browse.top + 1, browse.right - 1, browse.bottom - 1});
        EXPECT_LE(std::abs((ink.left - browse.left) - (browse.right - ink.right)), 3);
    });
}

// Each label's pixels: its background colour covers most of it, and the pixels of its text
// farthest from that are in its text colour.
TEST_F(MainDialogLookTest, EachOfTheNineLabelsShowsItsBackgroundAndTextColours)
{
    const COLORREF orange = RGB(255, 165, 0), gold = RGB(255, 215, 0), green = RGB(0, 192, 0);
    const struct {
        int id;
        COLORREF back, text;
    } labels[] = {
        {IDC_BANNER, kBand, orange},         {IDC_EXCEL_CAPTION, kSurface, green},  {IDC_FIELDS_CAPTION, kSurface, green},
        {IDC_SERVER_CAPTION, kSurface, green}, {IDC_TABLES_CAPTION, kSurface, green}, {IDC_MAPPING_CAPTION, kSurface, green},
        {IDC_STATUS, kBand, RGB(230, 0, 17)}, {IDC_CREDIT, kBand, gold},             {IDC_WEB_LINK, kBand, gold},
    };
    RunModal(dlg, [&](HWND h) {
        dlg.m_labelStatus.SetText("数据转换完成");   // the status line is empty until a run
        for (const auto& label : labels) {
            Pixels p = Pixels::FromWindow(::GetDlgItem(h, label.id));
            EXPECT_EQ(label.back, p.MostCommon()) << label.id;
            EXPECT_EQ(label.text, p.FarthestFrom(p.MostCommon())) << label.id;
        }
    });
}

TEST_F(MainDialogLookTest, TheWebAddressShowsTheLinkCursorAndOpensItsText)
{
    CColorLabel::LinkOpener old = CColorLabel::SetLinkOpener(&RecordOpen);
    g_opened = nullptr;
    RunModal(dlg, [&](HWND h) {
        HWND link = ::GetDlgItem(h, IDC_WEB_LINK);
        MouseMoveTo(CentreOf(link));
        PumpMessages(150);
        EXPECT_EQ(::LoadCursorA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_LINK_HAND)), ::GetCursor());
        MouseButton(true);
        MouseButton(false);
        PumpMessages(150);
        ASSERT_NE(nullptr, g_opened);
        EXPECT_STREQ("www.example.com", g_opened);
        MouseMoveTo({::GetSystemMetrics(SM_CXSCREEN) - 5, ::GetSystemMetrics(SM_CYSCREEN) - 5});
        PumpMessages(50);
    });
    CColorLabel::SetLinkOpener(old);
}

TEST_F(MainDialogLookTest, AnIdleDialogPaintsNothingAndUsesNoProcessorTime)
{
    RunModal(dlg, [&](HWND h) {
        Pixels::FromWindow(h);
        PumpMessages(500);
        HHOOK hook = ::SetWindowsHookExA(WH_GETMESSAGE, &CountPaints, nullptr, ::GetCurrentThreadId());
        g_paints = 0;
        const ULONGLONG cpu = ProcessCpu100ns();
        PumpMessages(1000);
        const ULONGLONG used = ProcessCpu100ns() - cpu;
        ::UnhookWindowsHookEx(hook);
        EXPECT_EQ(0, g_paints);
        EXPECT_LT(used, 1000000u);   // under 0.1 s of processor time in a second
    });
}

TEST(UsageDialogLookTest, FrameIconAndNoDrawingObjectLeftAfterTwentyOpenings)
{
    const long before = GdiHandlesOwned();
    long system = 0;
    for (int i = 0; i < 20; ++i) {
        // What the system keeps once made (cached contexts, shared icons) is made by the first.
        if (i == 1) system = SystemGdiObjects();
        CUsageDlg dlg;
        RunModal(dlg, [&](HWND h) {
            Pixels p = Pixels::FromWindow(h);
            if (i > 0) return;
            RECT c;
            ::GetClientRect(h, &c);
            EXPECT_EQ(RGB(244, 249, 250), p.At(2, c.bottom / 2));
            EXPECT_EQ(kBand, p.At(4, c.bottom / 2));
            EXPECT_EQ(kBand, p.At(c.right - 5, c.bottom / 2));
            EXPECT_EQ(kBand, p.At(c.right / 2, c.bottom - 5));
            // The icon at (4, 6) is drawn over the frame's left line.
            const RECT icon = p.BoundsOfOther(RGB(244, 249, 250), {5, 5, 40, 40});
            EXPECT_LE(icon.left, 8);
            EXPECT_GE(icon.right, 30);
            EXPECT_EQ(::GetDlgItem(h, IDOK), ::GetFocus());
        });
    }
    EXPECT_EQ(before, GdiHandlesOwned());
    EXPECT_EQ(system, SystemGdiObjects());
}

TEST(MainDialogLeakTest, OpeningAndPaintingItSixTimesLeavesNoDrawingObjectBehind)
{
    long owned = 0, system = 0;
    for (int i = 0; i < 6; ++i) {
        if (i == 1) {   // the first opening made what the system keeps (cached contexts, shared icons)
            owned = GdiHandlesOwned();
            system = SystemGdiObjects();
        }
        WithMainDialog([](CConverterDlg&, HWND h) { Pixels::FromWindow(h); });
    }
    EXPECT_EQ(owned, GdiHandlesOwned());
    EXPECT_EQ(system, SystemGdiObjects());
}
