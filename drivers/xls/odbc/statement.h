// Statement work shared by the ODBC entry points: preparing a SELECT against the workbook,
// installing catalog results, handing out values (SQLGetData, bound columns).
#pragma once

#include "handles.h"

namespace xlsodbc {

// Parses and resolves a statement (UTF-8): worksheet and columns. Errors: 42000 syntax,
// 42S02 unknown worksheet, 42S22 unknown column, HY000 unreadable or empty worksheet.
SQLRETURN prepare_statement(Stmt* st, const std::string& sql);
// Opens the cursor over the prepared result.
SQLRETURN execute_statement(Stmt* st);
// Installs an in-memory result (catalog functions) with its cursor open.
SQLRETURN set_table_result(Stmt* st, std::unique_ptr<ResultSet> result);
// Loads (once per connection) and returns a worksheet by its index, with its columns; nullptr
// with the reason when it cannot be read.
const Dbc::LoadedSheet* load_worksheet(Dbc* dbc, int index, std::string& error);

// Delivers the value of column `col` (0-based) of the current row into a buffer as `c_type`,
// continuing from where `pending` stopped.
SQLRETURN deliver_value(Stmt* st, PendingValue& pending, size_t col, SQLSMALLINT c_type, SQLPOINTER target,
                        SQLLEN buflen, SQLLEN* ind);

// Bytes per character in the client character set, for octet lengths.
SQLULEN bytes_per_char(const Dbc* dbc);

}  // namespace xlsodbc
