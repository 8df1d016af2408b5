#include "framework/AdoConnection.h"
#include "framework/AdoConnectionString.h"
#include "framework/AdoError.h"
#include "framework/OdbcStatement.h"
#include <algorithm>
#include <sqlext.h>

namespace {
constexpr HRESULT kAdoErrInvalidArgument = static_cast<HRESULT>(0x800A0BB9);

// After its query timeout the driver sends the server a cancel and waits for the answer as
// long again. A live server answers a cancel at once, so a statement is overdue this long
// after its timeout: five seconds, and never more than half the timeout itself, so that the
// statement is given up before the driver's own second wait ends.
ULONGLONG CancelAnswerMilliseconds(long timeoutSeconds)
{
    return std::min<ULONGLONG>(5000, static_cast<ULONGLONG>(timeoutSeconds) * 500);
}

SQLULEN OdbcIsolation(long level)
{
    switch (level) {
    case adXactReadUncommitted: return SQL_TXN_READ_UNCOMMITTED;
    case adXactReadCommitted: return SQL_TXN_READ_COMMITTED;
    case adXactRepeatableRead: return SQL_TXN_REPEATABLE_READ;
    case adXactSerializable: return SQL_TXN_SERIALIZABLE;
    default: return 0;
    }
}
}

std::vector<CString> InstalledOdbcDrivers(SQLHENV henv)
{
    std::vector<CString> names;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    for (;;) {
        SQLCHAR name[256] = "", attributes[1024] = "";
        SQLSMALLINT nameLength = 0, attributesLength = 0;
        SQLRETURN r = ::SQLDrivers(henv, direction, name, sizeof name, &nameLength, attributes, sizeof attributes,
                                   &attributesLength);
        if (!SQL_SUCCEEDED(r)) break;
        names.emplace_back(reinterpret_cast<const char*>(name));
        direction = SQL_FETCH_NEXT;
    }
    return names;
}

CAdoConnection::~CAdoConnection()
{
    m_statement.reset();
    if (m_hdbc) ::SQLDisconnect(m_hdbc);
    FreeHandles();
}

void CAdoConnection::FreeHandles()
{
    if (m_hdbc) ::SQLFreeHandle(SQL_HANDLE_DBC, m_hdbc);
    if (m_henv) ::SQLFreeHandle(SQL_HANDLE_ENV, m_henv);
    m_hdbc = SQL_NULL_HDBC;
    m_henv = SQL_NULL_HENV;
}

void CAdoConnection::RequireOpen() const
{
    if (!m_hdbc) ThrowAdoError(kAdoErrObjectClosed, "The connection is closed.");
}

void CAdoConnection::PutConnectionTimeout(long seconds)
{
    if (m_hdbc) ThrowAdoError(kAdoErrObjectOpen, "The connection timeout cannot change while the connection is open.");
    if (seconds < 0) ThrowAdoError(kAdoErrInvalidArgument, "A timeout cannot be negative.");
    m_nTimeout = seconds;
}

void CAdoConnection::PutCommandTimeout(long seconds)
{
    if (seconds < 0) ThrowAdoError(kAdoErrInvalidArgument, "A timeout cannot be negative.");
    m_nCommandTimeout = seconds;
}

CAdoConnection::CStatementMark::CStatementMark(CAdoConnection& connection, long timeoutSeconds)
    : m_connection(connection)
{
    if (timeoutSeconds > 0)
        m_connection.m_overdueAt = ::GetTickCount64() + static_cast<ULONGLONG>(timeoutSeconds) * 1000 +
                                   CancelAnswerMilliseconds(timeoutSeconds);
}

CAdoConnection::CStatementMark::~CStatementMark()
{
    m_connection.m_overdueAt = 0;
}

bool CAdoConnection::IsStatementOverdue() const
{
    const ULONGLONG at = m_overdueAt;
    return at != 0 && ::GetTickCount64() >= at;
}

void CAdoConnection::PutCursorLocation(long location)
{
    if (location != adUseClient) ThrowAdoError(kAdoErrInvalidArgument, "Only client-side cursors (adUseClient) are offered.");
    m_nCursorLocation = location;
}

void CAdoConnection::PutIsolationLevel(long level)
{
    if (!OdbcIsolation(level)) ThrowAdoError(kAdoErrInvalidArgument, "Unknown isolation level.");
    m_nIsolation = level;
    if (m_hdbc) ApplyIsolation();
}

void CAdoConnection::ApplyIsolation()
{
    SQLRETURN r = ::SQLSetConnectAttr(m_hdbc, SQL_ATTR_TXN_ISOLATION,
                                      reinterpret_cast<SQLPOINTER>(OdbcIsolation(m_nIsolation)), 0);
    if (!SQL_SUCCEEDED(r)) ThrowOdbcError("The isolation level cannot be set.", SQL_HANDLE_DBC, m_hdbc);
}

void CAdoConnection::Open(const char* connectionString, const char* user, const char* password, long)
{
    if (m_hdbc) ThrowAdoError(kAdoErrObjectOpen, "The connection is already open.");
    std::vector<CConnectionAttribute> attributes;
    CString error;
    if (!ParseConnectionString(connectionString, attributes, error)) ThrowAdoError(E_FAIL, error);
    CSqlServerLogin login = SqlServerLoginFromAttributes(attributes);
    if (user && *user) login.user = user;
    if (password && *password) login.password = password;

    if (!SQL_SUCCEEDED(::SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_henv))) {
        m_henv = SQL_NULL_HENV;
        ThrowAdoError(E_FAIL, "The ODBC driver manager cannot be used.");
    }
    ::SQLSetEnvAttr(m_henv, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    try {
        CString driver = ChooseSqlServerDriver(InstalledOdbcDrivers(m_henv));
        if (driver.IsEmpty()) ThrowAdoError(kAdoErrProviderNotFound, "No SQL Server ODBC driver is installed.");
        CString odbc;
        if (!BuildOdbcConnectionString(driver, login, ::GetACP(), odbc, error)) ThrowAdoError(E_FAIL, error);

        if (!SQL_SUCCEEDED(::SQLAllocHandle(SQL_HANDLE_DBC, m_henv, &m_hdbc))) {
            m_hdbc = SQL_NULL_HDBC;
            ThrowOdbcError("No connection can be made.", SQL_HANDLE_ENV, m_henv);
        }
        ::SQLSetConnectAttr(m_hdbc, SQL_ATTR_LOGIN_TIMEOUT,
                            reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(m_nTimeout)), 0);
        SQLRETURN r = ::SQLDriverConnect(m_hdbc, nullptr, reinterpret_cast<SQLCHAR*>(odbc.GetBuffer(0)), SQL_NTS,
                                         nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
        if (!SQL_SUCCEEDED(r)) ThrowOdbcError("The login failed.", SQL_HANDLE_DBC, m_hdbc);
        try {
            ApplyIsolation();
        } catch (const _com_error&) {
            ::SQLDisconnect(m_hdbc);
            throw;
        }
    } catch (const _com_error&) {
        FreeHandles();
        throw;
    }
}

long CAdoConnection::Execute(const char* commandText)
{
    RequireOpen();
    if (!m_statement) m_statement = std::make_unique<COdbcStatement>(m_hdbc);
    const long timeout = m_nCommandTimeout;
    m_statement->SetQueryTimeout(timeout);   // given to the driver when it changes
    CStatementMark running(*this, timeout);
    // The cursor is closed however the call ends: a failed batch may still hold results.
    struct CursorCloser {
        COdbcStatement& statement;
        ~CursorCloser() { statement.CloseCursor(); }
    } closer{*m_statement};
    m_statement->ExecDirect(commandText);
    return m_statement->RowsAffected();
}

void CAdoConnection::Close()
{
    RequireOpen();
    m_statement.reset();
    ::SQLDisconnect(m_hdbc);
    FreeHandles();
}
