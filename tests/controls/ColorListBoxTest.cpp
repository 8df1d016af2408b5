// The colour list box: item records, index rules, item heights, and its drawing read back as
// pixels, both straight into a memory bitmap and from the window on the screen.
#include "controls/ColorListBox.h"
#include "support/ModalDriver.h"
#include "support/Pixels.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdlib>

namespace {
const COLORREF kBack = RGB(255, 255, 255);
const COLORREF kText = RGB(65, 105, 225);
const COLORREF kRed = RGB(230, 0, 17);
const int kListId = 1007;

// A top-level window that owns the list box and offers it its notifications (reflection),
// counting the draw requests it passes on.
class OwnerWindow : public CWnd {
public:
    OwnerWindow()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "SmColorListOwner";
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        ::RegisterClassA(&wc);
        HWND h = ::CreateWindowExA(0, wc.lpszClassName, "owner", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 50, 50,
                                   300, 260, nullptr, nullptr, wc.hInstance, nullptr);
        SubclassWindow(h);
    }
    ~OwnerWindow() override
    {
        HWND h = UnsubclassWindow();
        if (h) ::DestroyWindow(h);
    }
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override
    {
        if (msg == WM_DRAWITEM) {
            ++m_nDrawItems;
            m_lastAction = reinterpret_cast<DRAWITEMSTRUCT*>(lp)->itemAction;
        }
        return CWnd::WindowProc(msg, wp, lp);
    }
    int m_nDrawItems = 0;
    UINT m_lastAction = 0;
};

class ColorListBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        HWND h = ::CreateWindowExA(0, "LISTBOX", "",
                                   WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWVARIABLE |
                                       LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT,
                                   10, 10, 240, 200, owner.m_hWnd, reinterpret_cast<HMENU>(kListId),
                                   ::GetModuleHandleA(nullptr), nullptr);
        ASSERT_TRUE(list.SubclassWindow(h));
        // Glyphs without smoothing, so that text pixels have exactly the text colour.
        LOGFONTA lf = {};
        lf.lfHeight = -13;
        lf.lfQuality = NONANTIALIASED_QUALITY;
        lstrcpyA(lf.lfFaceName, "Tahoma");
        font.CreateFontIndirect(&lf);
        list.SetFont(font, FALSE);
        baseRecords = CColorListBox::AllocatedStyleCount();
    }
    void TearDown() override
    {
        if (list.m_hWnd) ::DestroyWindow(list.m_hWnd);
        EXPECT_EQ(baseRecords, CColorListBox::AllocatedStyleCount());
    }
    int Records() const { return CColorListBox::AllocatedStyleCount() - baseRecords; }
    int ItemHeight(int i) const { return static_cast<int>(list.SendMessage(LB_GETITEMHEIGHT, static_cast<WPARAM>(i))); }
    CString Text(int i) const
    {
        CString s;
        list.GetText(i, s);
        return s;
    }

    CFont font;
    OwnerWindow owner;
    CColorListBox list;
    int baseRecords = 0;
};

// A memory surface with the checks these tests make on what was drawn into it.
class Canvas : public Surface {
public:
    using Surface::Surface;
    // Copies a window's client area as it is on the screen.
    void CopyFrom(HWND h)
    {
        HDC src = ::GetDC(h);
        ::BitBlt(dc(), 0, 0, Width(), Height(), src, 0, 0, SRCCOPY);
        ::ReleaseDC(h, src);
    }
    COLORREF At(int x, int y) const { return ::GetPixel(dc(), x, y); }
    int Count(const RECT& r, COLORREF c) const
    {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) n += At(x, y) == c;
        return n;
    }
    // Pixels on the outline of r (one pixel wide) that are not colour c.
    int OutlineOther(const RECT& r, COLORREF c) const
    {
        int n = 0;
        for (int x = r.left; x < r.right; ++x) n += (At(x, r.top) != c) + (At(x, r.bottom - 1) != c);
        for (int y = r.top + 1; y < r.bottom - 1; ++y) n += (At(r.left, y) != c) + (At(r.right - 1, y) != c);
        return n;
    }
};

RECT Deflated(RECT r, int n)
{
    ::InflateRect(&r, -n, -n);
    return r;
}
}

TEST_F(ColorListBoxTest, InsertsAtAnyPositionUpToTheCountAndKeepsEachItemsStyle)
{
    EXPECT_EQ(0, list.InsertItem("b", 0, kBack, kText, 0, DT_VCENTER));
    EXPECT_EQ(0, list.InsertItem("a", 0, RGB(1, 2, 3), RGB(4, 5, 6), DT_CENTER, DT_BOTTOM));
    EXPECT_EQ(2, list.InsertItem("c", 2, kBack, kRed, DT_RIGHT, 0));   // at the count: appends
    EXPECT_EQ(-1, list.InsertItem("x", 4, kBack, kText, 0, 0));       // beyond the count + 0
    EXPECT_EQ(-1, list.InsertItem("x", -1, kBack, kText, 0, 0));
    EXPECT_EQ(3, list.AddItem("d"));
    ASSERT_EQ(4, list.GetCount());
    EXPECT_STREQ("a", Text(0));
    EXPECT_STREQ("b", Text(1));
    EXPECT_STREQ("c", Text(2));
    EXPECT_EQ(4, Records());

    const ListItemStyle* a = list.GetItemStyle(0);
    ASSERT_NE(nullptr, a);
    EXPECT_EQ(RGB(1, 2, 3), a->crBack);
    EXPECT_EQ(RGB(4, 5, 6), a->crText);
    EXPECT_EQ(static_cast<UINT>(DT_CENTER), a->nFormat);
    EXPECT_EQ(static_cast<UINT>(DT_BOTTOM), a->nFormatEx);
    EXPECT_EQ(kRed, list.GetItemStyle(2)->crText);
    EXPECT_EQ(CColorListBox::UseSystemColor, list.GetItemStyle(3)->crBack);
    EXPECT_EQ(nullptr, list.GetItemStyle(4));
}

TEST_F(ColorListBoxTest, RemovingItemsFreesTheirRecords)
{
    for (const char* s : {"a", "b", "c", "d"}) list.AddItem(s, kBack, kText);
    EXPECT_FALSE(list.RemoveItem(4));
    EXPECT_FALSE(list.RemoveItem(-2));
    EXPECT_FALSE(list.RemoveItem(-1));   // nothing selected
    EXPECT_TRUE(list.RemoveItem(1));
    EXPECT_STREQ("c", Text(1));
    list.SetCurSel(2);                    // "d"
    EXPECT_TRUE(list.RemoveItem(-1));
    EXPECT_EQ(2, list.GetCount());
    EXPECT_EQ(2, Records());
    list.RemoveAllItems();
    EXPECT_EQ(0, list.GetCount());
    EXPECT_EQ(0, Records());
    EXPECT_FALSE(list.RemoveItem(0));
}

TEST_F(ColorListBoxTest, DestroyingTheWindowFreesEveryRecord)
{
    for (int i = 0; i < 50; ++i) list.AddItem("item", kBack, kText);
    EXPECT_EQ(50, Records());
    ::DestroyWindow(list.m_hWnd);
    EXPECT_EQ(nullptr, list.m_hWnd);
    EXPECT_EQ(0, Records());
}

TEST_F(ColorListBoxTest, ItemHeightIsTheSetHeightPlusSixOrTheFontsHeightPlusSix)
{
    list.m_nItemHeight = 16;
    list.AddItem("fixed");
    EXPECT_EQ(22, ItemHeight(0));

    // With 0 the height follows the font at the time the item is inserted.
    list.m_nItemHeight = 0;
    LOGFONTA lf = {};
    lf.lfHeight = -40;
    lstrcpyA(lf.lfFaceName, "Tahoma");
    CFont big;
    big.CreateFontIndirect(&lf);
    list.SetFont(big, FALSE);
    list.AddItem("big");
    TEXTMETRICA tm;
    {
        CClientDC dc(list.m_hWnd);
        HGDIOBJ old = dc.SelectObject(big);
        ::GetTextMetricsA(dc, &tm);
        dc.SelectObject(old);
    }
    EXPECT_EQ(tm.tmHeight + 6, ItemHeight(1));
    EXPECT_GT(ItemHeight(1), 40);
    EXPECT_EQ(22, ItemHeight(0));   // fixed when inserted
    list.SetFont(font, FALSE);
}

TEST_F(ColorListBoxTest, ColourSettersResolveTheIndexAndRepaintOnlyWhenValid)
{
    ::ShowWindow(owner.m_hWnd, SW_SHOWNOACTIVATE);
    ::UpdateWindow(owner.m_hWnd);
    // Empty list: -1 is invalid.
    EXPECT_FALSE(list.SetItemBackColor(kRed, -1));
    EXPECT_FALSE(list.SetItemTextColor(kRed, -1));
    list.AddItem("a", kBack, kText);
    list.AddItem("b", kBack, kText);
    ::UpdateWindow(list.m_hWnd);
    PumpMessages(50);

    // Nothing selected, or out of range: FALSE, nothing drawn.
    int draws = owner.m_nDrawItems;
    EXPECT_FALSE(list.SetItemTextColor(kRed, -1));
    EXPECT_FALSE(list.SetItemBackColor(kRed, 2));
    EXPECT_FALSE(list.SetItemTextColor(kRed, -5));
    EXPECT_EQ(draws, owner.m_nDrawItems);
    EXPECT_EQ(kText, list.GetItemStyle(0)->crText);

    // A valid index repaints the items at once, before the setter returns.
    EXPECT_TRUE(list.SetItemTextColor(kRed, 1));
    EXPECT_GE(owner.m_nDrawItems, draws + 2);
    EXPECT_EQ(kRed, list.GetItemStyle(1)->crText);
    EXPECT_EQ(kText, list.GetItemStyle(0)->crText);

    // -1 is the selected item.
    list.SetCurSel(0);
    EXPECT_TRUE(list.SetItemBackColor(RGB(10, 20, 30), -1));
    EXPECT_EQ(RGB(10, 20, 30), list.GetItemStyle(0)->crBack);
    EXPECT_EQ(kBack, list.GetItemStyle(1)->crBack);
}

TEST_F(ColorListBoxTest, SystemColourChangeRepaintsAtOnce)
{
    ::ShowWindow(owner.m_hWnd, SW_SHOWNOACTIVATE);
    list.AddItem("a", kBack, kText);
    ::UpdateWindow(owner.m_hWnd);
    PumpMessages(50);
    int draws = owner.m_nDrawItems;
    list.SendMessage(WM_SYSCOLORCHANGE);
    EXPECT_GT(owner.m_nDrawItems, draws);
}

TEST_F(ColorListBoxTest, DrawsBackTextAndInsetIntoADeviceContext)
{
    list.AddItem("MMMMMMMM", RGB(255, 255, 0), RGB(0, 0, 255), 0, DT_VCENTER);
    const RECT item = {0, 0, 200, 40};
    Canvas canvas(200, 40, RGB(0, 255, 0));
    ::SelectObject(canvas.dc(), list.GetFont());
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_LISTBOX;
    dis.itemID = 0;
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = ODS_FOCUS | ODS_SELECTED;   // neither highlight nor focus outline
    dis.hwndItem = list.m_hWnd;
    dis.hDC = canvas.dc();
    dis.rcItem = item;
    dis.itemData = list.GetItemData(0);
    list.DrawItem(&dis);

    // The whole item is filled; the text is in the text colour and keeps 3 pixels off the left.
    EXPECT_EQ(0, canvas.Count(item, RGB(0, 255, 0)));
    EXPECT_GT(canvas.Count(item, RGB(0, 0, 255)), 20);
    EXPECT_EQ(0, canvas.Count({0, 0, 3, 40}, RGB(0, 0, 255)));
    EXPECT_GT(canvas.Count({3, 0, 5, 40}, RGB(0, 0, 255)) + canvas.Count({5, 0, 7, 40}, RGB(0, 0, 255)), 0);
    // Vertically centred: as much room above the text as below.
    int top = 40, bottom = 0;
    for (int y = 0; y < 40; ++y)
        if (canvas.Count({0, y, 200, y + 1}, RGB(0, 0, 255))) { top = std::min(top, y); bottom = y; }
    EXPECT_LE(std::abs(top - (39 - bottom)), 3) << top << " " << bottom;
    // No focus outline when the request is not a focus change.
    for (int ring = 0; ring < 3; ++ring) EXPECT_EQ(0, canvas.OutlineOther(Deflated(item, ring), RGB(255, 255, 0)));
}

TEST_F(ColorListBoxTest, FocusChangeDrawsThreeNestedDottedRectangles)
{
    list.AddItem("m", CColorListBox::UseSystemColor, CColorListBox::UseSystemColor, DT_RIGHT, DT_BOTTOM);
    const RECT item = {0, 0, 120, 30};
    Canvas canvas(120, 30, RGB(0, 255, 0));
    ::SelectObject(canvas.dc(), font);
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_LISTBOX;
    dis.itemAction = ODA_FOCUS;
    dis.itemState = ODS_FOCUS;
    dis.hwndItem = list.m_hWnd;
    dis.hDC = canvas.dc();
    dis.rcItem = item;
    dis.itemData = list.GetItemData(0);
    list.DrawItem(&dis);

    const COLORREF window = ::GetSysColor(COLOR_WINDOW);
    for (int ring = 0; ring < 3; ++ring) {
        int other = canvas.OutlineOther(Deflated(item, ring), window);
        EXPECT_GT(other, 30) << "ring " << ring;   // dotted: about every second pixel
        EXPECT_LT(other, 2 * (120 + 30)) << "ring " << ring;
    }
    EXPECT_EQ(0, canvas.OutlineOther(Deflated(item, 3), window));
    // The system text colour is used for the text (bottom right, inside the inset).
    EXPECT_GT(canvas.Count({60, 3, 117, 27}, ::GetSysColor(COLOR_WINDOWTEXT)), 0);

    // Losing the focus redraws the item whole, without the rectangles.
    dis.itemState = 0;
    list.DrawItem(&dis);
    for (int ring = 0; ring < 3; ++ring) EXPECT_EQ(0, canvas.OutlineOther(Deflated(item, ring), window));

    // Item -1 (an empty list's focus) draws nothing.
    Canvas untouched(20, 20, RGB(0, 255, 0));
    dis.itemID = static_cast<UINT>(-1);
    dis.hDC = untouched.dc();
    dis.rcItem = {0, 0, 20, 20};
    list.DrawItem(&dis);
    EXPECT_EQ(400, untouched.Count({0, 0, 20, 20}, RGB(0, 255, 0)));
}

TEST_F(ColorListBoxTest, OnScreenItemsShowTheirColoursAndTheFocusWhileTheyHaveIt)
{
    list.m_nItemHeight = 16;
    list.AddItem("first", kBack, kText, 0, DT_VCENTER);
    list.AddItem("second", RGB(255, 255, 0), kText, 0, DT_VCENTER);
    ::ShowWindow(owner.m_hWnd, SW_SHOW);
    ::SetForegroundWindow(owner.m_hWnd);
    ::UpdateWindow(owner.m_hWnd);
    PumpMessages(100);

    RECT r1;
    list.GetItemRect(1, &r1);
    EXPECT_EQ(22, r1.bottom - r1.top);
    Canvas screen(240, 200, RGB(0, 255, 0));
    screen.CopyFrom(list.m_hWnd);
    // Item 0: white with the normal text colour; item 1: yellow; selection draws no highlight.
    EXPECT_EQ(kBack, screen.At(100, 11));
    EXPECT_EQ(RGB(255, 255, 0), screen.At(100, r1.top + 11));
    EXPECT_GT(screen.Count({0, 0, 100, 22}, kText), 0);

    // Keyboard focus on item 1: three dotted rectangles around it.
    list.SetCurSel(1);
    ::SetFocus(list.m_hWnd);
    PumpMessages(100);
    screen.CopyFrom(list.m_hWnd);
    const COLORREF yellow = RGB(255, 255, 0);
    for (int ring = 0; ring < 3; ++ring) EXPECT_GT(screen.OutlineOther(Deflated(r1, ring), yellow), 20) << ring;

    // When the focus leaves, the item is drawn whole again without them, and so it is by a
    // later repaint. (While the list box has the focus, the platform's list box asks for the
    // focus again after each repaint.)
    ::SetFocus(owner.m_hWnd);
    PumpMessages(50);
    screen.CopyFrom(list.m_hWnd);
    for (int ring = 0; ring < 3; ++ring) EXPECT_EQ(0, screen.OutlineOther(Deflated(r1, ring), yellow)) << ring;
    EXPECT_TRUE(list.SetItemTextColor(kRed, 1));
    screen.CopyFrom(list.m_hWnd);
    for (int ring = 0; ring < 3; ++ring) EXPECT_EQ(0, screen.OutlineOther(Deflated(r1, ring), yellow)) << ring;
    EXPECT_GT(screen.Count(r1, kRed), 0);
    EXPECT_EQ(0, screen.Count(r1, kText));
}
