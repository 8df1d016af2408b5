// Thin wrappers of the standard controls: each call is one message to the control.
#pragma once
#include "framework/Wnd.h"
#include <commctrl.h>

// Replaces the whole text of an edit control the way typing over a selection does: select
// all, scroll the caret into view, replace the selection (not undoable).
void ReplaceEditText(HWND edit, const char* text);

class CStatic : public CWnd {
public:
    HICON SetIcon(HICON h) { return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(h))); }
};

class CButton : public CWnd {
public:
    UINT GetState() const { return static_cast<UINT>(SendMessage(BM_GETSTATE)); }
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int n) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(n)); }
    UINT GetButtonStyle() const { return static_cast<UINT>(GetStyle() & 0xFF); }
    void SetButtonStyle(UINT style, BOOL bRedraw = TRUE) { SendMessage(BM_SETSTYLE, style, bRedraw); }
};

class CEdit : public CWnd {
public:
    void SetSel(int nStart, int nEnd, BOOL bNoScroll = FALSE)
    {
        SendMessage(EM_SETSEL, static_cast<WPARAM>(nStart), nEnd);
        if (!bNoScroll) SendMessage(EM_SCROLLCARET);
    }
    void ReplaceSel(const char* text, BOOL bCanUndo = FALSE) { SendMessage(EM_REPLACESEL, bCanUndo, reinterpret_cast<LPARAM>(text)); }
    void ReplaceAllText(const char* text) { ReplaceEditText(m_hWnd, text); }
    BOOL SetReadOnly(BOOL b = TRUE) { return static_cast<BOOL>(SendMessage(EM_SETREADONLY, b)); }
    void LimitText(int n) { SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(n)); }
};

class CListBox : public CWnd {
public:
    int GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
    int SetCurSel(int n) { return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(n))); }
    int AddString(const char* s) { return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s))); }
    int InsertString(int i, const char* s) { return static_cast<int>(SendMessage(LB_INSERTSTRING, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(s))); }
    int DeleteString(int i) { return static_cast<int>(SendMessage(LB_DELETESTRING, static_cast<WPARAM>(i))); }
    void ResetContent() { SendMessage(LB_RESETCONTENT); }
    int GetTextLen(int i) const { return static_cast<int>(SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(i))); }
    void GetText(int i, CString& s) const;
    DWORD_PTR GetItemData(int i) const { return static_cast<DWORD_PTR>(SendMessage(LB_GETITEMDATA, static_cast<WPARAM>(i))); }
    int SetItemData(int i, DWORD_PTR d) { return static_cast<int>(SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(i), static_cast<LPARAM>(d))); }
    int SetItemHeight(int i, UINT h) { return static_cast<int>(SendMessage(LB_SETITEMHEIGHT, static_cast<WPARAM>(i), MAKELPARAM(h, 0))); }
    int GetItemRect(int i, RECT* r) const { return static_cast<int>(SendMessage(LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(r))); }
};

class CComboBox : public CWnd {
public:
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int n) { return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(n))); }
    int AddString(const char* s) { return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s))); }
    int DeleteString(int i) { return static_cast<int>(SendMessage(CB_DELETESTRING, static_cast<WPARAM>(i))); }
    void ResetContent() { SendMessage(CB_RESETCONTENT); }
    void GetLBText(int i, CString& s) const;
};

class CHeaderCtrl : public CWnd {
public:
    int GetItemCount() const { return static_cast<int>(SendMessage(HDM_GETITEMCOUNT)); }
    BOOL GetItem(int i, HDITEMA* item) const { return static_cast<BOOL>(SendMessage(HDM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item))); }
    BOOL GetItemRect(int i, RECT* r) const { return static_cast<BOOL>(SendMessage(HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(r))); }
    int OrderToIndex(int order) const { return static_cast<int>(SendMessage(HDM_ORDERTOINDEX, static_cast<WPARAM>(order))); }
};

class CImageList;

class CListCtrl : public CWnd {
public:
    DWORD SetExtendedStyle(DWORD ex) { return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(ex))); }
    DWORD GetExtendedStyle() const { return static_cast<DWORD>(SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE)); }
    HIMAGELIST SetImageList(CImageList* list, int nType);
    HIMAGELIST GetImageList(int nType) const { return reinterpret_cast<HIMAGELIST>(SendMessage(LVM_GETIMAGELIST, static_cast<WPARAM>(nType))); }
    BOOL SetTextColor(COLORREF c) { return static_cast<BOOL>(SendMessage(LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(c))); }
    COLORREF GetTextColor() const { return static_cast<COLORREF>(SendMessage(LVM_GETTEXTCOLOR)); }
    int InsertColumn(int i, const char* heading, int fmt = LVCFMT_LEFT, int width = -1);
    int GetColumnWidth(int i) const { return static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i))); }
    HWND GetHeaderCtrl() const { return reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER)); }
    int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
    int InsertItem(int i, const char* text, int image);
    BOOL SetItemText(int i, int sub, const char* text);
    CString GetItemText(int i, int sub) const;
    int GetItemImage(int i) const;
    BOOL DeleteItem(int i) { return static_cast<BOOL>(SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(i))); }
    BOOL DeleteAllItems() { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS)); }
    int GetNextItem(int start, int flags) const { return static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(flags, 0))); }
    BOOL SetItemState(int i, UINT state, UINT mask);
};
