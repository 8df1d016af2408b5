// CFrameGroupBox: a group box drawn by the control itself: a frame in one or two line colours
// (flat, double or etched) with a gap in its top line where the caption stands, the caption in
// a font and colour of its own.
#pragma once
#include "framework/Framework.h"

class CFrameGroupBox : public CButton {
public:
    enum Look { LookEtched = 11, LookDouble = 12, LookFlat = 0x8000 };
    enum Align { AlignLeft = 0x100, AlignRight = 0x200, AlignCentre = 0x300 };

    CFrameGroupBox();

    // 0 for either colour means its default (the system shadow and highlight colours).
    void SetLineColors(COLORREF main, COLORREF second, bool redraw);
    void SetCaptionColor(COLORREF color, bool redraw);
    // A description whose height is in tenths of a point; null: the default 8-point font.
    void SetCaptionFont(const LOGFONTA* description);
    // LookFlat, LookDouble or LookEtched; anything else is etched.
    void SetLook(int look);

    int m_nLineWidth = 1;

    int GetLook() const { return m_nLook; }
    const RECT& FrameRect() const { return m_rcFrame; }
    // Where the gap in the top line lies for the current caption and font.
    void CaptionGap(HDC dc, int* xs, int* xe, int* lineY) const;

protected:
    void PreSubclassWindow() override;
    LRESULT OnPaint(WPARAM wp, LPARAM lp);
    HBRUSH CtlColor(HDC dc, UINT nCtlColor);

    DECLARE_MESSAGE_MAP()

private:
    void Paint(CDC& dc);
    CString SpacedCaption() const;
    void DrawFrame(CDC& dc, int xs, int xe, int y, HPEN first, HPEN second) const;

    COLORREF m_crMain;
    COLORREF m_crSecond;
    COLORREF m_crDisabledMain;
    COLORREF m_crDisabledSecond;
    bool m_bCaptionImage = false;
    COLORREF m_crCaption = RGB(0, 0, 0);
    CFont m_font;
    CString m_strCaption;
    int m_nAlign = AlignLeft;
    int m_nMargin = 8;
    int m_nRise = 0;
    int m_nLook = LookEtched;
    RECT m_rcFrame = {0, 0, 0, 0};
};
