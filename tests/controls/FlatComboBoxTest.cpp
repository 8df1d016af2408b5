// The main dialog's flat table box: its two edge lines, the drop button placed by the menu
// bar's height, the inner square growing while the real mouse button is held, its colours.
#include "support/MainDialogFixture.h"
#include "support/Pixels.h"
#include "support/RealInput.h"
#include <gtest/gtest.h>

TEST(FlatComboBoxTest, EdgeLinesDropButtonAndAnInnerSquareThatGrowsWhileHeld)
{
    WithMainDialog([](CConverterDlg& dlg, HWND) {
        CFlatComboBox& combo = dlg.m_comboTables;
        RECT c;
        combo.GetClientRect(&c);
        const int W = c.right, H = c.bottom;
        const COLORREF white = RGB(255, 255, 255), edge = RGB(136, 170, 214), fill = RGB(0, 192, 0),
                       square = RGB(236, 246, 249);
        const int menu = ::GetSystemMetrics(SM_CYMENU) & 0xFF;
        const RECT b = {W - menu + 1, 1, W - 1, H - 1};
        const int w = (b.right - b.left) / 3, h = (b.bottom - b.top) / 3;

        Pixels p = Pixels::FromWindow(combo.m_hWnd);
        EXPECT_EQ(white, p.At(0, 0));
        EXPECT_EQ(white, p.At(W - 1, H - 1));
        EXPECT_EQ(edge, p.At(1, H / 2));
        EXPECT_EQ(edge, p.At(W / 2, H - 2));
        EXPECT_EQ(fill, p.At(b.left, b.top + 1));
        EXPECT_EQ(fill, p.At(b.right - 2, b.bottom - 2));
        EXPECT_EQ(square, p.At(b.left + w, b.top + h));
        EXPECT_EQ(square, p.At(b.right - w - 1, b.bottom - h - 1));
        EXPECT_EQ(fill, p.At(b.left + w - 1, b.top + h));
        EXPECT_EQ(fill, p.At(b.right - w, b.bottom - h - 1));

        MouseMoveTo(ScreenPoint(combo.m_hWnd, (b.left + b.right) / 2, H / 2));
        MouseButton(true);
        PumpMessages(150);
        EXPECT_TRUE(combo.IsButtonDown());
        p = Pixels::FromWindow(combo.m_hWnd);
        EXPECT_EQ(square, p.At(b.left + w - 1, b.top + h - 1));
        EXPECT_EQ(square, p.At(b.right - w, b.bottom - h));
        MouseButton(false);
        PumpMessages(100);
        KeyPress(VK_ESCAPE);   // closes the list the press opened
        PumpMessages(100);
        EXPECT_FALSE(combo.IsButtonDown());
        p = Pixels::FromWindow(combo.m_hWnd);
        EXPECT_EQ(fill, p.At(b.left + w - 1, b.top + h));

        // Indexes outside the table change nothing.
        COLORREF before[CFlatComboBox::kColorSlots];
        for (int i = 0; i < CFlatComboBox::kColorSlots; ++i) before[i] = combo.GetColor(i);
        combo.SetColor(5, RGB(1, 2, 3), true);
        combo.SetColor(-1, RGB(1, 2, 3), true);
        for (int i = 0; i < CFlatComboBox::kColorSlots; ++i) EXPECT_EQ(before[i], combo.GetColor(i)) << i;
    });
}
