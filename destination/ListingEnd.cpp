// How the two catalogue listings of the main dialog end, whether they listed or failed: the
// connection is let go, and the source side starts a new mapping.
#include "app/ConverterDlg.h"
#include "app/Texts.h"
#include "destination/DestinationConnection.h"

void CConverterDlg::EmptyColumnList()
{
    // The type codes run parallel to the rows: they always go with them.
    if (m_listColumns.GetItemCount() > 0) m_listColumns.DeleteAllItems();
    m_astrColumnTypes.RemoveAll();
}

void CConverterDlg::ReportQueryFailure()
{
    MessageBox(kQueryFailedText, kNoticeCaption, MB_OK | MB_ICONINFORMATION);
}

void CConverterDlg::RefreshSourceAfterListing()
{
    if (!m_strExcelPath.IsEmpty() && FileExists(m_strExcelPath) && m_listMapping.GetItemCount() > 0) {
        m_listFields.RemoveAllItems();
        LoadExcelFields(m_strExcelPath);
    }
    if (m_listMapping.GetItemCount() > 0) {
        m_listMapping.DeleteAllItems();
        m_astrMappedTypes.RemoveAll();
    }
}

void CConverterDlg::FinishListing(CRecordsetPtr& rs)
{
    CloseAfterListing(rs);
    RefreshSourceAfterListing();
    UpdateData(FALSE);
}

void CConverterDlg::FinishFailedConnection()
{
    ReportConnectionFailure();
    // A mapping never outlives the destination it was built for.
    RefreshSourceAfterListing();
    UpdateData(FALSE);
}
