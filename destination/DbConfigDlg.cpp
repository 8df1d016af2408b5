#include "destination/DbConfigDlg.h"
#include "app/Texts.h"
#include "destination/DestinationSettings.h"
#include "res/resource.h"
#include <utility>

CDbConfigDlg::CDbConfigDlg() : CDialog(IDD_DB_CONFIG) {}

void CDbConfigDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDOK, m_btnOK);
    DDX_Control(pDX, IDCANCEL, m_btnReturn);
    DDX_Control(pDX, IDC_DB_NAME_CAPTION, m_labelDatabase);
    DDX_Control(pDX, IDC_DB_NAME, m_editDatabase);
    DDX_Control(pDX, IDC_LOGIN_CAPTION, m_labelLogin);
    DDX_Control(pDX, IDC_LOGIN, m_editLogin);
    DDX_Control(pDX, IDC_PASSWORD_CAPTION, m_labelPassword);
    DDX_Control(pDX, IDC_PASSWORD, m_editPassword);
    DDX_Control(pDX, IDC_DB_CONFIG_CAPTION, m_labelCaption);
}

BOOL CDbConfigDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    const std::pair<CEdit*, const CString*> fields[] = {
        {&m_editDatabase, &DestinationSettings::database},
        {&m_editLogin, &DestinationSettings::login},
        {&m_editPassword, &DestinationSettings::password},
    };
    for (const auto& field : fields) field.first->ReplaceAllText(*field.second);
    return TRUE;
}

void CDbConfigDlg::OnOK()
{
    UpdateData(TRUE);
    // Stored as typed, before the check and whatever its outcome.
    DestinationSettings::database = m_editDatabase.GetWindowText();
    DestinationSettings::login = m_editLogin.GetWindowText();
    DestinationSettings::password = m_editPassword.GetWindowText();
    if (DestinationSettings::database.IsEmpty()) {
        MessageBox(kEnterDatabaseText, kNoticeCaption, MB_OK | MB_ICONINFORMATION);
        return;
    }
    UpdateData(FALSE);
    CDialog::OnOK();
}
