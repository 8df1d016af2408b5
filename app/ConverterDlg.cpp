#include "app/ConverterDlg.h"
#include "app/Banner.h"
#include "app/SharedImageList.h"
#include "app/Texts.h"
#include "usage/UsageDlg.h"
#include <initializer_list>

BEGIN_MESSAGE_MAP(CConverterDlg, CBaseDialog)
    ON_WM_SYSCOMMAND(&CConverterDlg::OnSysCommand)
    ON_MESSAGE_VOID(WM_PAINT, &CConverterDlg::OnPaint)
    ON_WM_QUERYDRAGICON(&CConverterDlg::OnQueryDragIcon)
    ON_WM_TIMER(&CConverterDlg::OnTimer)
    ON_BN_CLICKED(IDC_HOWTO, &CConverterDlg::OnHowToUse)
    ON_CONTROL(LBN_DBLCLK, IDC_FIELD_LIST, &CConverterDlg::OnDblclkFieldList)
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_COLUMN_LIST, &CConverterDlg::OnItemchangedColumnList)
    ON_NOTIFY(NM_DBLCLK, IDC_COLUMN_LIST, &CConverterDlg::OnDblclkColumnList)
    ON_BN_CLICKED(IDC_CREATE_MAPPING, &CConverterDlg::OnCreateMapping)
    ON_BN_CLICKED(IDC_REMOVE_MAPPING, &CConverterDlg::OnRemoveMapping)
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_MAPPING_LIST, &CConverterDlg::OnItemchangedMappingList)
    ON_NOTIFY(NM_DBLCLK, IDC_MAPPING_LIST, &CConverterDlg::OnDblclkMappingList)
    ON_BN_CLICKED(IDC_BROWSE_EXCEL, &CConverterDlg::OnBrowseExcel)
    ON_CONTROL(LBN_SELCHANGE, IDC_FIELD_LIST, &CConverterDlg::OnSelchangeFieldList)
    ON_BN_CLICKED(IDC_DESTINATION, &CConverterDlg::OnDestinationSettings)
    ON_CONTROL(CBN_SELCHANGE, IDC_TABLE_COMBO, &CConverterDlg::OnSelchangeTable)
END_MESSAGE_MAP()

CConverterDlg::CConverterDlg()
    : CBaseDialog(IDD_CONVERTER),
      m_hIcon(::LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      m_strServer("(local)")
{
}

void CConverterDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_HOWTO, m_btnHowTo);
    DDX_Control(pDX, IDC_BANNER, m_labelBanner);
    DDX_Control(pDX, IDC_WEB_LINK, m_labelWebLink);
    DDX_Control(pDX, IDC_STATUS, m_labelStatus);
    DDX_Control(pDX, IDC_CREDIT, m_labelCredit);
    DDX_Control(pDX, IDOK, m_btnConvert);
    DDX_Control(pDX, IDCANCEL, m_btnExit);
    DDX_Control(pDX, IDC_EXCEL_CAPTION, m_labelExcel);
    DDX_Control(pDX, IDC_EXCEL_PATH, m_editExcelPath);
    DDX_Control(pDX, IDC_FIELDS_CAPTION, m_labelFields);
    DDX_Control(pDX, IDC_DEST_GROUP, m_groupDest);
    DDX_Control(pDX, IDC_TABLES_CAPTION, m_labelTables);
    DDX_Control(pDX, IDC_TABLE_COMBO, m_comboTables);
    DDX_Control(pDX, IDC_SOURCE_GROUP, m_groupSource);
    DDX_Control(pDX, IDC_REMOVE_MAPPING, m_btnRemoveMapping);
    DDX_Control(pDX, IDC_BROWSE_EXCEL, m_btnBrowse);
    DDX_Control(pDX, IDC_MAPPING_CAPTION, m_labelMapping);
    DDX_Control(pDX, IDC_MAPPING_LIST, m_listMapping);
    DDX_Control(pDX, IDC_SERVER_CAPTION, m_labelServer);
    DDX_Control(pDX, IDC_SERVER, m_editServer);
    DDX_Control(pDX, IDC_DESTINATION, m_btnDestination);
    DDX_Control(pDX, IDC_CREATE_MAPPING, m_btnCreateMapping);
    DDX_Control(pDX, IDC_FIELD_LIST, m_listFields);
    DDX_Control(pDX, IDC_COLUMN_LIST, m_listColumns);
}

BOOL CConverterDlg::OnInitDialog()
{
    CBaseDialog::OnInitDialog();

    CString about;
    about.LoadString(IDS_ABOUTBOX);
    if (HMENU sys = GetSystemMenu(FALSE); sys && !about.IsEmpty()) {
        ::AppendMenuA(sys, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuA(sys, MF_STRING, IDM_ABOUTBOX, about);
    }

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    StyleLabels();
    StyleButtons();
    StyleTableBoxAndFields();
    m_listFields.m_nItemHeight = 16;   // every field item 22 pixels high
    StyleGroupBoxes();
    SetWindowText("Excel-SQLServer Data Conveter:");
    SetUpReportLists();
    StyleHeaders();
    StyleDialog();

    ReplaceEditText(GetDlgItem(IDC_SERVER), m_strServer);

    SetTimer(IDT_BANNER, 6000);
    return TRUE;
}

void CConverterDlg::SetUpReportLists()
{
    m_fontLists.CreatePointFont(96, "Times New Roman");
    for (CListCtrl* list : {&m_listMapping, &m_listColumns}) {
        list->SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
        list->SetImageList(&g_imageList, LVSIL_SMALL);
        list->SetTextColor(RGB(69, 69, 69));
        list->SetFont(m_fontLists, TRUE);
    }
    // Each title also goes to the skinned header's own list, left aligned.
    for (CSkinHeaderCtrl* header : {&m_headerMapping, &m_headerColumns}) {
        header->m_astrTitles.RemoveAll();
        header->m_strAlign.Empty();
    }
    auto column = [](CListCtrl& list, CSkinHeaderCtrl& header, int i, const char* title, int width) {
        list.InsertColumn(i, title, LVCFMT_LEFT, width);
        header.m_astrTitles.Add(title);
        header.m_strAlign += "0";
    };
    column(m_listMapping, m_headerMapping, 0, kMappingFieldHeading, 120);
    column(m_listMapping, m_headerMapping, 1, kMappingColumnHeading, 120);
    column(m_listMapping, m_headerMapping, 2, kMappingTypeHeading, 150);
    column(m_listColumns, m_headerColumns, 0, kColumnNameHeading, 150);
    column(m_listColumns, m_headerColumns, 1, kColumnTypeHeading, 120);
}

void CConverterDlg::OnSysCommand(UINT nID, LPARAM)
{
    if ((nID & 0xFFF0) == IDM_ABOUTBOX)
        ShowUsageDialog();
    else
        Default();
}

void CConverterDlg::OnPaint()
{
    if (!IsIconic()) {
        CBaseDialog::OnPaint();
        return;
    }
    CPaintDC dc(m_hWnd);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()));
    RECT rc;
    GetClientRect(&rc);
    int x = (rc.right - rc.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (rc.bottom - rc.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CConverterDlg::OnQueryDragIcon()
{
    return m_hIcon;
}

void CConverterDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == IDT_BANNER) {
        g_nBannerLine = (g_nBannerLine + 1) % kBannerLines;
        m_labelBanner.SetText(g_astrBanner[g_nBannerLine]);
    }
    Default();
}

void CConverterDlg::OnHowToUse()
{
    ShowUsageDialog();
}

void CConverterDlg::OnCancel()
{
    m_astrColumnTypes.RemoveAll();
    m_astrMappedTypes.RemoveAll();
    m_astrMappedColumns.RemoveAll();
    m_astrMappedFields.RemoveAll();
    KillTimer(IDT_BANNER);
    CBaseDialog::OnCancel();
}
