// The main dialog: owns the whole working state of a run (workbook, field list, destination,
// column list, mapping table) and routes every command to the subsystem that handles it.
#pragma once
#include "framework/Framework.h"
#include "res/resource.h"
#include "controls/BaseDialog.h"
#include "controls/ColorLabel.h"
#include "controls/ColorListBox.h"
#include "controls/EditEx.h"
#include "controls/FlatComboBox.h"
#include "controls/FrameGroupBox.h"
#include "controls/SkinButton.h"
#include "controls/SkinHeaderCtrl.h"
#include <memory>

// The data-access types the dialog's steps take by reference: declared here, defined by the
// subsystems that use them, so that the dialog's users do not compile against ODBC and COM.
template <class T>
class CAdoPtr;
class CAdoRecordset;
using CRecordsetPtr = CAdoPtr<CAdoRecordset>;
struct CWorksheetRows;

class CConverterDlg : public CBaseDialog {
public:
    CConverterDlg();

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    // The conversion run's texts and lists, from the mapping table.
    CString BuildSelectStatement();
    void CollectMappedFields();
    void CollectMappedColumns();

    // True when every mapping row has both an Excel field and a column (an empty table too).
    bool IsMappingComplete() const;

    // Opens the workbook m_strExcelPath and lists the columns of its worksheet Sheet1.
    void LoadExcelFields(CString path);

    // The destination (destination/): the connection of a conversion run, the identity check
    // of the column listing, and the column listing again after a new workbook was chosen.
    bool OpenDestinationConnection();
    bool IsIdentityColumn(CString strTable, CString strColumn);
    void RelistSelectedTable();

    // Controls (attached by the data exchange).
    CSkinButton m_btnHowTo;
    CColorLabel m_labelBanner;
    CColorLabel m_labelWebLink;
    CColorLabel m_labelStatus;
    CColorLabel m_labelCredit;
    CSkinButton m_btnConvert;
    CSkinButton m_btnExit;
    CColorLabel m_labelExcel;
    CEditEx m_editExcelPath;
    CColorLabel m_labelFields;
    CFrameGroupBox m_groupDest;
    CColorLabel m_labelTables;
    CFlatComboBox m_comboTables;
    CFrameGroupBox m_groupSource;
    CSkinButton m_btnRemoveMapping;
    CSkinButton m_btnBrowse;
    CColorLabel m_labelMapping;
    CListCtrl m_listMapping;
    CColorLabel m_labelServer;
    CEditEx m_editServer;
    CSkinButton m_btnDestination;
    CSkinButton m_btnCreateMapping;
    CColorListBox m_listFields;
    CListCtrl m_listColumns;
    // The skinned headers of the column list and of the mapping table.
    CSkinHeaderCtrl m_headerColumns;
    CSkinHeaderCtrl m_headerMapping;

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

    // The workbook and its field list.
    void OnBrowseExcel();
    void OnSelchangeFieldList();

    // The field mapping table.
    void OnItemchangedColumnList(NMHDR* pNMHDR, LRESULT* pResult);
    void OnItemchangedMappingList(NMHDR* pNMHDR, LRESULT* pResult);
    void OnCreateMapping();
    void OnDblclkFieldList();
    void OnDblclkColumnList(NMHDR* pNMHDR, LRESULT* pResult);
    void OnRemoveMapping();
    void OnDblclkMappingList(NMHDR* pNMHDR, LRESULT* pResult);

    // The destination settings and catalogue listings.
    void OnDestinationSettings();
    void OnSelchangeTable();

    DECLARE_MESSAGE_MAP()

private:
    // Steps shared by the destination listings (destination/ListingEnd.cpp).
    void EmptyColumnList();
    void ReportConnectionFailure();
    void ReportQueryFailure();
    void RefreshSourceAfterListing();
    void FinishListing(CRecordsetPtr& rs);
    void FinishFailedConnection();
    // Steps of the convert command (convert/ConvertCommand.cpp): the run as a whole, false
    // when it stopped (rows counts the inserts made); then its worksheet opened, the
    // destination opened and the rows inserted, each reporting its own failure.
    bool ConvertRows(int& rows);
    bool OpenWorksheet(CWorksheetRows& sheet, const CString& select);
    bool OpenDestinationForRun();
    bool InsertRows(const std::shared_ptr<CWorksheetRows>& sheet, int& rows);
    // Writes the status line and repaints it at once.
    void SetStatus(const char* text);
    // The status line of a run that stopped after `rows` inserts.
    void ShowStopped(int rows);
    int LastMappingRow() const;
    int ValidFieldSel() const;
    int ValidColumnSel() const;
    // Takes a field out of the field list (its name) or a column out of the column list (its
    // name, type name and type code, which moves to m_astrMappedTypes).
    CString TakeField(int index);
    void TakeColumn(int index, CString& name, CString& typeName);

    void SetUpReportLists();
    // The look: labels, buttons, table box, edit fields, group boxes, headers, the dialog.
    void StyleLabels();
    void StyleButtons();
    void StyleTableBoxAndFields();
    void StyleGroupBoxes();
    void StyleHeaders();
    void StyleDialog();
};
