// CSkinHeaderCtrl: the look of a report list's column header. Painted whole by the control: a
// flat or row-by-row shaded background, the titles from its own list with an alignment code
// each, divider lines and an outline; taller than the list view makes it by a factor.
#pragma once
#include "framework/Framework.h"
#include "framework/StringArray.h"

class CSkinHeaderCtrl : public CHeaderCtrl {
public:
    CSkinHeaderCtrl();

    // The title of each item, and one alignment code per item ('0' left, '1' centre, '2'
    // right), filled by the owner as it inserts the list's columns.
    CStringArray m_astrTitles;
    CString m_strAlign;

    // Stored only: called before the header is attached.
    void SetFontName(const char* face);
    void SetFontSize(int height, int width);
    void SetFontBold(int bold);
    void SetBackGradient(COLORREF start, int step);
    void SetHeightFactor(float factor);
    void SetTitleColor(COLORREF color);
    // 0 flat; 1 darkening downwards; other values darkening to the middle, lightening below.
    void SetGradientMode(int mode);
    // Called once attached: repaint.
    void SetFrameColor(COLORREF color, bool on);
    void SetDividerColor(COLORREF color, bool on);

    int GetStep() const { return m_nStep; }

    // Makes a list lay out its header again (after a header was attached or its height factor
    // changed): the list does so when given its font, or (on some systems only then) when its
    // size changes, so both are done, the size put back at once.
    static void RelayoutHeader(CListCtrl& list);

protected:
    LRESULT OnPaint(WPARAM wp, LPARAM lp);
    LRESULT OnLayout(WPARAM wp, LPARAM lp);
    LRESULT OnEraseBkgnd(WPARAM wp, LPARAM lp);

    DECLARE_MESSAGE_MAP()

private:
    // The whole picture, over `area` of `dc` (in the header's client coordinates).
    void Paint(CDC& dc, const RECT& area);
    void ShadeRows(CDC& dc, int left, int right, int top, int bottom, int middle) const;
    void DrawTitles(CDC& dc);
    void DrawDividers(CDC& dc);
    int Divisor();

    bool m_bFrame = false;
    bool m_bDividers = true;
    int m_nBold = 0;
    int m_nGradientMode = 0;
    int m_nRed = 255, m_nGreen = 255, m_nBlue = 255;
    int m_nStep = 8;
    float m_fHeightFactor = 1.5f;
    int m_nFontHeight = 12, m_nFontWidth = 0;
    COLORREF m_crFrame;
    COLORREF m_crDivider;
    COLORREF m_crTitle = RGB(128, 128, 128);
    CString m_strFace;
};
