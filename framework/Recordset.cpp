#include "framework/Recordset.h"
#include "framework/OdbcText.h"
#include <algorithm>
#include <cstring>

BOOL CRecordset::Open(UINT, const char* lpszSQL, DWORD)
{
    Close();
    if (!m_pDatabase || !m_pDatabase->IsOpen()) return FALSE;
    try {
        SQLHDBC hdbc = m_pDatabase->m_hdbc;
        ThrowIfOdbcError(::SQLAllocHandle(SQL_HANDLE_STMT, hdbc, &m_hstmt), SQL_HANDLE_DBC, hdbc);
        ThrowIfOdbcError(::SQLExecDirect(m_hstmt, reinterpret_cast<SQLCHAR*>(const_cast<char*>(lpszSQL)), SQL_NTS),
                         SQL_HANDLE_STMT, m_hstmt);
        SQLSMALLINT count = 0;
        ThrowIfOdbcError(::SQLNumResultCols(m_hstmt, &count), SQL_HANDLE_STMT, m_hstmt);
        m_fields.resize(static_cast<size_t>(count));
        for (SQLSMALLINT i = 0; i < count; ++i) {
            CODBCFieldInfo& f = m_fields[static_cast<size_t>(i)];
            // A name longer than the buffer is described again into one of the length the
            // driver reported: a cut name would not match the column it names.
            std::vector<SQLCHAR> name(256);
            for (;;) {
                SQLSMALLINT nameLen = 0;
                ThrowIfOdbcError(::SQLDescribeCol(m_hstmt, static_cast<SQLUSMALLINT>(i + 1), name.data(),
                                                  static_cast<SQLSMALLINT>(name.size()), &nameLen, &f.m_nSQLType,
                                                  &f.m_nPrecision, &f.m_nScale, &f.m_nNullability),
                                 SQL_HANDLE_STMT, m_hstmt);
                if (nameLen < static_cast<SQLSMALLINT>(name.size()) || name.size() == 0x7FFF) break;
                name.assign(std::min<size_t>(static_cast<size_t>(nameLen) + 1, 0x7FFF), 0);
            }
            f.m_strName = reinterpret_cast<const char*>(name.data());
        }
        Fetch();
    } catch (...) {
        Close();
        throw;
    }
    return TRUE;
}

void CRecordset::Close()
{
    if (m_hstmt) {
        ::SQLFreeHandle(SQL_HANDLE_STMT, m_hstmt);
        m_hstmt = nullptr;
    }
    m_fields.clear();
    m_read.clear();
    m_values.clear();
    m_bEOF = TRUE;
}

void CRecordset::GetODBCFieldInfo(short nIndex, CODBCFieldInfo& fieldInfo) const
{
    fieldInfo = m_fields.at(static_cast<size_t>(nIndex));
}

void CRecordset::Fetch()
{
    SQLRETURN rc = ::SQLFetch(m_hstmt);
    ThrowIfOdbcError(rc, SQL_HANDLE_STMT, m_hstmt);
    m_bEOF = rc == SQL_NO_DATA;
    m_read.assign(m_fields.size(), false);
    m_values.assign(m_fields.size(), CString());
}

void CRecordset::MoveNext()
{
    if (!m_hstmt || m_bEOF) return;
    Fetch();
}

void CRecordset::GetFieldValue(const char* lpszName, CString& strValue)
{
    GetFieldValue(GetFieldIndexByName(lpszName), strValue);
}

short CRecordset::GetFieldIndexByName(const char* lpszName) const
{
    for (size_t i = 0; i < m_fields.size(); ++i)
        if (::lstrcmpiA(m_fields[i].m_strName, lpszName) == 0) return static_cast<short>(i);
    CDBException e;
    e.m_strError.Format("Column %s is not in the result\n", lpszName);
    throw e;
}

void CRecordset::GetFieldValue(short nIndex, CString& strValue)
{
    size_t i = static_cast<size_t>(nIndex);
    if (!m_hstmt || m_bEOF || i >= m_fields.size()) {
        CDBException e;
        e.m_strError = m_bEOF ? "No current row\n" : "Column index out of range\n";
        throw e;
    }
    if (!m_read[i]) {
        m_values[i] = ReadColumn(nIndex);
        m_read[i] = true;
    }
    strValue = m_values[i];
}

CString CRecordset::ReadColumn(short nIndex)
{
    std::optional<CString> value;
    ThrowIfOdbcError(ReadOdbcText(m_hstmt, static_cast<SQLUSMALLINT>(nIndex + 1), value), SQL_HANDLE_STMT, m_hstmt);
    return value.value_or(CString());
}
