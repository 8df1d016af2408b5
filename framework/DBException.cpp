#include "framework/DBException.h"
#include "framework/OdbcDiag.h"

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
    for (const COdbcDiagRecord& record : ReadOdbcDiagRecords(handleType, handle)) {
        CString origin, text;
        SplitOrigin(record.message, origin, text);
        m_strError += text + "\n";
        CString line;
        line.Format("State:%s,Native:%ld,Origin:%s\n", record.state.GetString(), record.native, origin.GetString());
        m_strStateNativeOrigin += line;
    }
    if (m_strError.IsEmpty())
        m_strError.Format("ODBC call failed with return code %d and no diagnostic record\n", static_cast<int>(nRetCode));
}
