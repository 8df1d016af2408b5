#include "framework/OdbcDiag.h"
#include <sqlext.h>

std::vector<COdbcDiagRecord> ReadOdbcDiagRecords(SQLSMALLINT handleType, SQLHANDLE handle)
{
    std::vector<COdbcDiagRecord> records;
    if (!handle) return records;
    for (SQLSMALLINT i = 1;; ++i) {
        SQLCHAR state[SQL_SQLSTATE_SIZE + 1] = "";
        SQLINTEGER native = 0;
        std::vector<SQLCHAR> message(1024);
        SQLSMALLINT length = 0;
        SQLRETURN r = ::SQLGetDiagRec(handleType, handle, i, state, &native, message.data(),
                                      static_cast<SQLSMALLINT>(message.size()), &length);
        if (!SQL_SUCCEEDED(r)) break;
        if (length >= static_cast<SQLSMALLINT>(message.size()) && length < 0x7FFF) {   // a longer message
            message.resize(static_cast<size_t>(length) + 1);
            r = ::SQLGetDiagRec(handleType, handle, i, state, &native, message.data(),
                                static_cast<SQLSMALLINT>(message.size()), &length);
            if (!SQL_SUCCEEDED(r)) break;
        }
        records.push_back({reinterpret_cast<const char*>(state), static_cast<long>(native),
                           reinterpret_cast<const char*>(message.data())});
    }
    return records;
}
