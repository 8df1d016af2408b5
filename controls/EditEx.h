// CEditEx: the program's edit field. Its own background, text colour and font; a one-pixel
// border of its own colour (a full frame or an underline) drawn over the item's static edge;
// a length limit of 65535 characters at which a typed character only replaces a selection;
// and, with the password style, no copy or cut of its text.
#pragma once
#include "framework/Framework.h"

class CEditEx : public CEdit {
public:
    static constexpr int kMaxLength = 0xFFFF;

    CEditEx();

    // Each returns the previous colour and repaints (once the window exists).
    COLORREF SetBackColor(COLORREF color);
    COLORREF SetTextColor(COLORREF color);
    COLORREF SetBorderColor(COLORREF color);
    // A font of `height` (negative: character height in pixels), always of normal weight
    // whatever `weight` says, with the pitch-and-family and face given.
    void SetTextFont(int height, int weight, BYTE pitchAndFamily, const char* face);
    // true: a full frame; false: an underline only.
    void SetFullFrame(bool full);

    HFONT GetTextFont() const { return m_font; }

protected:
    // Makes the background brush from the background colour.
    virtual void CreateBackBrush();

    void PreSubclassWindow() override;
    HBRUSH CtlColor(HDC dc, UINT nCtlColor);
    LRESULT OnChar(WPARAM wp, LPARAM lp);
    LRESULT OnCopyOrCut(WPARAM wp, LPARAM lp);
    LRESULT OnPaintThenBorder(WPARAM wp, LPARAM lp);
    LRESULT OnPrint(WPARAM wp, LPARAM lp);

    DECLARE_MESSAGE_MAP()

private:
    // What becomes of a double-byte character once its trail byte arrives.
    enum class Pair { None, Type, Replace, Drop };
    void TypePair(const char* pair);
    int TextLength() const;
    // Replaces the selection with `text`; false (nothing typed) when there is no selection.
    bool ReplaceSelectionOnly(const char* text);
    // In window coordinates.
    void DrawBorder(CDC& dc);

    COLORREF m_crBack;
    COLORREF m_crText;
    COLORREF m_crBorder = RGB(69, 69, 69);
    CBrush m_brushBack;
    CFont m_font;
    bool m_bFullFrame = true;
    Pair m_pair = Pair::None;
    char m_chLead = 0;
};
