#include "destination/SqlIdentifier.h"
#include <windows.h>
#include <string>

namespace {
// Transact-SQL reserved keywords (compared without regard to case).
const char* const kReserved[] = {
    "ADD", "ALL", "ALTER", "AND", "ANY", "AS", "ASC", "AUTHORIZATION", "BACKUP", "BEGIN",
    "BETWEEN", "BREAK", "BROWSE", "BULK", "BY", "CASCADE", "CASE", "CHECK", "CHECKPOINT",
    "CLOSE", "CLUSTERED", "COALESCE", "COLLATE", "COLUMN", "COMMIT", "COMPUTE", "CONSTRAINT",
    "CONTAINS", "CONTAINSTABLE", "CONTINUE", "CONVERT", "CREATE", "CROSS", "CURRENT",
    "CURRENT_DATE", "CURRENT_TIME", "CURRENT_TIMESTAMP", "CURRENT_USER", "CURSOR", "DATABASE",
    "DBCC", "DEALLOCATE", "DECLARE", "DEFAULT", "DELETE", "DENY", "DESC", "DISK", "DISTINCT",
    "DISTRIBUTED", "DOUBLE", "DROP", "DUMP", "ELSE", "END", "ERRLVL", "ESCAPE", "EXCEPT",
    "EXEC", "EXECUTE", "EXISTS", "EXIT", "EXTERNAL", "FETCH", "FILE", "FILLFACTOR", "FOR",
    "FOREIGN", "FREETEXT", "FREETEXTTABLE", "FROM", "FULL", "FUNCTION", "GOTO", "GRANT",
    "GROUP", "HAVING", "HOLDLOCK", "IDENTITY", "IDENTITY_INSERT", "IDENTITYCOL", "IF", "IN",
    "INDEX", "INNER", "INSERT", "INTERSECT", "INTO", "IS", "JOIN", "KEY", "KILL", "LEFT",
    "LIKE", "LINENO", "LOAD", "MERGE", "NATIONAL", "NOCHECK", "NONCLUSTERED", "NOT", "NULL",
    "NULLIF", "OF", "OFF", "OFFSETS", "ON", "OPEN", "OPENDATASOURCE", "OPENQUERY",
    "OPENROWSET", "OPENXML", "OPTION", "OR", "ORDER", "OUTER", "OVER", "PERCENT", "PIVOT",
    "PLAN", "PRECISION", "PRIMARY", "PRINT", "PROC", "PROCEDURE", "PUBLIC", "RAISERROR",
    "READ", "READTEXT", "RECONFIGURE", "REFERENCES", "REPLICATION", "RESTORE", "RESTRICT",
    "RETURN", "REVERT", "REVOKE", "RIGHT", "ROLLBACK", "ROWCOUNT", "ROWGUIDCOL", "RULE",
    "SAVE", "SCHEMA", "SECURITYAUDIT", "SELECT", "SEMANTICKEYPHRASETABLE",
    "SEMANTICSIMILARITYDETAILSTABLE", "SEMANTICSIMILARITYTABLE", "SESSION_USER", "SET",
    "SETUSER", "SHUTDOWN", "SOME", "STATISTICS", "SYSTEM_USER", "TABLE", "TABLESAMPLE",
    "TEXTSIZE", "THEN", "TO", "TOP", "TRAN", "TRANSACTION", "TRIGGER", "TRUNCATE",
    "TRY_CONVERT", "TSEQUAL", "UNION", "UNIQUE", "UNPIVOT", "UPDATE", "UPDATETEXT", "USE",
    "USER", "VALUES", "VARYING", "VIEW", "WAITFOR", "WHEN", "WHERE", "WHILE", "WITH",
    "WITHIN GROUP", "WRITETEXT",
};

bool IsReserved(const CString& name)
{
    for (const char* word : kReserved)
        if (lstrcmpiA(word, name) == 0) return true;
    return false;
}

bool IsLetter(wchar_t c) { return c < 0x80 ? ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') : ::IsCharAlphaW(c) != FALSE; }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
}

bool NeedsBrackets(const CString& name)
{
    if (name.IsEmpty()) return true;
    // As UTF-16, so that letters of any script are recognised as letters.
    std::wstring w = Utf16FromAnsi(name, name.GetLength(), true);
    if (w.empty()) return true;   // not valid text in the code page: brackets at least keep it whole
    if (!IsLetter(w[0]) && w[0] != L'_') return true;
    for (size_t i = 1; i < w.size(); ++i) {
        wchar_t c = w[i];
        if (!IsLetter(c) && !IsDigit(c) && c != L'_' && c != L'@' && c != L'$' && c != L'#') return true;
    }
    return IsReserved(name);
}

CString QuoteIdentifier(const CString& name)
{
    if (!NeedsBrackets(name)) return name;
    CString inner(name);
    inner.Replace("]", "]]");
    return "[" + inner + "]";
}

CString EscapeSqlLiteral(const CString& text)
{
    CString s(text);
    s.Replace("'", "''");
    return s;
}
