#include "framework/AdoRecordset.h"
#include "framework/AdoError.h"
#include <mbstring.h>

namespace {
constexpr HRESULT kAdoErrInvalidConnection = static_cast<HRESULT>(0x800A0E7D);
}

void CAdoRecordset::RequireOpen() const
{
    if (!m_bOpen) ThrowAdoError(kAdoErrObjectClosed, "The recordset is closed.");
}

void CAdoRecordset::Open(const char* source, const CConnectionPtr& activeConnection)
{
    if (m_bOpen) ThrowAdoError(kAdoErrObjectOpen, "The recordset is already open.");
    if (!activeConnection || activeConnection->GetState() != adStateOpen)
        ThrowAdoError(kAdoErrInvalidConnection, "The connection is closed or missing.");
    COdbcStatement statement(activeConnection->OdbcHandle());
    const long timeout = activeConnection->GetCommandTimeout();
    statement.SetQueryTimeout(timeout);
    CAdoConnection::CStatementMark running(*activeConnection.GetInterfacePtr(), timeout);
    statement.ExecDirect(source);
    std::optional<COdbcResult> result = statement.ReadFirstResult();
    if (!result) return;
    m_result = std::move(*result);
    m_nRow = 0;
    m_bOpen = true;
}

bool CAdoRecordset::GetEOF() const
{
    RequireOpen();
    return m_nRow >= m_result.rows.size();
}

std::optional<CString> CAdoRecordset::GetCollect(const char* field) const
{
    RequireOpen();
    for (size_t c = 0; c < m_result.names.size(); ++c) {
        if (_mbsicmp(reinterpret_cast<const unsigned char*>(m_result.names[c].GetString()),
                     reinterpret_cast<const unsigned char*>(field)) != 0)
            continue;
        if (m_nRow >= m_result.rows.size()) ThrowAdoError(kAdoErrNoCurrentRecord, "There is no current row.");
        return m_result.rows[m_nRow][c];
    }
    CString text;
    text.Format("The result has no field \"%s\".", field);
    ThrowAdoError(kAdoErrItemNotFound, text);
}

void CAdoRecordset::MoveNext()
{
    RequireOpen();
    if (m_nRow >= m_result.rows.size()) ThrowAdoError(kAdoErrNoCurrentRecord, "There is no current row.");
    ++m_nRow;
}

void CAdoRecordset::Close()
{
    RequireOpen();
    m_bOpen = false;
    m_result = COdbcResult();
    m_nRow = 0;
}
