#include "framework/Database.h"

namespace {
const char kOdbcPrefix[] = "ODBC;";
const int kOdbcPrefixLength = sizeof kOdbcPrefix - 1;
}

BOOL CDatabase::Open(const char* lpszDSN, BOOL bExclusive, BOOL bReadOnly, const char* lpszConnect,
                     BOOL bUseCursorLib)
{
    CString connect(lpszConnect);
    if (lpszDSN && *lpszDSN) {
        CString body = connect.Left(kOdbcPrefixLength) == kOdbcPrefix ? connect.Mid(kOdbcPrefixLength) : connect;
        connect = CString(kOdbcPrefix) + "DSN=" + lpszDSN + ";" + body;
    }
    DWORD options = noOdbcDialog;
    if (bExclusive) options |= openExclusive;
    if (bReadOnly) options |= openReadOnly;
    if (bUseCursorLib) options |= useCursorLib;
    return OpenEx(connect, options);
}

BOOL CDatabase::OpenEx(const char* lpszConnectString, DWORD dwOptions)
{
    Close();
    m_strConnect = lpszConnectString;
    if (m_strConnect.Left(kOdbcPrefixLength) != kOdbcPrefix) m_strConnect = CString(kOdbcPrefix) + m_strConnect;
    // The driver manager takes the attributes without the framework's "ODBC;" prefix.
    CString attributes = m_strConnect.Mid(kOdbcPrefixLength);

    try {
        ThrowIfOdbcError(::SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_henv), SQL_HANDLE_ENV, nullptr);
        ThrowIfOdbcError(::SQLSetEnvAttr(m_henv, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0),
                         SQL_HANDLE_ENV, m_henv);
        ThrowIfOdbcError(::SQLAllocHandle(SQL_HANDLE_DBC, m_henv, &m_hdbc), SQL_HANDLE_ENV, m_henv);
        if (dwOptions & useCursorLib)
            ThrowIfOdbcError(::SQLSetConnectAttr(m_hdbc, SQL_ATTR_ODBC_CURSORS,
                                                 reinterpret_cast<SQLPOINTER>(SQL_CUR_USE_IF_NEEDED), 0),
                             SQL_HANDLE_DBC, m_hdbc);
        if (dwOptions & openReadOnly)
            ThrowIfOdbcError(::SQLSetConnectAttr(m_hdbc, SQL_ATTR_ACCESS_MODE,
                                                 reinterpret_cast<SQLPOINTER>(SQL_MODE_READ_ONLY), 0),
                             SQL_HANDLE_DBC, m_hdbc);
        SQLCHAR out[1024] = "";
        SQLSMALLINT outLen = 0;
        SQLRETURN rc = ::SQLDriverConnect(m_hdbc, nullptr,
                                          reinterpret_cast<SQLCHAR*>(const_cast<char*>(attributes.GetString())),
                                          SQL_NTS, out, sizeof out, &outLen, SQL_DRIVER_NOPROMPT);
        ThrowIfOdbcError(rc, SQL_HANDLE_DBC, m_hdbc);
        if (rc == SQL_NO_DATA) {
            Close();
            return FALSE;
        }
    } catch (...) {
        Close();
        throw;
    }
    return TRUE;
}

void CDatabase::Close()
{
    if (m_hdbc) {
        // A connection that never connected refuses the disconnect; freeing it is enough.
        ::SQLDisconnect(m_hdbc);
        ::SQLFreeHandle(SQL_HANDLE_DBC, m_hdbc);
        m_hdbc = nullptr;
    }
    if (m_henv) {
        ::SQLFreeHandle(SQL_HANDLE_ENV, m_henv);
        m_henv = nullptr;
    }
}
