// CAdoConnection: an ADO-style connection to SQL Server over ODBC. It takes the ADO-style
// connection string the program formats, finds the installed SQL Server ODBC driver and logs
// in within ConnectionTimeout seconds. Every statement it runs waits at most CommandTimeout
// seconds for the server. Every failure raises _com_error.
#pragma once
#include "framework/AdoPtr.h"
#include "framework/OdbcStatement.h"
#include "framework/String.h"
#include <atomic>
#include <memory>
#include <sql.h>
#include <vector>

// ADO's values for the properties offered here.
enum AdoObjectState : long { adStateClosed = 0, adStateOpen = 1 };
enum AdoCursorLocation : long { adUseServer = 2, adUseClient = 3 };
enum AdoIsolationLevel : long {
    adXactReadUncommitted = 256,
    adXactReadCommitted = 4096,
    adXactRepeatableRead = 65536,
    adXactSerializable = 1048576,
};

class CAdoConnection {
public:
    CAdoConnection() = default;
    ~CAdoConnection();
    CAdoConnection(const CAdoConnection&) = delete;
    CAdoConnection& operator=(const CAdoConnection&) = delete;

    // Seconds the login may take (ADO's default 15); fixed while the connection is open.
    void PutConnectionTimeout(long seconds);
    long GetConnectionTimeout() const { return m_nTimeout; }
    // Seconds a statement may wait for the server (ADO's default 30; 0 waits without limit),
    // for the statements of this connection and of the recordsets opened on it; a statement
    // that outlasts them raises _com_error. May change at any time; the next statement uses it.
    void PutCommandTimeout(long seconds);
    long GetCommandTimeout() const { return m_nCommandTimeout; }
    // True while a statement run by Execute has outlasted CommandTimeout and then the few
    // seconds a live server takes to answer the driver's cancel: the link to the server is
    // gone, and the driver would wait as long again before it drops the connection. Another
    // thread may ask while Execute runs; it then stops waiting for that statement.
    bool IsStatementOverdue() const;
    // Marks a statement of this connection, or of a recordset opened on it, as running with
    // `timeoutSeconds` as its limit, for IsStatementOverdue, for as long as the mark lives.
    class CStatementMark {
    public:
        CStatementMark(CAdoConnection& connection, long timeoutSeconds);
        ~CStatementMark();
        CStatementMark(const CStatementMark&) = delete;
        CStatementMark& operator=(const CStatementMark&) = delete;

    private:
        CAdoConnection& m_connection;
    };
    // Only client-side cursors are offered: recordsets read their whole result when they open.
    void PutCursorLocation(long location);
    long GetCursorLocation() const { return m_nCursorLocation; }
    // Transaction isolation, applied when the connection opens and at once while it is open.
    void PutIsolationLevel(long level);
    long GetIsolationLevel() const { return m_nIsolation; }

    // Logs in. A non-empty user or password given here replaces the string's UID or PWD.
    void Open(const char* connectionString, const char* user = "", const char* password = "", long options = 0);
    // Runs a statement that returns no rows; returns the rows it affected (-1 when unknown).
    // Every call runs on the one ODBC statement the connection keeps while it is open.
    long Execute(const char* commandText);
    long GetState() const { return m_hdbc ? adStateOpen : adStateClosed; }
    void Close();

    // The open ODBC connection, for the recordsets of this connection.
    SQLHDBC OdbcHandle() const { return m_hdbc; }

private:
    void RequireOpen() const;
    void ApplyIsolation();
    void FreeHandles();

    long m_nTimeout = 15;
    std::atomic<long> m_nCommandTimeout{30};   // set by one thread while another executes
    std::atomic<ULONGLONG> m_overdueAt{0};     // tick count; 0 while no statement has a limit
    long m_nCursorLocation = adUseClient;
    long m_nIsolation = adXactReadCommitted;
    SQLHENV m_henv = SQL_NULL_HENV;
    SQLHDBC m_hdbc = SQL_NULL_HDBC;
    // Made at the first Execute: a statement made and freed per call costs more than the
    // call itself when rows go in one statement each.
    std::unique_ptr<COdbcStatement> m_statement;
};

using CConnectionPtr = CAdoPtr<CAdoConnection>;

// The names of the installed ODBC drivers.
std::vector<CString> InstalledOdbcDrivers(SQLHENV henv);
