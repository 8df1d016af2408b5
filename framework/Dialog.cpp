#include "framework/Dialog.h"
#include "framework/WinApp.h"

void DDX_Control(CDataExchange* pDX, int nID, CWnd& control)
{
    if (!control.m_hWnd) control.SubclassDlgItem(static_cast<UINT>(nID), pDX->m_pDlgWnd);
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

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
    return dlg->OnInitDialog();
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
