// CDatabase: one ODBC connection opened from a connect string (no data source dialog).
// Every ODBC error throws CDBException.
#pragma once
#include "framework/DBException.h"
#include "framework/String.h"
#include <sqlext.h>

class CDatabase {
public:
    enum DbOpenOptions {
        openExclusive = 0x0001,   // ignored: ODBC connections are never exclusive
        openReadOnly = 0x0002,
        useCursorLib = 0x0004,
        noOdbcDialog = 0x0008,
    };

    CDatabase() = default;
    ~CDatabase() { Close(); }
    CDatabase(const CDatabase&) = delete;
    CDatabase& operator=(const CDatabase&) = delete;

    // Connects with `lpszConnect` ("ODBC;" in front is allowed); a data source name, when
    // given, goes in front as DSN=... Returns TRUE when connected, FALSE when the driver
    // declines without an error (no data); throws CDBException on any ODBC error.
    BOOL Open(const char* lpszDSN, BOOL bExclusive = FALSE, BOOL bReadOnly = FALSE,
              const char* lpszConnect = "ODBC;", BOOL bUseCursorLib = TRUE);
    BOOL OpenEx(const char* lpszConnectString, DWORD dwOptions = 0);
    void Close();
    BOOL IsOpen() const { return m_hdbc != nullptr; }
    // The connect string as it was given, with the "ODBC;" prefix.
    const CString& GetConnect() const { return m_strConnect; }

    SQLHDBC m_hdbc = nullptr;

private:
    SQLHENV m_henv = nullptr;
    CString m_strConnect;
};
