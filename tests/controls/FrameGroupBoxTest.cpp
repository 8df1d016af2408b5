// The main dialog's flat group box "目的:": its four sides, the gap for the caption, the
// line's height, the disabled look and the default line colours.
#include "support/MainDialogFixture.h"
#include "support/Pixels.h"
#include <gtest/gtest.h>

TEST(FrameGroupBoxTest, FourSidesAndACaptionGapEightPixelsInAsWideAsTheSpacedCaption)
{
    WithMainDialog([](CConverterDlg& dlg, HWND) {
        HWND box = dlg.m_groupDest.m_hWnd;
        RECT c;
        ::GetClientRect(box, &c);
        const int W = c.right, H = c.bottom;
        const COLORREF line = RGB(136, 170, 214);
        // The line sits at half the system font's height; the gap is the caption with a space
        // each side, in the 9-point caption font.
        HDC dc = ::GetDC(box);
        SIZE system = {0, 0}, caption = {0, 0};
        ::GetTextExtentPoint32A(dc, " 目的: ", 7, &system);
        CFont font;
        font.CreatePointFont(90, "Tahoma");
        HGDIOBJ old = ::SelectObject(dc, font);
        ::GetTextExtentPoint32A(dc, " 目的: ", 7, &caption);
        ::SelectObject(dc, old);
        ::ReleaseDC(box, dc);
        const int y = system.cy / 2 - 1, xs = 8, xe = 8 + caption.cx;

        Pixels p = Pixels::FromWindow(box);
        EXPECT_EQ(line, p.At(0, H / 2));
        EXPECT_EQ(line, p.At(W - 1, H / 2));
        EXPECT_EQ(line, p.At(W / 2, H - 1));
        EXPECT_EQ(line, p.At(3, y));
        EXPECT_EQ(line, p.At(xs - 1, y));
        EXPECT_EQ(line, p.At(xe + 1, y));
        EXPECT_EQ(line, p.At(W - 3, y));
        int inGap = 0;
        for (int x = xs + 1; x < xe; ++x) inGap += p.At(x, y) == line;
        EXPECT_EQ(0, inGap);
        const RECT text = {xs, 0, xe, H / 2};
        EXPECT_GT(p.Count(RGB(255, 165, 0), &text), 0);   // the orange caption stands in the gap

        ::EnableWindow(box, FALSE);
        PumpMessages(100);
        p = Pixels::FromWindow(box);
        EXPECT_EQ(::GetSysColor(COLOR_BTNSHADOW), p.At(0, H / 2));
        EXPECT_EQ(0, p.Count(RGB(255, 165, 0)));
        EXPECT_GT(p.Count(::GetSysColor(COLOR_BTNHIGHLIGHT), &text), 0);   // embossed caption
        ::EnableWindow(box, TRUE);

        dlg.m_groupDest.SetLineColors(0, 0, true);
        p = Pixels::FromWindow(box);
        EXPECT_EQ(::GetSysColor(COLOR_BTNSHADOW), p.At(0, H / 2));
        EXPECT_EQ(dlg.m_groupDest.GetLook(), static_cast<int>(CFrameGroupBox::LookFlat));
        dlg.m_groupDest.SetLook(5);
        EXPECT_EQ(static_cast<int>(CFrameGroupBox::LookEtched), dlg.m_groupDest.GetLook());
    });
}
