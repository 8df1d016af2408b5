#include "framework/FileDialog.h"
#include "framework/WinApp.h"

CString FileDialogFilter(const char* lpszFilter)
{
    CString filter(lpszFilter);
    const int n = filter.GetLength();
    for (int i = 0; i < n; ++i) {
        if (::IsDBCSLeadByte(static_cast<BYTE>(filter.GetAt(i))) && i + 1 < n) ++i;
        else if (filter.GetAt(i) == '|') filter.SetAt(i, '\0');
    }
    return filter;
}

CFileDialog::CFileDialog(BOOL bOpenFileDialog, const char* lpszDefExt, const char* lpszFileName, DWORD dwFlags,
                         const char* lpszFilter, CWnd* pParentWnd)
    : m_ofn(), m_bOpenFileDialog(bOpenFileDialog), m_pParentWnd(pParentWnd)
{
    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.Flags = dwFlags | OFN_EXPLORER;
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = sizeof m_szFileName;
    if (lpszFileName) ::lstrcpynA(m_szFileName, lpszFileName, sizeof m_szFileName);
    if (lpszDefExt) {
        m_strDefExt = lpszDefExt;
        m_ofn.lpstrDefExt = m_strDefExt;
    }
    if (lpszFilter) {
        // The filter list ends with two NULs; the text's own terminator gives the last one.
        m_strFilter = FileDialogFilter(lpszFilter);
        if (m_strFilter.IsEmpty() || m_strFilter.GetAt(m_strFilter.GetLength() - 1) != '\0') m_strFilter += '\0';
        m_ofn.lpstrFilter = m_strFilter;
    }
}

INT_PTR CFileDialog::DoModal()
{
    CWnd* owner = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
    m_ofn.hwndOwner = owner ? owner->m_hWnd : nullptr;
    BOOL ok = m_bOpenFileDialog ? ::GetOpenFileNameA(&m_ofn) : ::GetSaveFileNameA(&m_ofn);
    return ok ? IDOK : IDCANCEL;
}
