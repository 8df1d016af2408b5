#include "usage/UsageDlg.h"
#include "res/resource.h"

CUsageDlg::CUsageDlg() : CBaseDialog(IDD_USAGE) {}

void CUsageDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDOK, m_btnOK);
    DDX_Control(pDX, IDC_USAGE_TEXT, m_editUsage);
    DDX_Control(pDX, IDC_USAGE_HEADING, m_labelHeading);
    DDX_Control(pDX, IDC_USAGE_CREDIT, m_labelCredit);
}

BOOL CUsageDlg::OnInitDialog()
{
    CBaseDialog::OnInitDialog();
    const COLORREF back = RGB(244, 249, 250);
    m_labelHeading.SetFontName("微软雅黑").SetFontSize(16).SetFontBold(true);
    m_labelHeading.SetBkColor(back).SetTextColor(RGB(65, 105, 225));
    m_labelCredit.SetFontName("Tahoma").SetFontSize(12).SetBkColor(back).SetTextColor(RGB(0, 192, 0));
    m_btnOK.SetIcons(IDI_EXIT, 0);
    m_btnOK.SetColor(CSkinButton::ColorTextActive, RGB(230, 0, 17), true);
    m_btnOK.SetColor(CSkinButton::ColorTextIdle, RGB(0, 192, 0), true);
    m_btnOK.SetTransparent(true);
    m_editUsage.SetBackColor(RGB(255, 255, 255));
    m_editUsage.SetTextColor(RGB(69, 69, 69));
    m_editUsage.SetTextFont(-14, 400, 0, "Arial");
    m_editUsage.SetBorderColor(RGB(192, 192, 192));
    m_editUsage.SetReadOnly(TRUE);
    CString text = ComposeUsageText();
    m_editUsage.ReplaceAllText(text);
    // The icon at (4, 6) lies over the frame's left line (4 pixels in): the icon is drawn
    // last and covers that part of the line, as the dialog's look intends.
    SetBackgroundColor(back);
    SetCaptionIcon(4, 6, IDR_MAINFRAME, true);
    SetFrame(true, 4, RGB(136, 170, 214));
    return TRUE;
}

CString ComposeUsageText()
{
    CString s;
    s += "\t\t\t使用方法";
    s += "\r\n\r\n";
    s += "    本工具是一款完全免费,无毒无污染的绿色软件,您可以自由使用和传播,\r\n如果在使用过程中发生BUG,";
    s += "请发送邮件到support@example.com,多谢!\r\n本软件具体操作步骤:\r\n";
    s += "1.首先选择数据源--MS Excel文件,选定后,软件将打开源文件,并将Excel文\r\n    件的所有字段显示到列表中.";
    s += "(默认工作簿名称为Sheet1,所有字段类型为\r\n    文本型)\r\n";
    s += "2.输入SQL-Server数据库主机名称或者IP地址.\r\n";
    s += "3.设定SQL-SERVER服务器的相关参数.\r\n";
    s += "4.在下拉列表框中选择SQL-SERVER目的数据表,选定后列表将显示所有字\r\n    段,但不包括属性为Identity的字段.\r\n";
    s += "5.建立字段映射关系:通过鼠标双击或者点击相应按钮即可操作.\r\n";
    s += "6.建立字段映射完成后,点击[数据转换]按钮,软件将开始工作.\r\n";
    s += "7.界面中的所有列表均支持鼠标双击操作.\r\n\r\n祝使用愉快!\r\n";
    s += "\r\n\t\t\t\tNorvale 软件工作室";
    return s;
}

void ShowUsageDialog()
{
    CUsageDlg dlg;
    dlg.DoModal();
}
