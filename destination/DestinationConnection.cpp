#include "destination/DestinationConnection.h"
#include "app/ConverterDlg.h"
#include "app/Texts.h"
#include "destination/ConnectionString.h"
#include "destination/DestinationSettings.h"
#include "framework/WatchedStatement.h"

CConnectionPtr g_pConnection;

bool FileExists(CString path)
{
    WIN32_FIND_DATAA data;
    HANDLE search = ::FindFirstFileA(path, &data);
    if (search == INVALID_HANDLE_VALUE) return false;
    ::FindClose(search);
    return true;
}

bool ConnectDestination(const char* server)
{
    CString text = DestinationConnectionString(server, DestinationSettings::database, DestinationSettings::login,
                                               DestinationSettings::password);
    g_pConnection.CreateInstance();
    try {
        g_pConnection->PutConnectionTimeout(5);
        g_pConnection->PutCursorLocation(adUseClient);
        g_pConnection->PutIsolationLevel(adXactReadCommitted);
        g_pConnection->Open(text, "", "", 0);
        return true;
    } catch (const _com_error&) {
        return false;
    }
}

bool OpenCatalogueQuery(CRecordsetPtr& rs, const CString& sql)
{
    rs.CreateInstance();
    if (!g_pConnection) return false;
    try {
        if (RunWatchedStatement(g_pConnection, [recordset = rs, connection = g_pConnection, sql] {
                recordset->Open(sql, connection);
            }))
            return true;
        // Given up, the link to the server gone: the query's thread keeps both until the
        // driver lets go; the dialog lets go of them now and makes a new connection next time.
        rs.Release();
        g_pConnection.Release();
        return false;
    } catch (const _com_error&) {
        return false;
    }
}

void CloseAfterListing(CRecordsetPtr& rs)
{
    try {
        if (rs && rs->GetState() != adStateClosed) rs->Close();
        if (g_pConnection && g_pConnection->GetState() != adStateClosed) g_pConnection->Close();
    } catch (const _com_error&) {
        // Nothing is left to release but the references themselves.
    }
    g_pConnection.Release();
}

bool CConverterDlg::OpenDestinationConnection()
{
    // Without a database name the login's default database would take the rows.
    if (DestinationSettings::database.IsEmpty()) {
        MessageBox(kEnterDatabaseText, kNoticeCaption, MB_OK | MB_ICONINFORMATION);
        return false;
    }
    if (ConnectDestination(m_strServer)) return true;
    ReportConnectionFailure();
    return false;
}

void CConverterDlg::ReportConnectionFailure()
{
    MessageBox(kConnectionFailedText, kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
    if (m_comboTables.GetCount() > 0) m_comboTables.ResetContent();
}
