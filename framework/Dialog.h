// CDialog: a modal dialog from a dialog template of the program's resources, with data
// exchange that attaches control objects to the template's items.
#pragma once
#include "framework/Wnd.h"

class CDialog;

// The direction and target of one data exchange.
struct CDataExchange {
    CDataExchange(CDialog* dlg, BOOL bSave) : m_bSaveAndValidate(bSave), m_pDlgWnd(dlg) {}
    BOOL m_bSaveAndValidate;
    CDialog* m_pDlgWnd;
};

// Attaches a control object to dialog item nID by subclassing it, once.
void DDX_Control(CDataExchange* pDX, int nID, CWnd& control);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr)
        : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

    // Runs the dialog modally; returns what EndDialog was given, or -1 when the dialog could
    // not be created.
    virtual INT_PTR DoModal();
    void EndDialog(INT_PTR nResult) { m_nModalResult = nResult; ::EndDialog(m_hWnd, nResult); }
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    // The result EndDialog was given during the current modal run; -1 while it runs.
    INT_PTR m_nModalResult = -1;

    DECLARE_MESSAGE_MAP()

protected:
    virtual void DoDataExchange(CDataExchange*) {}
    // Only top-level windows hear of a change of the system colours: pass it on to the
    // dialog's controls, which may keep drawings made with the old colours.
    LRESULT OnSysColorChange(WPARAM wp, LPARAM lp);

private:
    static INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM);
    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
};
