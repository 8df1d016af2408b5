#include "convert/Statements.h"
#include "destination/SqlIdentifier.h"

namespace {
CString JoinNames(const CStringArray& names)
{
    CString s;
    for (int i = 0; i < names.GetSize(); ++i) {
        if (i) s += ",";
        s += QuoteIdentifier(names[i]);
    }
    return s;
}
}

CString BuildSelectStatement(const CStringArray& fields)
{
    return "select " + JoinNames(fields) + " from [sheet1$];";
}

CString BuildInsertHead(const CString& table, const CStringArray& columns)
{
    return "insert into " + QuoteIdentifier(table) + "(" + JoinNames(columns) + ") values(";
}

CString BuildInsertStatement(const CString& head, const CStringArray& values)
{
    CString s = head;
    for (int i = 0; i < values.GetSize(); ++i) {
        if (i) s += ",";
        s += values[i];
    }
    return s + ");";
}

CString BuildInsertStatement(const CString& table, const CStringArray& columns, const CStringArray& values)
{
    return BuildInsertStatement(BuildInsertHead(table, columns), values);
}
