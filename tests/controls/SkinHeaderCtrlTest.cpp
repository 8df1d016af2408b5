// The skinned list header on the main dialog's column list: its height, its flat and shaded
// backgrounds, titles, dividers and outline, and partial repaints.
#include "support/MainDialogFixture.h"
#include "support/Pixels.h"
#include <gtest/gtest.h>

namespace {
const COLORREF kFlat = RGB(245, 245, 245);

int HeightOf(HWND h)
{
    RECT r;
    ::GetWindowRect(h, &r);
    return r.bottom - r.top;
}

// The header with dividers and outline off, shaded from `start` by `step` in `mode`.
Pixels Shaded(CSkinHeaderCtrl& header, int mode, COLORREF start, int step)
{
    header.SetDividerColor(RGB(211, 211, 211), false);
    header.SetFrameColor(kFlat, false);
    header.SetGradientMode(mode);
    header.SetBackGradient(start, step);
    return Pixels::FromWindow(header.m_hWnd);
}
}

TEST(SkinHeaderCtrlTest, TallerByItsFactorWithTheFirstRowBelowIt)
{
    WithMainDialog([](CConverterDlg& dlg, HWND) {
        CSkinHeaderCtrl& header = dlg.m_headerColumns;
        CListCtrl& list = dlg.m_listColumns;
        header.SetHeightFactor(1.0f);
        CSkinHeaderCtrl::RelayoutHeader(list);
        const int plain = HeightOf(header.m_hWnd);

        header.SetHeightFactor(1.1f);
        CSkinHeaderCtrl::RelayoutHeader(list);
        const int taller = HeightOf(header.m_hWnd);
        EXPECT_EQ(static_cast<int>(plain * 1.1f), taller) << plain;
        EXPECT_GT(taller, plain);
        list.InsertItem(0, "编号", 1);
        RECT row = {LVIR_BOUNDS, 0, 0, 0};
        list.SendMessage(LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
        EXPECT_GE(row.top, taller);
    });
}

TEST(SkinHeaderCtrlTest, FlatBackgroundNavyTitlesThreePixelsInDividersAndOutline)
{
    WithMainDialog([](CConverterDlg& dlg, HWND) {
        CSkinHeaderCtrl& header = dlg.m_headerColumns;
        RECT client, first;
        header.GetClientRect(&client);
        header.GetItemRect(0, &first);
        Pixels p = Pixels::FromWindow(header.m_hWnd);
        EXPECT_EQ(kFlat, p.At(client.right - 4, client.bottom / 2));
        EXPECT_EQ(kFlat, p.At(first.left + 1, 2));
        const RECT title = p.BoundsOfOther(kFlat, {first.left + 1, 1, first.right, client.bottom - 1});
        EXPECT_GT(p.Count(RGB(0, 0, 128), &title), 0);   // navy
        EXPECT_GE(title.left, first.left + 3);
        EXPECT_LE(title.left, first.left + 6);
        EXPECT_EQ(RGB(211, 211, 211), p.At(first.right, client.bottom / 2));

        header.SetFrameColor(RGB(200, 0, 0), true);
        p = Pixels::FromWindow(header.m_hWnd);
        EXPECT_EQ(RGB(200, 0, 0), p.At(0, 0));
        EXPECT_EQ(RGB(200, 0, 0), p.At(client.right - 1, client.bottom - 1));
        EXPECT_EQ(kFlat, p.At(1, 1));
    });
}

TEST(SkinHeaderCtrlTest, ShadedRowsStepClampAtZeroWrapAbove255AndTurnAtTheMiddle)
{
    WithMainDialog([](CConverterDlg& dlg, HWND) {
        CSkinHeaderCtrl& header = dlg.m_headerColumns;
        RECT client;
        header.GetClientRect(&client);
        const int x = client.right - 3, H = client.bottom;

        // A flat paint zeroes the step, and it stays zero in another mode until set again.
        Shaded(header, 0, kFlat, 3);
        EXPECT_EQ(0, header.GetStep());
        header.SetGradientMode(1);
        Pixels p = Pixels::FromWindow(header.m_hWnd);
        EXPECT_EQ(p.At(x, 0), p.At(x, 5));

        p = Shaded(header, 1, RGB(5, 245, 245), 3);
        EXPECT_EQ(RGB(5, 245, 245), p.At(x, 0));
        EXPECT_EQ(RGB(2, 242, 242), p.At(x, 1));
        EXPECT_EQ(RGB(0, 239, 239), p.At(x, 2));
        EXPECT_EQ(RGB(0, 236, 236), p.At(x, 3));

        p = Shaded(header, 1, RGB(250, 250, 250), -3);   // lighter each row: past 255 the low byte
        EXPECT_EQ(RGB(253, 253, 253), p.At(x, 1));
        EXPECT_EQ(RGB(0, 0, 0), p.At(x, 2));
        EXPECT_EQ(RGB(3, 3, 3), p.At(x, 3));

        p = Shaded(header, 2, RGB(200, 200, 200), 3);
        const int middle = H / 2;
        EXPECT_EQ(RGB(200 - 3 * middle, 200 - 3 * middle, 200 - 3 * middle), p.At(x, middle));
        EXPECT_EQ(p.At(x, middle), p.At(x, middle + 2));
        EXPECT_EQ(RGB(200 - 3 * (middle + 1), 200 - 3 * (middle + 1), 200 - 3 * (middle + 1)), p.At(x, middle + 1));
    });
}

TEST(SkinHeaderCtrlTest, APartialRepaintDrawsTheSamePixelsAsAWholeOne)
{
    WithMainDialog([](CConverterDlg& dlg, HWND) {
        CSkinHeaderCtrl& header = dlg.m_headerColumns;
        RECT client;
        header.GetClientRect(&client);
        Pixels whole = Shaded(header, 2, RGB(200, 180, 160), 3);
        RECT lower = {0, client.bottom / 2 - 1, client.right, client.bottom};
        ::InvalidateRect(header.m_hWnd, &lower, FALSE);
        ::UpdateWindow(header.m_hWnd);
        HDC dc = ::GetDC(header.m_hWnd);
        Pixels part = Pixels::FromDC(dc, 0, 0, client.right, client.bottom);
        ::ReleaseDC(header.m_hWnd, dc);
        int differing = 0;
        for (int y = 0; y < client.bottom; ++y)
            for (int x = 0; x < client.right; ++x) differing += whole.At(x, y) != part.At(x, y);
        EXPECT_EQ(0, differing);
    });
}
