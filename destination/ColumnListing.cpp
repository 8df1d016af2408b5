// The table selection (table box 1012): the chosen table's columns with their type names,
// without its identity column.
#include "app/ConverterDlg.h"
#include "destination/CatalogueQueries.h"
#include "destination/DestinationConnection.h"
#include "destination/SqlTypes.h"

void CConverterDlg::OnSelchangeTable()
{
    UpdateData(TRUE);
    int sel = m_comboTables.GetCurSel();
    if (sel < 0) return;
    m_comboTables.GetLBText(sel, m_strTable);
    EmptyColumnList();
    if (!ConnectDestination(m_strServer)) {
        FinishFailedConnection();
        return;
    }
    CRecordsetPtr rs;
    bool opened = OpenCatalogueQuery(rs, ColumnListQuery(m_strTable));
    if (!opened) ReportQueryFailure();
    int row = 0;
    m_astrColumnTypes.RemoveAll();
    try {
        if (opened && rs->GetState() != adStateClosed) {
            for (; !rs->GetEOF(); rs->MoveNext()) {
                std::optional<CString> name = rs->GetCollect("name");
                if (!name || IsIdentityColumn(m_strTable, *name)) continue;
                CString code = rs->GetCollect("xtype").value_or(CString());
                m_astrColumnTypes.Add(code);
                m_listColumns.InsertItem(row, *name, 1);
                m_listColumns.SetItemText(row, 1, GetSqlTypeName(ParseTypeCode(code)));
                ++row;
            }
        }
    } catch (const _com_error&) {
        ReportQueryFailure();
    }
    FinishListing(rs);
}

bool CConverterDlg::IsIdentityColumn(CString strTable, CString strColumn)
{
    CRecordsetPtr rs;
    if (!OpenCatalogueQuery(rs, IdentityColumnQuery(strTable))) {
        ReportQueryFailure();
        return true;   // a column that cannot be checked is left out
    }
    CString identity;
    try {
        if (rs->GetState() != adStateClosed) {
            if (!rs->GetEOF()) identity = rs->GetCollect("name").value_or(CString());
            rs->Close();
        }
    } catch (const _com_error&) {
        ReportQueryFailure();
        return true;
    }
    return strColumn == identity;
}

void CConverterDlg::RelistSelectedTable()
{
    if (m_comboTables.GetCurSel() < 0) return;
    EmptyColumnList();
    OnSelchangeTable();
}
