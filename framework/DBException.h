// CDBException: an ODBC call failed. Carries the diagnostic records the driver manager and
// the driver left on the handle. Thrown by value; handlers catch it by const reference.
#pragma once
#include "framework/String.h"
#include <sql.h>

class CDBException {
public:
    CDBException() = default;
    // Reads every diagnostic record of `handle` (of kind SQL_HANDLE_ENV/DBC/STMT).
    CDBException(SQLRETURN nRetCode, SQLSMALLINT handleType, SQLHANDLE handle);

    // The call's return code.
    SQLRETURN m_nRetCode = SQL_ERROR;
    // The messages of the records, each without its leading [vendor][component] origin tags
    // and ended by a newline.
    CString m_strError;
    // One line per record: "State:<SQLSTATE>,Native:<native error>,Origin:<origin tags>".
    CString m_strStateNativeOrigin;
};

// Throws CDBException for an ODBC return code that is not a success.
inline void ThrowIfOdbcError(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle)
{
    if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO && rc != SQL_NO_DATA)
        throw CDBException(rc, handleType, handle);
}
