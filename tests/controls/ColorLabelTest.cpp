// The colour label: its font description, its colours read back from the screen on a solid
// and on the shaded settings dialog, and the link under the real pointer and keyboard.
#include "ControlsDialog.h"
#include "destination/DbConfigDlg.h"
#include "support/ModalDriver.h"
#include "support/Pixels.h"
#include "support/RealInput.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {
const COLORREF kInk = RGB(200, 0, 40);
const COLORREF kPaper = RGB(250, 240, 200);
const COLORREF kOtherPaper = RGB(200, 250, 240);

std::vector<std::string> g_opened;
void RecordOpen(const char* text) { g_opened.push_back(text); }

class ColorLabelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_opened.clear();
        m_oldOpener = CColorLabel::SetLinkOpener(&RecordOpen);
    }
    void TearDown() override { CColorLabel::SetLinkOpener(m_oldOpener); }

    CColorLabel::LinkOpener m_oldOpener = nullptr;
};

SIZE TextExtent(HFONT font, const char* text)
{
    SIZE size = {0, 0};
    HDC dc = ::GetDC(nullptr);
    {
        CSelection select(dc, font);
        ::GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    }
    ::ReleaseDC(nullptr, dc);
    return size;
}

// A child's rectangle in its parent's client coordinates.
RECT PlaceIn(HWND parent, HWND child)
{
    RECT r;
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}
}

TEST_F(ColorLabelTest, TheFontSettersEachChangeTheirOwnFieldOfTheFontDescription)
{
    CColorLabel label;
    label.SetFontName("Tahoma").SetFontSize(16).SetFontBold(true).SetFontUnderline(true);
    LOGFONTA lf = {};
    ASSERT_TRUE(::GetObjectA(label.GetTextFont(), sizeof lf, &lf));
    EXPECT_STREQ("Tahoma", lf.lfFaceName);
    EXPECT_EQ(-16, lf.lfHeight);
    EXPECT_EQ(700, lf.lfWeight);
    EXPECT_TRUE(lf.lfUnderline);

    label.SetFontBold(false).SetFontUnderline(false);
    ASSERT_TRUE(::GetObjectA(label.GetTextFont(), sizeof lf, &lf));
    EXPECT_EQ(400, lf.lfWeight);
    EXPECT_FALSE(lf.lfUnderline);
    EXPECT_STREQ("Tahoma", lf.lfFaceName);
    EXPECT_EQ(-16, lf.lfHeight);
}

TEST_F(ColorLabelTest, OnASolidDialogTheTextIsInItsColourOnItsOwnBackgroundWhichChangesOnlyAtTheNextRepaint)
{
    ControlsDialog dlg;
    RunModal(dlg, [&](HWND) {
        CColorLabel& label = dlg.m_labelDatabase;
        label.SetBkColor(kPaper).SetTextColor(kInk);
        Pixels shown = Pixels::FromWindow(label);
        const int area = shown.Width() * shown.Height();
        EXPECT_GT(shown.Count(kPaper), area / 2);
        EXPECT_GT(shown.Count(kInk), 10);
        EXPECT_EQ(0, shown.Count(::GetSysColor(COLOR_BTNFACE)));

        label.SetBkColor(kOtherPaper);
        PumpMessages(100);
        CClientDC dc(label);
        EXPECT_EQ(shown.Count(kPaper), Pixels::FromDC(dc, 0, 0, shown.Width(), shown.Height()).Count(kPaper));
        EXPECT_GT(Pixels::FromWindow(label).Count(kOtherPaper), area / 2);
    });
}

// The settings dialog styles its field captions with a light grey background; its shade
// must show through instead.
TEST_F(ColorLabelTest, OnTheShadedDialogTheShadeShowsBehindTheTextInTheLabelsFontAndColourAndShortenedTextLeavesNoTrace)
{
    const COLORREF captionText = RGB(65, 105, 225), captionPaper = RGB(245, 245, 245);
    CDbConfigDlg dlg;
    RunModal(dlg, [&](HWND h) {
        CColorLabel& label = dlg.m_labelLogin;
        const RECT r = PlaceIn(h, label);
        // The shade is drawn row by row: a row's colour is read just left of the label.
        auto isShade = [&](const Pixels& p, int x, int y) { return p.At(x, y) == p.At(r.left - 3, y); };
        auto count = [&](const Pixels& p, const RECT& area, bool shade) {
            int n = 0;
            for (int y = area.top; y < area.bottom; ++y)
                for (int x = area.left; x < area.right; ++x) n += isShade(p, x, y) == shade;
            return n;
        };
        // The columns holding anything but the shade.
        auto inked = [&](const Pixels& p, int* left, int* right) {
            *left = r.right;
            *right = r.left;
            for (int y = r.top; y < r.bottom; ++y)
                for (int x = r.left; x < r.right; ++x)
                    if (!isShade(p, x, y)) {
                        *left = x < *left ? x : *left;
                        *right = x + 1 > *right ? x + 1 : *right;
                    }
        };
        const int area = (r.right - r.left) * (r.bottom - r.top);
        Pixels p = Pixels::FromWindow(h);
        EXPECT_EQ(0, p.Count(captionPaper, &r));
        EXPECT_GT(p.Count(captionText, &r), 0);
        EXPECT_GT(count(p, r, true), area / 2);

        // Shortened: where the old text was, only the shade remains.
        int left, right;
        inked(p, &left, &right);
        label.SetText("登");
        PumpMessages(150);
        const RECT gone = {r.left + TextExtent(label.GetTextFont(), "登").cx + 1, r.top, r.right, r.bottom};
        ASSERT_GT(right, gone.left + 10);
        CClientDC dc(h);
        RECT client;
        ::GetClientRect(h, &client);
        EXPECT_EQ(0, count(Pixels::FromDC(dc, 0, 0, client.right, client.bottom), gone, false));

        // The label's own font: the text is as wide as in that font, not as in the dialog's.
        label.SetText("HH");
        label.SetFontName("Arial").SetFontSize(20);
        const int wide = TextExtent(label.GetTextFont(), "HH").cx;
        ASSERT_GT(wide - TextExtent(reinterpret_cast<HFONT>(::SendMessageA(h, WM_GETFONT, 0, 0)), "HH").cx, 8);
        p = Pixels::FromWindow(h);
        inked(p, &left, &right);
        EXPECT_NEAR(wide, right - left, 4);
        EXPECT_GT(p.Count(captionText, &r), 10);
    });
}

TEST_F(ColorLabelTest, ALinkShowsItsCursorAndOpensItsTextOnAClickEnterOrSpaceAPlainLabelOpensNothing)
{
    HCURSOR hand = ::LoadCursorA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_LINK_HAND));
    ASSERT_NE(nullptr, hand);
    ControlsDialog dlg;
    RunModal(dlg, [&](HWND h) {
        ::SetForegroundWindow(h);
        CColorLabel& link = dlg.m_labelDatabase;
        link.SetText("www.example.com").SetLink(true).SetLinkCursor(hand);
        MouseMoveTo(CentreOf(link));
        PumpDialogMessages(h, 150);
        EXPECT_EQ(hand, ::GetCursor());
        MouseClickAt(CentreOf(link));
        PumpDialogMessages(h, 150);
        EXPECT_EQ(std::vector<std::string>{"www.example.com"}, g_opened);

        // From the keyboard: a tab stop after the Cancel button; Enter opens it rather than
        // pressing the default button.
        ::SetFocus(::GetDlgItem(h, IDCANCEL));
        KeyPress(VK_TAB);
        PumpDialogMessages(h, 100);
        ASSERT_EQ(link.m_hWnd, ::GetFocus());
        KeyPress(VK_RETURN);
        PumpDialogMessages(h, 100);
        EXPECT_EQ(2u, g_opened.size());
        EXPECT_EQ(-1, dlg.m_nModalResult);
        KeyPress(VK_SPACE);
        PumpDialogMessages(h, 100);
        EXPECT_EQ(3u, g_opened.size());

        // Never a link, and a link no more.
        dlg.m_labelPassword.SetLink(true).SetLink(false);
        for (CColorLabel* plain : {&dlg.m_labelLogin, &dlg.m_labelPassword}) {
            MouseClickAt(CentreOf(*plain));
            PumpDialogMessages(h, 150);
        }
        EXPECT_EQ(3u, g_opened.size());
        EXPECT_TRUE(::IsWindowVisible(h));
    });
}
