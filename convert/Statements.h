// The statements of a conversion run: the select that reads the mapped fields of the
// worksheet, and one insert per row. Names that need it are bracketed; ordinary names give
// the plain statements ("select A,B from [sheet1$];", "insert into T(x,y) values(12,'abc');").
#pragma once
#include "framework/StringArray.h"

CString BuildSelectStatement(const CStringArray& fields);
CString BuildInsertStatement(const CString& table, const CStringArray& columns, const CStringArray& values);
// The same in two steps, for a run: the part before the values ("insert into T(x,y) values("),
// the same for every row and so quoted once, then each row's statement from it.
CString BuildInsertHead(const CString& table, const CStringArray& columns);
CString BuildInsertStatement(const CString& head, const CStringArray& values);
