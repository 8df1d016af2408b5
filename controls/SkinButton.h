// CSkinButton: the program's flat push button. No edge at rest, a thin border while the
// pointer is over it, a sunken border while pressed, an icon left of the caption (or centred
// without one), caption colours that follow the pointer, and a face that shows the dialog's
// own background through the button. A click reaches the dialog as an ordinary click.
#pragma once
#include "framework/Framework.h"

class CSkinButton : public CButton {
public:
    // Slots of the colour table.
    enum ColorSlot : BYTE {
        ColorBackActive = 0,   // face while hovered or pressed
        ColorTextActive = 1,   // caption while hovered or pressed
        ColorBackIdle = 2,     // face at rest
        ColorTextIdle = 3,     // caption at rest (also while focused)
        ColorBackFocus = 4,    // face while focused and at rest
        ColorTextFocus = 5,    // stored only
        ColorBorder = 6,       // single-colour frame and underline
        ColorSlotCount = 7
    };

    CSkinButton();

    // Loads the icons (idleIconId 0: none) and repaints. 0, or 1 when an icon's size cannot
    // be read, in which case the button keeps no icon at all.
    DWORD SetIcons(UINT activeIconId, UINT idleIconId);
    // 3 for a slot of 7 or more (nothing changes), else 0.
    DWORD SetColor(BYTE slot, COLORREF color, bool redraw = true);
    // Draws the face from what the parent paints under the button; the next draw takes a
    // fresh copy of it.
    void SetTransparent(bool redraw = true);
    // The border drawn while hovered: an underline (it wins), a frame in ColorBorder, or
    // (neither) a raised edge.
    void SetBorderStyle(bool singleColorFrame, bool underline);

    bool IsHovered() const { return m_bHover; }
    COLORREF GetColor(BYTE slot) const { return slot < ColorSlotCount ? m_colors[slot] : CLR_INVALID; }

    void DrawItem(LPDRAWITEMSTRUCT lpDIS);

protected:
    virtual void DrawBackground(CDC& dc, const RECT& rect);
    virtual void DrawBorder(CDC& dc, const RECT& rect);

    void PreSubclassWindow() override;
    HBRUSH CtlColor(HDC dc, UINT nCtlColor);
    BOOL OnClicked();
    LRESULT OnGetDlgCode(WPARAM wp, LPARAM lp);
    LRESULT OnSetStyle(WPARAM wp, LPARAM lp);
    LRESULT OnSetCheck(WPARAM wp, LPARAM lp);
    LRESULT OnGetCheck(WPARAM wp, LPARAM lp);
    LRESULT OnLButtonDblClk(WPARAM wp, LPARAM lp);
    LRESULT OnMouseMove(WPARAM wp, LPARAM lp);
    LRESULT OnMouseLeave(WPARAM wp, LPARAM lp);
    LRESULT OnKillFocus(WPARAM wp, LPARAM lp);
    LRESULT OnEndHoverAfterDefault(WPARAM wp, LPARAM lp);
    LRESULT OnEnable(WPARAM wp, LPARAM lp);
    LRESULT OnSysColorChange(WPARAM wp, LPARAM lp);

    DECLARE_MESSAGE_MAP()

private:
    void EndHover();
    void TrackLeave();
    // Copies what the parent paints under the button into the snapshot.
    bool TakeSnapshot(HDC ref, int cx, int cy);
    void DrawIcon(CDC& dc, const RECT& item, RECT& caption, bool hasCaption);
    void DrawCaption(CDC& dc, RECT caption, const CString& text);

    bool m_bHover = false;
    bool m_bPressed = false;
    bool m_bFocused = false;
    bool m_bDisabled = false;
    bool m_bDefault = false;
    bool m_bFocusTakenByDisable = false;
    int m_nCheck = 0;
    bool m_bTransparent = false;
    CMemDC m_snapshot;
    CIcon m_iconActive;
    CIcon m_iconIdle;
    SIZE m_sizeActive = {0, 0};
    SIZE m_sizeIdle = {0, 0};
    COLORREF m_colors[ColorSlotCount];
    bool m_bFrame = false;
    bool m_bUnderline = false;
};
