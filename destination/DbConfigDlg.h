// The destination settings dialog: database name, login and password, kept in
// DestinationSettings for the whole run. Confirming stores the three texts as typed and
// closes the dialog unless the database name is empty. A shaded, caption-less dialog with
// rounded corners, dragged by its surface.
#pragma once
#include "controls/BaseDialog.h"
#include "controls/ColorLabel.h"
#include "controls/EditEx.h"
#include "controls/SkinButton.h"

class CDbConfigDlg : public CBaseDialog {
public:
    CDbConfigDlg();
    ~CDbConfigDlg() override = default;

    BOOL OnInitDialog() override;
    void OnOK() override;

    CColorLabel m_labelCaption;
    CSkinButton m_btnReturn;
    CSkinButton m_btnOK;
    CColorLabel m_labelPassword;
    CEditEx m_editPassword;
    CColorLabel m_labelLogin;
    CEditEx m_editLogin;
    CColorLabel m_labelDatabase;
    CEditEx m_editDatabase;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void StyleControls();
    void StyleDialog();
    void ShapeWindow();
};
