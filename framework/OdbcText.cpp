#include "framework/OdbcText.h"
#include <cstring>
#include <sqlext.h>
#include <string>

namespace {
// Bytes asked for per SQLGetData call; a longer value is read over several calls.
constexpr SQLLEN kChunk = 4096;
}

SQLRETURN ReadOdbcText(SQLHSTMT hstmt, SQLUSMALLINT column, std::optional<CString>& value)
{
    std::string text;
    char buffer[kChunk];
    for (;;) {
        SQLLEN indicator = 0;
        SQLRETURN rc = ::SQLGetData(hstmt, column, SQL_C_CHAR, buffer, kChunk, &indicator);
        if (rc == SQL_NO_DATA) break;   // the whole value was read by the calls before
        if (!SQL_SUCCEEDED(rc)) return rc;
        if (indicator == SQL_NULL_DATA) {
            value.reset();
            return SQL_SUCCESS;
        }
        // On truncation the driver fills the buffer up to its terminating NUL, or a byte short
        // of it when a double-byte character would not fit whole: count to the NUL.
        bool truncated = indicator == SQL_NO_TOTAL || indicator >= kChunk;
        text.append(buffer, truncated ? ::strnlen(buffer, kChunk - 1) : static_cast<size_t>(indicator));
        if (rc == SQL_SUCCESS) break;
    }
    value = CString(text);
    return SQL_SUCCESS;
}
