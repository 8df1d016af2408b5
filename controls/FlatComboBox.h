// CFlatComboBox: a drop-down combo box with a flat look painted over its own drawing: a white
// outer line, a coloured inner line, and a flat drop button (a filled square holding a
// smaller square that grows while the left mouse button is held on the control).
#pragma once
#include "framework/Framework.h"

class CFlatComboBox : public CComboBox {
public:
    // Colour slots: 0 inner edge line, 3 drop button, 4 the button's inner square; 1 and 2
    // are kept for callers but drawn by nothing.
    static constexpr int kColorSlots = 5;

    CFlatComboBox();
    // An index outside 0..4 changes nothing.
    void SetColor(int index, COLORREF color, bool redraw);
    COLORREF GetColor(int index) const { return index >= 0 && index < kColorSlots ? m_colors[index] : CLR_INVALID; }
    bool IsButtonDown() const { return m_bButtonDown; }

    // The drop button's rectangle and its inner square for the current state.
    void ButtonRects(RECT* button, RECT* inner) const;

protected:
    LRESULT OnPaint(WPARAM wp, LPARAM lp);
    LRESULT OnLButtonDown(WPARAM wp, LPARAM lp);
    LRESULT OnButtonReleased(WPARAM wp, LPARAM lp);

    DECLARE_MESSAGE_MAP()

private:
    void DrawFlat(CDC& dc);

    bool m_bButtonDown = false;
    COLORREF m_colors[kColorSlots];
};
