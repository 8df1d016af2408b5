// The main dialog: owns the whole working state of a run (workbook, field list, destination,
// column list, mapping table) and routes every command to the subsystem that handles it.
#pragma once
#include "framework/Framework.h"
#include "res/resource.h"

class CConverterDlg : public CDialog {
public:
    CConverterDlg();

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    // Controls (attached by the data exchange).
    CListCtrl m_listMapping;
    CListBox m_listFields;
    CComboBox m_comboTables;
    CListCtrl m_listColumns;

    HICON m_hIcon;
    CStringArray m_astrMappedColumns;
    CStringArray m_astrMappedFields;
    CStringArray m_astrMappedTypes;
    CStringArray m_astrColumnTypes;
    CString m_strServer;
    CString m_strExcelPath;
    CString m_strTable;
    int m_nFieldSel = -1;
    int m_nFieldMarked = -1;
    int m_nColumnSel = -1;
    int m_nMappingSel = -1;
    CFont m_fontLists;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnTimer(UINT_PTR nIDEvent);
    void OnHowToUse();

    DECLARE_MESSAGE_MAP()

private:
    void SetUpReportLists();
};

// The usage dialog, from button 5 and the system-menu entry.
void ShowUsageDialog();
