// The diagnostic records an ODBC call left on its handle, read once for both error kinds of
// the framework (CDBException and the data-access objects' _com_error).
#pragma once
#include "framework/String.h"
#include <sql.h>
#include <vector>

struct COdbcDiagRecord {
    CString state;     // SQLSTATE
    long native = 0;   // the driver's own error number
    CString message;   // as the driver wrote it, with its [vendor][component] origin tags
};

// Every record of `handle` (of kind SQL_HANDLE_ENV/DBC/STMT), in order; none for no handle.
std::vector<COdbcDiagRecord> ReadOdbcDiagRecords(SQLSMALLINT handleType, SQLHANDLE handle);
