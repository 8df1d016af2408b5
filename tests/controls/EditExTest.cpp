// The edit field: the 65535-character rule under real typing, with single- and double-byte
// characters; its frame and underline read back from the screen; the font it makes.
#include "ControlsDialog.h"
#include "support/ModalDriver.h"
#include "support/Pixels.h"
#include "support/RealInput.h"
#include <gtest/gtest.h>
#include <string>

namespace {
const int kFull = 65535;
const COLORREF kBack = RGB(255, 248, 220);
const COLORREF kBorder = RGB(65, 105, 225);

// The field's text. The wide length of an ANSI window's text may count bytes: it is only room.
std::wstring TextOf(HWND edit)
{
    std::wstring s(static_cast<size_t>(::GetWindowTextLengthW(edit)) + 1, L'\0');
    s.resize(static_cast<size_t>(::GetWindowTextW(edit, &s[0], static_cast<int>(s.size()))));
    return s;
}

// Equal texts; otherwise where they first differ (the texts are too long to print whole).
::testing::AssertionResult SameText(const std::wstring& expected, const std::wstring& actual)
{
    size_t i = 0;
    while (i < expected.size() && i < actual.size() && expected[i] == actual[i]) ++i;
    if (i == expected.size() && i == actual.size()) return ::testing::AssertionSuccess();
    auto at = [i](const std::wstring& s) { return i < s.size() ? static_cast<unsigned>(s[i]) : 0u; };
    return ::testing::AssertionFailure() << "lengths " << expected.size() << " and " << actual.size()
                                         << ", first difference at " << i << ": character " << at(expected)
                                         << " expected, " << at(actual) << " found";
}

class EditExTest : public ::testing::Test {
protected:
    // Runs `script` with the dialog shown, active, and `field` holding the keyboard focus.
    void Run(CEditEx ControlsDialog::*field, const std::function<void(HWND dlg, CEditEx& edit)>& script)
    {
        RunModal(dlg, [&](HWND h) {
            CEditEx& edit = dlg.*field;
            ::SetForegroundWindow(h);
            edit.SetFocus();
            script(h, edit);
        });
    }
    // Fills the field with `length` copies of 'a' and puts the selection on [start, end).
    static void Fill(HWND edit, int length, int start, int end)
    {
        ::SetWindowTextW(edit, std::wstring(static_cast<size_t>(length), L'a').c_str());
        ::SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(start), end);
    }
    // Types `ch` at the selection through the dialog manager, as a person would.
    static std::wstring TypeAt(HWND dlg, HWND edit, int start, int end, wchar_t ch)
    {
        ::SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(start), end);
        TypeCharacter(ch);
        PumpDialogMessages(dlg, 60);
        return TextOf(edit);
    }

    ControlsDialog dlg;
};

// Pixels of `p`'s outermost ring (one pixel wide) that have exactly `color`.
int RingCount(const Pixels& p, COLORREF color)
{
    const int w = p.Width(), h = p.Height();
    const RECT rows[] = {{0, 0, w, 1}, {0, h - 1, w, h}, {0, 1, 1, h - 1}, {w - 1, 1, w, h - 1}};
    int n = 0;
    for (const RECT& r : rows) n += p.Count(color, &r);
    return n;
}
}

TEST_F(EditExTest, AtTheLimitAPrintableCharacterOnlyReplacesASelectionAndBackspaceStillWorks)
{
    Run(&ControlsDialog::m_editLogin, [&](HWND h, CEditEx& edit) {
        Fill(edit, kFull - 2, kFull - 2, kFull - 2);
        // Below the limit typing grows the text, up to the limit.
        EXPECT_EQ(kFull - 1, static_cast<int>(TypeAt(h, edit, kFull - 2, kFull - 2, L'b').size()));
        std::wstring full = TypeAt(h, edit, kFull - 1, kFull - 1, L'c');
        ASSERT_EQ(kFull, static_cast<int>(full.size()));
        EXPECT_EQ(L"bc", full.substr(kFull - 2));

        // At the limit: dropped without a selection, in place of a selection of one or more.
        EXPECT_TRUE(SameText(full, TypeAt(h, edit, kFull, kFull, L'd')));
        full[10] = L'e';
        EXPECT_TRUE(SameText(full, TypeAt(h, edit, 10, 11, L'e')));
        EXPECT_TRUE(SameText(L"f" + full.substr(5), TypeAt(h, edit, 0, 5, L'f')));

        Fill(edit, kFull, kFull, kFull);
        KeyPress(VK_BACK);
        PumpDialogMessages(h, 60);
        EXPECT_EQ(kFull - 1, static_cast<int>(TextOf(edit).size()));
    });
}

// An ANSI window receives a double-byte character as two messages: the pair goes in whole
// or not at all.
TEST_F(EditExTest, AtTheLimitADoubleByteCharacterReplacesASelectionWholeOrIsDroppedWhole)
{
    Run(&ControlsDialog::m_editDatabase, [&](HWND h, CEditEx& edit) {
        Fill(edit, kFull - 1, kFull - 1, kFull - 1);
        std::wstring full = TypeAt(h, edit, kFull - 1, kFull - 1, L'中');
        ASSERT_EQ(kFull, static_cast<int>(full.size()));
        EXPECT_TRUE(SameText(std::wstring(kFull - 1, L'a') + L"中", full));

        EXPECT_TRUE(SameText(full, TypeAt(h, edit, 100, 100, L'中')));
        full[100] = L'中';
        EXPECT_TRUE(SameText(full, TypeAt(h, edit, 100, 101, L'中')));
        const std::wstring shorter = L"中" + full.substr(3);
        EXPECT_TRUE(SameText(shorter, TypeAt(h, edit, 0, 3, L'中')));
        // A double-byte character counts as one: three of them in 65533 characters leave room.
        EXPECT_TRUE(SameText(shorter + L"x", TypeAt(h, edit, kFull - 2, kFull - 2, L'x')));
        // Nothing of a refused pair lingers to spoil the next character.
        Fill(edit, kFull, kFull, kFull);
        TypeAt(h, edit, kFull, kFull, L'中');
        EXPECT_TRUE(SameText(L"b" + std::wstring(kFull - 1, L'a'), TypeAt(h, edit, 0, 1, L'b')));
    });
}

TEST_F(EditExTest, TheBorderIsAFullFrameOrAnUnderlineOverTheStaticEdgeAndOutlivesAFrameRepaint)
{
    Run(&ControlsDialog::m_editDatabase, [&](HWND h, CEditEx& edit) {
        edit.SetBackColor(kBack);
        edit.SetBorderColor(kBorder);
        Pixels p = Pixels::FromWindow(edit, true);
        const int w = p.Width(), ht = p.Height(), ring = 2 * w + 2 * ht - 4;
        EXPECT_EQ(ring, RingCount(p, kBorder));
        EXPECT_GT(p.Count(kBack), (w - 2) * (ht - 2) / 2);

        // The underline: the edge in the background colour but for the last row of the
        // client area, which is the border colour from edge to edge.
        edit.SetFullFrame(false);
        p = Pixels::FromWindow(edit, true);
        const RECT lastRow = {0, ht - 2, w, ht - 1};
        EXPECT_EQ(w, p.Count(kBorder, &lastRow));
        EXPECT_EQ(w, p.Count(kBorder));
        EXPECT_EQ(ring - 2, RingCount(p, kBack));

        // A repaint of the frame alone, the client area untouched, draws the static edge again.
        edit.SetFullFrame(true);
        Pixels::FromWindow(edit, true);
        ::SendMessageA(edit, WM_NCPAINT, 1, 0);
        PumpDialogMessages(h, 100);
        CWindowDC dc(edit);
        EXPECT_EQ(ring, RingCount(Pixels::FromDC(dc, 0, 0, w, ht), kBorder));
    });
}

TEST_F(EditExTest, SetTextFontGivesTheFieldANormalWeightFontWithTheFaceCutOnACharacterBoundary)
{
    Run(&ControlsDialog::m_editLogin, [&](HWND, CEditEx& edit) {
        edit.SetTextFont(-14, 700, 0, "Arial");
        LOGFONTA lf = {};
        ASSERT_TRUE(::GetObjectA(edit.GetTextFont(), sizeof lf, &lf));
        EXPECT_EQ(400, lf.lfWeight);
        EXPECT_EQ(-14, lf.lfHeight);
        EXPECT_STREQ("Arial", lf.lfFaceName);
        EXPECT_EQ(edit.GetTextFont(), edit.GetFont());

        // Sixteen double-byte characters are 32 bytes: 15 of them fit in 31.
        std::string face, fits;
        for (int i = 0; i < 16; ++i) face += "中";
        for (int i = 0; i < 15; ++i) fits += "中";
        edit.SetTextFont(-14, 400, 0, face.c_str());
        ASSERT_TRUE(::GetObjectA(edit.GetTextFont(), sizeof lf, &lf));
        EXPECT_STREQ(fits.c_str(), lf.lfFaceName);
        EXPECT_EQ(edit.GetTextFont(), edit.GetFont());
    });
}
