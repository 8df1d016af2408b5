// Ownership of drawing objects and the image list.
#include "framework/Framework.h"
#include "res/resource.h"
#include "support/GdiCount.h"
#include <functional>
#include <gtest/gtest.h>

TEST(GdiTest, OwningObjectsDeleteTheirHandleAndViewsDoNot)
{
    HBRUSH outside = ::CreateSolidBrush(RGB(1, 2, 3));
    HFONT created = nullptr;
    {
        CBrush view;
        view.AttachView(outside);
        EXPECT_FALSE(view.IsOwner());
        CFont font;
        ASSERT_TRUE(font.CreatePointFont(96, "Times New Roman"));
        EXPECT_TRUE(font.IsOwner());
        created = font;
        LOGFONTA lf = {};
        ASSERT_EQ(static_cast<int>(sizeof lf), ::GetObjectA(font, sizeof lf, &lf));
        // 9.6 points at the screen's resolution, as a character height.
        HDC dc = ::GetDC(nullptr);
        EXPECT_EQ(-::MulDiv(::GetDeviceCaps(dc, LOGPIXELSY), 96, 720), lf.lfHeight);
        ::ReleaseDC(nullptr, dc);
        EXPECT_STREQ("Times New Roman", lf.lfFaceName);
    }
    EXPECT_EQ(OBJ_BRUSH, static_cast<int>(::GetObjectType(outside)));   // the view left it alone
    EXPECT_EQ(0u, ::GetObjectType(created));                           // the owner deleted it
    ::DeleteObject(outside);
}

TEST(GdiTest, ImageListAppendsIconsAndIsDestroyedOnce)
{
    CImageList list;
    EXPECT_EQ(0, list.GetImageCount());
    ASSERT_TRUE(list.Create(18, 18, ILC_COLOR32 | ILC_MASK, 2, 2));
    HICON icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(136));
    ASSERT_NE(nullptr, icon);
    EXPECT_EQ(0, list.Add(icon));
    EXPECT_EQ(1, list.Add(icon));
    EXPECT_EQ(2, list.GetImageCount());
    int cx = 0, cy = 0;
    ImageList_GetIconSize(list.m_hImageList, &cx, &cy);
    EXPECT_EQ(18, cx);
    EXPECT_EQ(18, cy);
    EXPECT_TRUE(list.DeleteImageList());
    EXPECT_FALSE(list.DeleteImageList());
    EXPECT_EQ(-1, list.Add(icon));
}

// Each case destroys the handle of an owning wrapper behind its back, so that the wrapper's
// own delete is refused: the refusal is counted and the handle stays counted as owned.
TEST(GdiTest, ADeleteTheSystemRefusesIsCountedAndNotTakenOffTheOwnedCount)
{
    HDC screen = ::GetDC(nullptr);
    const struct {
        const char* what;
        std::function<void()> run;
    } cases[] = {
        {"brush", [] { CBrush b(RGB(1, 2, 3)); ::DeleteObject(b); }},
        {"memory context", [&] { CMemDC m; ASSERT_TRUE(m.Create(screen, 4, 4)); ::DeleteDC(m); }},
        {"icon", [] { CIcon i; ASSERT_TRUE(i.Load(IDR_MAINFRAME)); ::DestroyIcon(i); }},
    };
    for (const auto& c : cases) {
        const long owned = GdiHandlesOwned(), refused = GdiDeletesRefused();
        c.run();
        EXPECT_EQ(refused + 1, GdiDeletesRefused()) << c.what;
        EXPECT_EQ(owned + 1, GdiHandlesOwned()) << c.what;
    }
    ::ReleaseDC(nullptr, screen);
    ExpectRefusedDeletes(3);
}

TEST(GdiTest, TheSystemCountFollowsTheObjectsThisProcessMakesAndDeletes)
{
    const long before = SystemGdiObjects();
    ASSERT_GT(before, 0) << "the system tells no count of this process's drawing objects";
    HGDIOBJ made[] = {::CreateSolidBrush(RGB(1, 2, 3)), ::CreatePen(PS_SOLID, 1, 0), ::CreateRectRgn(0, 0, 1, 1),
                      ::CreateCompatibleDC(nullptr)};
    EXPECT_EQ(before + 4, SystemGdiObjects());
    for (HGDIOBJ h : made) ::GetObjectType(h) == OBJ_MEMDC ? ::DeleteDC(static_cast<HDC>(h)) : ::DeleteObject(h);
    EXPECT_EQ(before, SystemGdiObjects());
}
