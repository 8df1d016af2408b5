// The destination settings dialog: database name, login and password, kept in
// DestinationSettings for the whole run. Confirming stores the three texts as typed and
// closes the dialog unless the database name is empty.
#pragma once
#include "framework/Framework.h"

class CDbConfigDlg : public CDialog {
public:
    CDbConfigDlg();
    ~CDbConfigDlg() override = default;

    BOOL OnInitDialog() override;
    void OnOK() override;

    CButton m_btnOK;
    CButton m_btnReturn;
    CStatic m_labelDatabase;
    CEdit m_editDatabase;
    CStatic m_labelLogin;
    CEdit m_editLogin;
    CStatic m_labelPassword;
    CEdit m_editPassword;
    CStatic m_labelCaption;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
