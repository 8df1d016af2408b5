// The usage dialog: a heading, the read-only operating steps and an OK button.
#pragma once
#include "framework/Framework.h"

class CUsageDlg : public CDialog {
public:
    CUsageDlg();
    BOOL OnInitDialog() override;

    CButton m_btnOK;
    CEdit m_editUsage;
    CStatic m_labelHeading;
    CStatic m_labelCredit;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};

// The operating steps shown in the dialog, with \r\n line breaks.
CString ComposeUsageText();

// Runs the usage dialog modally (button 5 and the system-menu entry of the main dialog).
void ShowUsageDialog();
