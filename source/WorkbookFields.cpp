// Choosing the workbook and listing the columns of its worksheet Sheet1 in the field list.
#include "source/WorkbookFields.h"
#include "app/ConverterDlg.h"
#include "app/Texts.h"
#include "framework/FileDialog.h"
#include "framework/Recordset.h"
#include "source/ExcelDriver.h"

CString ExcelConnectString(const char* driver, const char* path)
{
    CString s;
    s.Format("ODBC;DRIVER={%s};DSN='';DBQ=%s", driver, path);
    return s;
}

CString WorkbookConnectString(const char* path)
{
    return ExcelConnectString(FindExcelDriverFor(path), path);
}

void CConverterDlg::OnBrowseExcel()
{
    CFileDialog dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                    kWorkbookFileFilter);
    dlg.m_ofn.lpstrTitle = kOpenWorkbookTitle;
    dlg.m_ofn.lpstrInitialDir = ".\\";
    if (dlg.DoModal() != IDOK) return;

    m_strExcelPath = dlg.GetPathName();
    ReplaceEditText(GetDlgItem(IDC_EXCEL_PATH), m_strExcelPath);
    LoadExcelFields(m_strExcelPath);

    // A new workbook invalidates every pairing, whether or not it could be opened.
    if (m_listMapping.GetItemCount() > 0) {
        m_listMapping.DeleteAllItems();
        m_astrMappedTypes.RemoveAll();
    }
    // The columns paired before come back: the selected table is listed again.
    RelistSelectedTable();
}

void CConverterDlg::LoadExcelFields(CString /*path: the connect string uses m_strExcelPath*/)
{
    try {
        CDatabase db;
        if (!db.Open(nullptr, FALSE, FALSE, WorkbookConnectString(m_strExcelPath), TRUE)) {
            MessageBox(kWorkbookOpenFailedText, kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        CRecordset rs(&db);
        if (!rs.Open(CRecordset::forwardOnly, kFieldQuery, CRecordset::none)) {
            db.Close();
            MessageBox(kNoSheet1Text, kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        const short count = rs.GetODBCFieldCount();
        m_listFields.RemoveAllItems();
        for (short i = 0; i < count; ++i) {
            CODBCFieldInfo info;
            rs.GetODBCFieldInfo(i, info);
            m_listFields.InsertItem(info.m_strName, i, kFieldBackColor, kFieldTextColor, 0, DT_VCENTER);
        }
        rs.Close();
        db.Close();
    } catch (const CDBException& e) {
        CString text;
        text.Format(kWorkbookErrorFormat, e.m_strError.GetString());
        MessageBox(text, kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
    }
}

void CConverterDlg::OnSelchangeFieldList()
{
    m_nFieldSel = m_listFields.GetCurSel();
    if (m_nFieldSel != -1 && m_nFieldSel != m_nFieldMarked) {
        // Index -1 is the list's own selection: on the first selection this colours the new
        // item, which the next call then marks.
        m_listFields.SetItemTextColor(kFieldTextColor, m_nFieldMarked);
        m_listFields.SetItemTextColor(kFieldMarkedColor, m_nFieldSel);
        m_nFieldMarked = m_nFieldSel;
    }
}
