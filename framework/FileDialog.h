// CFileDialog: the platform's open or save file dialog. The filter is given in one text with
// '|' between its parts ("Text(*.txt)|*.txt||"); m_ofn may be adjusted before DoModal
// (title, initial folder, flags).
#pragma once
#include "framework/Wnd.h"
#include <commdlg.h>

class CFileDialog {
public:
    CFileDialog(BOOL bOpenFileDialog, const char* lpszDefExt = nullptr, const char* lpszFileName = nullptr,
                DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* lpszFilter = nullptr,
                CWnd* pParentWnd = nullptr);
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // Shows the dialog, owned by the parent or else the application's main window.
    // Returns IDOK when the user chose a file, IDCANCEL otherwise.
    INT_PTR DoModal();
    // The full path of the chosen file.
    CString GetPathName() const { return m_szFileName; }

    OPENFILENAMEA m_ofn;

private:
    BOOL m_bOpenFileDialog;
    CWnd* m_pParentWnd;
    CString m_strFilter;    // '|' turned into NUL
    CString m_strDefExt;
    char m_szFileName[MAX_PATH * 2] = "";
};

// The filter text with each '|' separator turned into NUL; a '|' byte that is the second byte
// of a double-byte character stays.
CString FileDialogFilter(const char* lpszFilter);
