// A column's value read as text over as many SQLGetData calls as it takes, shared by the
// workbook's recordset and the destination's statements.
#pragma once
#include "framework/String.h"
#include <optional>
#include <sql.h>

// Reads column `column` (from 1) of the current row of `hstmt` as SQL_C_CHAR text, whole;
// nullopt for NULL. A driver that cuts a long value may stop a byte short of the buffer's
// end rather than split a double-byte character: each piece is taken up to its terminating
// NUL. Returns SQL_SUCCESS, or the return code of the call that failed (its diagnostics stay
// on the statement).
SQLRETURN ReadOdbcText(SQLHSTMT hstmt, SQLUSMALLINT column, std::optional<CString>& value);
