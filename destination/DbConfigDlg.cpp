#include "destination/DbConfigDlg.h"
#include "app/Texts.h"
#include "destination/DestinationSettings.h"
#include "res/resource.h"
#include <utility>

CDbConfigDlg::CDbConfigDlg() : CBaseDialog(IDD_DB_CONFIG) {}

void CDbConfigDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_DB_CONFIG_CAPTION, m_labelCaption);
    DDX_Control(pDX, IDCANCEL, m_btnReturn);
    DDX_Control(pDX, IDOK, m_btnOK);
    DDX_Control(pDX, IDC_PASSWORD_CAPTION, m_labelPassword);
    DDX_Control(pDX, IDC_PASSWORD, m_editPassword);
    DDX_Control(pDX, IDC_LOGIN_CAPTION, m_labelLogin);
    DDX_Control(pDX, IDC_LOGIN, m_editLogin);
    DDX_Control(pDX, IDC_DB_NAME_CAPTION, m_labelDatabase);
    DDX_Control(pDX, IDC_DB_NAME, m_editDatabase);
}

BOOL CDbConfigDlg::OnInitDialog()
{
    CBaseDialog::OnInitDialog();
    StyleControls();
    StyleDialog();
    const std::pair<CEdit*, const CString*> fields[] = {
        {&m_editDatabase, &DestinationSettings::database},
        {&m_editLogin, &DestinationSettings::login},
        {&m_editPassword, &DestinationSettings::password},
    };
    for (const auto& field : fields) field.first->ReplaceAllText(*field.second);
    ShapeWindow();
    return TRUE;
}

void CDbConfigDlg::StyleControls()
{
    for (CColorLabel* caption : {&m_labelDatabase, &m_labelLogin, &m_labelPassword}) {
        caption->SetFontName("Tahoma").SetFontSize(12);
        caption->SetBkColor(RGB(245, 245, 245)).SetTextColor(RGB(65, 105, 225));
    }
    m_labelCaption.SetFontName("微软雅黑").SetFontSize(14);
    m_labelCaption.SetBkColor(RGB(211, 211, 211)).SetTextColor(RGB(255, 165, 0));

    const COLORREF orange = RGB(255, 165, 0), green = RGB(34, 139, 34);
    m_btnReturn.SetIcons(IDI_RETURN_ACTIVE, IDI_RETURN_IDLE);
    m_btnReturn.SetColor(CSkinButton::ColorTextActive, orange, true);
    m_btnReturn.SetColor(CSkinButton::ColorTextIdle, green, true);
    m_btnReturn.SetColor(CSkinButton::ColorBorder, orange, true);
    m_btnReturn.SetTransparent(true);
    m_btnReturn.SetBorderStyle(true, true);
    m_btnOK.SetIcons(IDI_OK_ACTIVE, IDI_OK_IDLE);
    m_btnOK.SetColor(CSkinButton::ColorTextActive, orange, true);
    m_btnOK.SetColor(CSkinButton::ColorTextIdle, green, true);
    m_btnOK.SetTransparent(true);
    m_btnOK.SetColor(CSkinButton::ColorBorder, orange, true);
    m_btnOK.SetBorderStyle(true, true);

    for (CEditEx* field : {&m_editDatabase, &m_editLogin, &m_editPassword}) {
        field->SetBackColor(RGB(255, 248, 220));
        field->SetTextColor(RGB(65, 105, 225));
        field->SetTextFont(-14, 400, 0, "Arial");
        field->SetFullFrame(true);
        field->SetBorderColor(RGB(65, 105, 225));
    }
}

void CDbConfigDlg::StyleDialog()
{
    SetCaptionBand(0, 0, 25, RGB(211, 211, 211), false);
    SetFooterBand(1, 28, 28, RGB(211, 211, 211), false);
    SetFrame(true, 4, 30, RGB(65, 105, 225));
    SetBackgroundStyle(BackgroundShadeToMiddle, RGB(236, 246, 249), true);
}

// Rounded corners: a 4 by 4 corner ellipse over the client rectangle.
void CDbConfigDlg::ShapeWindow()
{
    RECT client;
    GetClientRect(&client);
    CRgn rgn;
    if (rgn.CreateRoundRectRgn(0, 0, client.right, client.bottom, 4, 4)) SetWindowRgn(rgn, TRUE);
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
    CBaseDialog::OnOK();
}
