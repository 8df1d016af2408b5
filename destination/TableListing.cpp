// The destination command (button 1009): settings, connection and the list of user tables.
#include "app/ConverterDlg.h"
#include "destination/CatalogueQueries.h"
#include "destination/DbConfigDlg.h"
#include "destination/DestinationConnection.h"
#include "destination/DestinationSettings.h"

void CConverterDlg::OnDestinationSettings()
{
    UpdateData(TRUE);
    CDbConfigDlg dlg;
    if (dlg.DoModal() != IDOK) return;

    EmptyColumnList();
    m_strServer = GetDlgItemText(IDC_SERVER);
    if (!ConnectDestination(m_strServer)) {
        FinishFailedConnection();
        return;
    }
    CRecordsetPtr rs;
    bool opened = OpenCatalogueQuery(rs, TableListQuery(DestinationSettings::database));
    if (!opened) ReportQueryFailure();
    m_comboTables.ResetContent();
    try {
        if (opened && rs->GetState() != adStateClosed) {
            for (; !rs->GetEOF(); rs->MoveNext()) {
                std::optional<CString> name = rs->GetCollect("name");
                if (name) m_comboTables.AddString(*name);
            }
        }
    } catch (const _com_error&) {
        ReportQueryFailure();
    }
    FinishListing(rs);
}
