#include "controls/ColorListBox.h"

int CColorListBox::s_nAllocatedStyles = 0;

BEGIN_MESSAGE_MAP(CColorListBox, CListBox)
    ON_WM_DRAWITEM_REFLECT(&CColorListBox::DrawItem)
    ON_WM_MEASUREITEM_REFLECT(&CColorListBox::MeasureItem)
    ON_MESSAGE_VOID(WM_DESTROY, &CColorListBox::OnDestroy)
    ON_MESSAGE_VOID(WM_SYSCOLORCHANGE, &CColorListBox::OnSysColorChange)
END_MESSAGE_MAP()

int CColorListBox::ResolveIndex(int index) const
{
    const int count = GetCount();
    if (count <= 0) return -1;
    if (index == -1) return GetCurSel();
    return index >= 0 && index < count ? index : -1;
}

ListItemStyle* CColorListBox::StyleAt(int index) const
{
    DWORD_PTR data = GetItemData(index);
    return data == static_cast<DWORD_PTR>(LB_ERR) ? nullptr : reinterpret_cast<ListItemStyle*>(data);
}

const ListItemStyle* CColorListBox::GetItemStyle(int index) const
{
    int i = ResolveIndex(index);
    return i < 0 ? nullptr : StyleAt(i);
}

int CColorListBox::InsertItem(const char* text, int index, COLORREF crBack, COLORREF crText, UINT nFormat,
                              UINT nFormatEx)
{
    if (index < 0 || index > GetCount()) return -1;
    int pos = InsertString(index, text);
    if (pos < 0) return -1;
    auto* style = new ListItemStyle{crBack, crText, nFormat, nFormatEx};
    if (SetItemData(pos, reinterpret_cast<DWORD_PTR>(style)) == LB_ERR) {
        // An item without its record is never left in the list.
        DeleteString(pos);
        delete style;
        return -1;
    }
    ++s_nAllocatedStyles;
    return pos;
}

BOOL CColorListBox::RemoveItem(int index)
{
    int i = ResolveIndex(index);
    if (i < 0) return FALSE;
    ListItemStyle* style = StyleAt(i);
    if (DeleteString(i) == LB_ERR || !style) return FALSE;
    delete style;
    --s_nAllocatedStyles;
    return TRUE;
}

void CColorListBox::RemoveAllItems()
{
    for (int count = GetCount(); count > 0;) {
        RemoveItem(0);
        const int left = GetCount();
        if (left >= count) break;   // the list box refuses to delete: never loop for ever
        count = left;
    }
}

BOOL CColorListBox::SetItemColor(COLORREF ListItemStyle::*member, COLORREF color, int index)
{
    int i = ResolveIndex(index);
    ListItemStyle* style = i < 0 ? nullptr : StyleAt(i);
    if (!style) return FALSE;
    style->*member = color;
    RepaintNow();
    return TRUE;
}

void CColorListBox::RepaintNow()
{
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CColorListBox::MeasureItem(LPMEASUREITEMSTRUCT lpMIS)
{
    if (m_nItemHeight) {
        lpMIS->itemHeight = static_cast<UINT>(m_nItemHeight + 6);
        return;
    }
    CClientDC dc(m_hWnd);
    HFONT font = GetFont();
    HGDIOBJ old = font ? dc.SelectObject(font) : nullptr;
    RECT rc = {0, 0, 0, 0};
    dc.DrawText("M", -1, &rc, DT_CALCRECT | DT_SINGLELINE);
    if (old) dc.SelectObject(old);
    lpMIS->itemHeight = static_cast<UINT>(rc.bottom - rc.top + 6);
}

void CColorListBox::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    // An empty list box is asked to draw its focus with item -1.
    if (static_cast<int>(lpDIS->itemID) < 0) return;
    const auto* style = reinterpret_cast<const ListItemStyle*>(lpDIS->itemData);
    if (!style) return;
    const COLORREF back = style->crBack == UseSystemColor ? ::GetSysColor(COLOR_WINDOW) : style->crBack;
    const COLORREF fore = style->crText == UseSystemColor ? ::GetSysColor(COLOR_WINDOWTEXT) : style->crText;

    CDC dc(lpDIS->hDC);
    RECT rc = lpDIS->rcItem;
    dc.FillSolidRect(&rc, back);
    int oldMode = dc.SetBkMode(TRANSPARENT);
    COLORREF oldColor = dc.SetTextColor(fore);
    CString text;
    GetText(static_cast<int>(lpDIS->itemID), text);
    RECT textRect = rc;
    ::InflateRect(&textRect, -3, -3);
    dc.DrawText(text, -1, &textRect, style->nFormat | style->nFormatEx | DT_SINGLELINE);
    dc.SetTextColor(oldColor);
    dc.SetBkMode(oldMode);

    if ((lpDIS->itemAction & ODA_FOCUS) && (lpDIS->itemState & ODS_FOCUS)) {
        for (int inset = 0; inset < 3; ++inset) {
            RECT focus = rc;
            ::InflateRect(&focus, -inset, -inset);
            ::DrawFocusRect(lpDIS->hDC, &focus);
        }
    }
}

void CColorListBox::OnDestroy()
{
    RemoveAllItems();
    Default();
}

void CColorListBox::OnSysColorChange()
{
    Default();
    RepaintNow();
}
