// The three catalogue queries of the destination: the user tables of a database, the columns
// of a table with their type codes, and the table's identity column. A name that is not a
// regular identifier goes in bracketed; the table name then sits inside object_id('...') with
// its quotes doubled. Ordinary names give the statements unchanged.
#pragma once
#include "framework/String.h"

CString TableListQuery(const char* database);
CString ColumnListQuery(const char* table);
CString IdentityColumnQuery(const char* table);
