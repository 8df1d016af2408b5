// Ownership of drawing objects and the image list.
#include "framework/Framework.h"
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
