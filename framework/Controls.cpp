#include "framework/Controls.h"
#include "framework/ImageList.h"

void ReplaceEditText(HWND edit, const char* text)
{
    ::SendMessageA(edit, EM_SETSEL, 0, -1);
    ::SendMessageA(edit, EM_SCROLLCARET, 0, 0);
    ::SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
}

void CListBox::GetText(int i, CString& s) const
{
    int n = GetTextLen(i);
    if (n < 0) { s.Empty(); return; }
    SendMessage(LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(s.GetBuffer(n + 1)));
    s.ReleaseBuffer(n);
}

void CComboBox::GetLBText(int i, CString& s) const
{
    int n = static_cast<int>(SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(i)));
    if (n < 0) { s.Empty(); return; }
    SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(s.GetBuffer(n + 1)));
    s.ReleaseBuffer(n);
}

HIMAGELIST CListCtrl::SetImageList(CImageList* list, int nType)
{
    return reinterpret_cast<HIMAGELIST>(SendMessage(LVM_SETIMAGELIST, static_cast<WPARAM>(nType),
                                                    reinterpret_cast<LPARAM>(list ? list->m_hImageList : nullptr)));
}

int CListCtrl::InsertColumn(int i, const char* heading, int fmt, int width)
{
    LVCOLUMNA col = {};
    col.mask = LVCF_TEXT | LVCF_FMT | LVCF_SUBITEM | (width >= 0 ? LVCF_WIDTH : 0);
    col.fmt = fmt;
    col.cx = width;
    col.pszText = const_cast<char*>(heading);
    col.iSubItem = i;
    return static_cast<int>(SendMessage(LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&col)));
}

int CListCtrl::InsertItem(int i, const char* text, int image)
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = i;
    item.pszText = const_cast<char*>(text);
    item.iImage = image;
    return static_cast<int>(SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

BOOL CListCtrl::SetItemText(int i, int sub, const char* text)
{
    LVITEMA item = {};
    item.iSubItem = sub;
    item.pszText = const_cast<char*>(text);
    return static_cast<BOOL>(SendMessage(LVM_SETITEMTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item)));
}

CString CListCtrl::GetItemText(int i, int sub) const
{
    // The control reports how much it copied; grow until the text fits.
    for (int size = 256;; size *= 2) {
        CString s;
        LVITEMA item = {};
        item.iSubItem = sub;
        item.cchTextMax = size;
        item.pszText = s.GetBuffer(size);
        int n = static_cast<int>(SendMessage(LVM_GETITEMTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item)));
        if (n < size - 1 || size >= (1 << 20)) { s.ReleaseBuffer(n); return s; }
    }
}

int CListCtrl::GetItemImage(int i) const
{
    LVITEMA item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = i;
    SendMessage(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
}

BOOL CListCtrl::SetItemState(int i, UINT state, UINT mask)
{
    LVITEMA item = {};
    item.state = state;
    item.stateMask = mask;
    return static_cast<BOOL>(SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item)));
}
