#include "diagnostics.h"

namespace xlsodbc {

const char kMessagePrefix[] = "[SheetMover][Excel Driver]";

SQLRETURN Diagnostics::error(const std::string& sqlstate, const std::string& text, SQLINTEGER native) {
  DiagRecord r;
  r.sqlstate = sqlstate;
  r.native = native;
  r.message = std::string(kMessagePrefix) + text;
  records_.push_back(r);
  return sqlstate.compare(0, 2, "01") == 0 ? SQL_SUCCESS_WITH_INFO : SQL_ERROR;
}

const char* class_origin(const std::string& s) {
  if (s.size() < 5) return "ODBC 3.0";
  if (s.compare(0, 2, "IM") == 0 || s.compare(0, 2, "HY") == 0) return "ODBC 3.0";
  if (s[2] == 'S') return "ODBC 3.0";  // 01S00, 42S02, ...
  return "ISO 9075";
}

}  // namespace xlsodbc
