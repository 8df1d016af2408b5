// A dialog for trying the program's controls on a solid background: the settings dialog's
// template on the plain skinned base, its four labels and three fields attached to control
// objects that the tests style themselves. Its OK button is the default button.
#pragma once
#include "controls/BaseDialog.h"
#include "controls/ColorLabel.h"
#include "controls/EditEx.h"
#include "res/resource.h"

class ControlsDialog : public CBaseDialog {
public:
    ControlsDialog() : CBaseDialog(IDD_DB_CONFIG) {}

    CColorLabel m_labelDatabase, m_labelLogin, m_labelPassword;
    CEditEx m_editDatabase, m_editLogin;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, IDC_DB_NAME_CAPTION, m_labelDatabase);
        DDX_Control(pDX, IDC_LOGIN_CAPTION, m_labelLogin);
        DDX_Control(pDX, IDC_PASSWORD_CAPTION, m_labelPassword);
        DDX_Control(pDX, IDC_DB_NAME, m_editDatabase);
        DDX_Control(pDX, IDC_LOGIN, m_editLogin);
    }
};
