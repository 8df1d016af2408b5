#include "diagnostics.h"

namespace xlsodbc {

const char kMessagePrefix[] = "[SheetMover][Excel Driver]";

namespace {

struct SqlstateText {
  const char* code;
  const char* text;  // empty where the call says it all
};

// In the order of Sqlstate.
const SqlstateText kSqlstates[] = {
    {"01004", "string data, right truncated"},
    {"01S02", "option value changed"},
    {"01S07", "fractional truncation"},
    {"07009", "invalid descriptor index"},
    {"08001", ""},
    {"08002", "the connection is already open"},
    {"08003", "connection not open"},
    {"22002", "indicator variable required but not supplied"},
    {"22003", "numeric value out of range"},
    {"22018", ""},
    {"24000", "invalid cursor state"},
    {"34000", "invalid cursor name"},
    {"42000", ""},
    {"42S02", ""},
    {"42S22", ""},
    {"HY000", ""},
    {"HY001", "not enough memory"},
    {"HY003", ""},
    {"HY009", "invalid use of null pointer"},
    {"HY010", "function sequence error"},
    {"HY024", ""},
    {"HY090", "invalid string or buffer length"},
    {"HY091", "invalid descriptor field identifier"},
    {"HY092", ""},
    {"HY096", ""},
    {"HY106", "fetch type out of range"},
    {"HYC00", ""},
};

}  // namespace

SQLRETURN Diagnostics::add(Sqlstate state, const std::string& more) {
  const SqlstateText& s = kSqlstates[static_cast<size_t>(state)];
  DiagRecord r;
  r.sqlstate = s.code;
  r.message = std::string(kMessagePrefix) + s.text + more;
  const bool warning = r.sqlstate.compare(0, 2, "01") == 0;
  records_.push_back(std::move(r));
  return warning ? SQL_SUCCESS_WITH_INFO : SQL_ERROR;
}

const char* class_origin(const std::string& s) {
  if (s.size() < 5) return "ODBC 3.0";
  if (s.compare(0, 2, "IM") == 0 || s.compare(0, 2, "HY") == 0) return "ODBC 3.0";
  if (s[2] == 'S') return "ODBC 3.0";  // 01S00, 42S02, ...
  return "ISO 9075";
}

}  // namespace xlsodbc
