#include "framework/Dialog.h"
#include "framework/CenterWindow.h"
#include "framework/WinApp.h"

void DDX_Control(CDataExchange* pDX, int nID, CWnd& control)
{
    if (!control.m_hWnd) control.SubclassDlgItem(static_cast<UINT>(nID), pDX->m_pDlgWnd);
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
    ON_MESSAGE(WM_SYSCOLORCHANGE, &CDialog::OnSysColorChange)
END_MESSAGE_MAP()

LRESULT CDialog::OnSysColorChange(WPARAM wp, LPARAM lp)
{
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        ::SendMessageA(child, WM_SYSCOLORCHANGE, wp, lp);
    return Default();
}

INT_PTR CDialog::DoModal()
{
    m_nModalResult = -1;
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!owner) {
        // Without a parent of its own, the application's main window owns the dialog.
        CWnd* main = AfxGetMainWnd();
        if (main && main != this && main->m_hWnd) owner = main->m_hWnd;
    }
    return ::DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_nIDTemplate), owner,
                             &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT msg, WPARAM, LPARAM lp)
{
    if (msg != WM_INITDIALOG) return FALSE;   // everything else reaches the object through its subclass
    auto* dlg = reinterpret_cast<CDialog*>(lp);
    dlg->SubclassWindow(hWnd);
    // A dialog opens centred over its owner (or on its screen) unless it placed itself in
    // OnInitDialog.
    RECT before;
    ::GetWindowRect(hWnd, &before);
    BOOL result = dlg->OnInitDialog();
    RECT after;
    if (::IsWindow(hWnd) && ::GetWindowRect(hWnd, &after) && after.left == before.left && after.top == before.top
        && !(::GetWindowLongPtrA(hWnd, GWL_STYLE) & WS_CHILD))
        ::CenterTopLevelWindow(hWnd);
    return result;
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}
