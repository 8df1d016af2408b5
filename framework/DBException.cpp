#include "DBException.h"
#include <sqlext.h>

namespace {
// Splits a diagnostic message "[vendor][component]text" into its origin tags and the text.
void SplitOrigin(const char* msg, CString& origin, CString& text)
{
    const char* p = msg;
    while (*p == '[') {
        const char* close = p;
        while (*close && *close != ']') ++close;
        if (!*close) break;
        p = close + 1;
    }
    origin = CString(msg, static_cast<int>(p - msg));
    text = p;
}
}

CDBException::CDBException(SQLRETURN nRetCode, SQLSMALLINT handleType, SQLHANDLE handle)
    : m_nRetCode(nRetCode)
{
    for (SQLSMALLINT rec = 1; handle; ++rec) {
        SQLCHAR state[SQL_SQLSTATE_SIZE + 1] = "";
        SQLINTEGER native = 0;
        SQLCHAR msg[SQL_MAX_MESSAGE_LENGTH] = "";
        SQLSMALLINT len = 0;
        SQLRETURN rc = ::SQLGetDiagRec(handleType, handle, rec, state, &native, msg, sizeof msg, &len);
        if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO) break;
        CString origin, text;
        SplitOrigin(reinterpret_cast<const char*>(msg), origin, text);
        m_strError += text + "\n";
        CString line;
        line.Format("State:%s,Native:%ld,Origin:%s\n", reinterpret_cast<const char*>(state),
                    static_cast<long>(native), origin.GetString());
        m_strStateNativeOrigin += line;
    }
    if (m_strError.IsEmpty())
        m_strError.Format("ODBC call failed with return code %d and no diagnostic record\n", static_cast<int>(nRetCode));
}
