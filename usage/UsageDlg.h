// The usage dialog: a heading, the read-only operating steps and an OK button.
#pragma once
#include "controls/BaseDialog.h"
#include "controls/ColorLabel.h"
#include "controls/EditEx.h"
#include "controls/SkinButton.h"

class CUsageDlg : public CBaseDialog {
public:
    CUsageDlg();
    BOOL OnInitDialog() override;

    CSkinButton m_btnOK;
    CEditEx m_editUsage;
    CColorLabel m_labelHeading;
    CColorLabel m_labelCredit;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};

// The operating steps shown in the dialog, with \r\n line breaks.
CString ComposeUsageText();

// Runs the usage dialog modally (button 5 and the system-menu entry of the main dialog).
void ShowUsageDialog();
