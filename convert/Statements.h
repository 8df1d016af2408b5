// The statements of a conversion run: the select that reads the mapped fields of the
// worksheet, and one insert per row. Names that need it are bracketed; ordinary names give
// the plain statements ("select A,B from [sheet1$];", "insert into T(x,y) values(12,'abc');").
#pragma once
#include "framework/StringArray.h"

CString BuildSelectStatement(const CStringArray& fields);
CString BuildInsertStatement(const CString& table, const CStringArray& columns, const CStringArray& values);
