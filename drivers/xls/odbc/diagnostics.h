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

// The SQLSTATEs the driver reports. Each has its code and standard text in one table
// (kSqlstates); a record's message is that text followed by what the call adds.
enum class Sqlstate {
  StringTruncated,  // 01004
  OptionChanged,  // 01S02
  FractionalTruncation,  // 01S07
  InvalidDescriptorIndex,  // 07009
  CannotConnect,  // 08001
  ConnectionInUse,  // 08002
  ConnectionNotOpen,  // 08003
  IndicatorRequired,  // 22002
  OutOfRange,  // 22003
  InvalidCharacterValue,  // 22018
  InvalidCursorState,  // 24000
  InvalidCursorName,  // 34000
  SyntaxError,  // 42000
  TableNotFound,  // 42S02
  ColumnNotFound,  // 42S22
  GeneralError,  // HY000
  OutOfMemory,  // HY001
  InvalidProgramType,  // HY003
  NullPointer,  // HY009
  SequenceError,  // HY010
  InvalidAttributeValue,  // HY024
  InvalidLength,  // HY090
  InvalidDescriptorField,  // HY091
  InvalidAttribute,  // HY092
  InvalidInfoType,  // HY096
  FetchTypeOutOfRange,  // HY106
  NotImplemented,  // HYC00
};

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
  // Adds a record whose message is the state's standard text followed by `more`; returns
  // SQL_ERROR (error) or SQL_SUCCESS_WITH_INFO (warning, "01...").
  SQLRETURN add(Sqlstate state, const std::string& more = "");
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
