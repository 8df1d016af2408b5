// Diagnostic records of a handle (several per handle), as SQLGetDiagRec/SQLGetDiagField and
// SQLError report them.
#pragma once

#include <sql.h>
#include <sqlext.h>

#include <string>
#include <vector>

namespace xlsodbc {

// Prefix of every message, as ODBC drivers mark the component that reports.
extern const char kMessagePrefix[];

struct DiagRecord {
  std::string sqlstate;  // five characters
  SQLINTEGER native = 0;
  std::string message;   // UTF-8, with the prefix
  SQLLEN row = SQL_NO_ROW_NUMBER;
  SQLINTEGER column = SQL_NO_COLUMN_NUMBER;
};

class Diagnostics {
 public:
  void clear() {
    records_.clear();
    return_code_ = SQL_SUCCESS;
    error_cursor_ = 0;
  }
  // Adds a record; returns SQL_ERROR (error) or SQL_SUCCESS_WITH_INFO (warning, "01...").
  SQLRETURN error(const std::string& sqlstate, const std::string& text, SQLINTEGER native = 0);
  SQLRETURN warning(const std::string& sqlstate, const std::string& text) { return error(sqlstate, text); }
  // SQL_SUCCESS, or SQL_SUCCESS_WITH_INFO when records were added.
  SQLRETURN success() const { return records_.empty() ? SQL_SUCCESS : SQL_SUCCESS_WITH_INFO; }
  // Records the result of the call for SQL_DIAG_RETURNCODE.
  SQLRETURN done(SQLRETURN rc) { return return_code_ = rc; }

  const std::vector<DiagRecord>& records() const { return records_; }
  SQLRETURN return_code() const { return return_code_; }
  // SQLError hands out each record once.
  size_t& error_cursor() { return error_cursor_; }

 private:
  std::vector<DiagRecord> records_;
  SQLRETURN return_code_ = SQL_SUCCESS;
  size_t error_cursor_ = 0;
};

// The class origin of an SQLSTATE ("ISO 9075" or "ODBC 3.0").
const char* class_origin(const std::string& sqlstate);

}  // namespace xlsodbc
