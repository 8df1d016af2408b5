// CColorListBox: an owner-drawn list box (LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS) in which
// every item carries its own back colour, text colour and text format. It draws no selection
// highlight; the owner marks an item by changing its colours. Items are drawn with a 3-pixel
// inner margin, and the keyboard focus as three nested dotted rectangles.
#pragma once
#include "framework/Framework.h"

// The style record of one item, stored as the item's data value and owned by the list box.
struct ListItemStyle {
    COLORREF crBack;
    COLORREF crText;
    UINT nFormat;
    UINT nFormatEx;
};

class CColorListBox : public CListBox {
public:
    // A colour value meaning the system colour: COLOR_WINDOW as back colour,
    // COLOR_WINDOWTEXT as text colour. It lies above 0x00FFFFFF, the largest RGB() value, so
    // no colour a caller means can be taken for it.
    static constexpr COLORREF UseSystemColor = 17000000;

    CColorListBox() = default;

    // When non-zero, every item inserted from then on is m_nItemHeight + 6 pixels high;
    // 0: the height of the list box font's "M" + 6.
    int m_nItemHeight = 0;

    // Inserts the text at `index` (0 .. count; count appends) with its style. Returns the
    // item's position, or -1 when the index is out of range or the list box refuses the item.
    int InsertItem(const char* text, int index, COLORREF crBack = UseSystemColor, COLORREF crText = UseSystemColor,
                   UINT nFormat = DT_LEFT, UINT nFormatEx = DT_VCENTER);
    int AddItem(const char* text, COLORREF crBack = UseSystemColor, COLORREF crText = UseSystemColor,
                UINT nFormat = DT_LEFT, UINT nFormatEx = DT_VCENTER)
    { return InsertItem(text, GetCount(), crBack, crText, nFormat, nFormatEx); }
    // Removes an item and frees its style; FALSE for an invalid index.
    BOOL RemoveItem(int index);
    void RemoveAllItems();

    // Colour setters: `index` -1 means the selected item. FALSE for an invalid index;
    // otherwise the list box is repainted at once.
    BOOL SetItemBackColor(COLORREF color, int index) { return SetItemColor(&ListItemStyle::crBack, color, index); }
    BOOL SetItemTextColor(COLORREF color, int index) { return SetItemColor(&ListItemStyle::crText, color, index); }

    // The style record of an item, or null for an invalid index.
    const ListItemStyle* GetItemStyle(int index) const;
    // Style records allocated by all colour list boxes and not yet freed.
    static int AllocatedStyleCount() { return s_nAllocatedStyles; }

    void DrawItem(LPDRAWITEMSTRUCT lpDIS);
    void MeasureItem(LPMEASUREITEMSTRUCT lpMIS);

protected:
    void OnDestroy();
    void OnSysColorChange();

    DECLARE_MESSAGE_MAP()

private:
    // The position `index` names: -1 is the selected item; -1 when invalid or the list is empty.
    int ResolveIndex(int index) const;
    ListItemStyle* StyleAt(int index) const;
    BOOL SetItemColor(COLORREF ListItemStyle::*member, COLORREF color, int index);
    void RepaintNow();

    static int s_nAllocatedStyles;
};
