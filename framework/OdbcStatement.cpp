#include "framework/OdbcStatement.h"
#include "framework/AdoError.h"
#include "framework/OdbcText.h"
#include <sqlext.h>

COdbcStatement::COdbcStatement(SQLHDBC dbc)
{
    if (!SQL_SUCCEEDED(::SQLAllocHandle(SQL_HANDLE_STMT, dbc, &m_hstmt))) {
        m_hstmt = SQL_NULL_HSTMT;
        ThrowOdbcError("No statement can be made on the connection.", SQL_HANDLE_DBC, dbc);
    }
}

COdbcStatement::~COdbcStatement()
{
    if (m_hstmt) ::SQLFreeHandle(SQL_HANDLE_STMT, m_hstmt);
}

void COdbcStatement::Fail(const char* what)
{
    ThrowOdbcError(what, SQL_HANDLE_STMT, m_hstmt);
}

void COdbcStatement::SetQueryTimeout(long seconds)
{
    if (seconds == m_nQueryTimeout) return;
    SQLRETURN r = ::SQLSetStmtAttr(m_hstmt, SQL_ATTR_QUERY_TIMEOUT,
                                   reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(seconds)), 0);
    if (!SQL_SUCCEEDED(r)) Fail("The statement's timeout cannot be set.");
    m_nQueryTimeout = seconds;
}

void COdbcStatement::ExecDirect(const char* text)
{
    m_bResultsPending = true;   // a failed batch may still hold results
    SQLRETURN r = ::SQLExecDirect(m_hstmt, reinterpret_cast<SQLCHAR*>(const_cast<char*>(text)), SQL_NTS);
    if (!SQL_SUCCEEDED(r) && r != SQL_NO_DATA) Fail("The statement failed.");
}

std::optional<COdbcResult> COdbcStatement::ReadFirstResult()
{
    SQLSMALLINT count = 0;
    for (;;) {
        if (!SQL_SUCCEEDED(::SQLNumResultCols(m_hstmt, &count))) Fail("The result cannot be read.");
        if (count > 0) break;
        SQLRETURN r = ::SQLMoreResults(m_hstmt);
        if (r == SQL_NO_DATA) {
            m_bResultsPending = false;
            return std::nullopt;
        }
        if (!SQL_SUCCEEDED(r)) Fail("The statement failed.");
    }
    COdbcResult result;
    for (SQLUSMALLINT c = 1; c <= static_cast<SQLUSMALLINT>(count); ++c) {
        SQLCHAR name[256] = "";
        SQLSMALLINT length = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        if (!SQL_SUCCEEDED(::SQLDescribeCol(m_hstmt, c, name, sizeof name, &length, &type, &size, &digits, &nullable)))
            Fail("The result's columns cannot be read.");
        result.names.emplace_back(reinterpret_cast<const char*>(name));
    }
    for (;;) {
        SQLRETURN r = ::SQLFetch(m_hstmt);
        if (r == SQL_NO_DATA) break;
        if (!SQL_SUCCEEDED(r)) Fail("A row of the result cannot be read.");
        std::vector<std::optional<CString>> row;
        for (SQLUSMALLINT c = 1; c <= static_cast<SQLUSMALLINT>(count); ++c) row.push_back(ReadValue(c));
        result.rows.push_back(std::move(row));
    }
    return result;
}

std::optional<CString> COdbcStatement::ReadValue(SQLUSMALLINT column)
{
    std::optional<CString> value;
    if (!SQL_SUCCEEDED(ReadOdbcText(m_hstmt, column, value))) Fail("A value of the result cannot be read.");
    return value;
}

long COdbcStatement::RowsAffected()
{
    SQLLEN rows = -1;
    if (!SQL_SUCCEEDED(::SQLRowCount(m_hstmt, &rows))) rows = -1;
    for (;;) {   // later results of the batch may still carry an error
        SQLRETURN r = ::SQLMoreResults(m_hstmt);
        if (r == SQL_NO_DATA) break;
        if (!SQL_SUCCEEDED(r)) Fail("The statement failed.");
    }
    m_bResultsPending = false;   // the driver closed the cursor with the last result
    return static_cast<long>(rows);
}

void COdbcStatement::CloseCursor()
{
    if (!m_bResultsPending) return;
    ::SQLFreeStmt(m_hstmt, SQL_CLOSE);
    m_bResultsPending = false;
}
