// ODBC entry points: diagnostics (SQLGetDiagRec, SQLGetDiagField, and SQLError for ODBC 2
// clients).
#include "handles.h"

#include <cstring>

using namespace xlsodbc;

namespace {

Handle* any_handle(SQLSMALLINT type, SQLHANDLE h) {
  if (type != SQL_HANDLE_ENV && type != SQL_HANDLE_DBC && type != SQL_HANDLE_STMT) return nullptr;
  return lookup_handle(h, type);
}

// Writes a message/state into a buffer of `max` bytes; SQL_SUCCESS_WITH_INFO when cut.
template <typename Len>
SQLRETURN copy_text(Handle* h, const std::string& text, SQLCHAR* buf, Len max, Len* len) {
  if (len) *len = static_cast<Len>(text.size());
  if (!buf || max <= 0) return text.empty() ? SQL_SUCCESS : SQL_SUCCESS_WITH_INFO;
  size_t room = static_cast<size_t>(max) - 1;
  size_t n = text.size() <= room ? text.size() : room;
  if (n < text.size()) {
    ClientCharset* cs = h->charset();
    if (cs) n = cs->whole_chars_prefix(text.data(), text.size(), room);
  }
  std::memcpy(buf, text.data(), n);
  buf[n] = '\0';
  return n < text.size() ? SQL_SUCCESS_WITH_INFO : SQL_SUCCESS;
}

SQLRETURN diag_rec(Handle* h, SQLSMALLINT rec, SQLCHAR* state, SQLINTEGER* native, SQLCHAR* msg, SQLSMALLINT max,
                   SQLSMALLINT* len) {
  if (rec <= 0) return SQL_ERROR;
  if (max < 0) return SQL_ERROR;
  const auto& recs = h->diag.records();
  if (static_cast<size_t>(rec) > recs.size()) return SQL_NO_DATA;
  const DiagRecord& r = recs[rec - 1];
  if (state) {
    std::memcpy(state, r.sqlstate.c_str(), 5);
    state[5] = '\0';
  }
  if (native) *native = r.native;
  return copy_text(h, to_client(h, r.message), msg, max, len);
}

}  // namespace

extern "C" {

SQLRETURN SQL_API SQLGetDiagRec(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT rec, SQLCHAR* state,
                                SQLINTEGER* native, SQLCHAR* msg, SQLSMALLINT max, SQLSMALLINT* len) {
  Handle* h = any_handle(type, handle);
  if (!h) return SQL_INVALID_HANDLE;
  return diag_rec(h, rec, state, native, msg, max, len);
}

SQLRETURN SQL_API SQLGetDiagField(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT rec, SQLSMALLINT field,
                                  SQLPOINTER info, SQLSMALLINT max, SQLSMALLINT* len) {
  Handle* h = any_handle(type, handle);
  if (!h) return SQL_INVALID_HANDLE;
  const auto& recs = h->diag.records();
  // Header fields.
  switch (field) {
    case SQL_DIAG_NUMBER:
      if (info) *static_cast<SQLINTEGER*>(info) = static_cast<SQLINTEGER>(recs.size());
      return SQL_SUCCESS;
    case SQL_DIAG_RETURNCODE:
      if (info) *static_cast<SQLRETURN*>(info) = h->diag.return_code();
      return SQL_SUCCESS;
    case SQL_DIAG_CURSOR_ROW_COUNT:
    case SQL_DIAG_ROW_COUNT:
      if (type != SQL_HANDLE_STMT) return SQL_ERROR;
      if (info) *static_cast<SQLLEN*>(info) = 0;
      return SQL_SUCCESS;
    case SQL_DIAG_DYNAMIC_FUNCTION:
      if (type != SQL_HANDLE_STMT) return SQL_ERROR;
      return copy_text(h, std::string("SELECT CURSOR"), static_cast<SQLCHAR*>(info), max, len);
    case SQL_DIAG_DYNAMIC_FUNCTION_CODE:
      if (type != SQL_HANDLE_STMT) return SQL_ERROR;
      if (info) *static_cast<SQLINTEGER*>(info) = SQL_DIAG_SELECT_CURSOR;
      return SQL_SUCCESS;
    default:
      break;
  }
  if (rec <= 0) return SQL_ERROR;
  if (static_cast<size_t>(rec) > recs.size()) return SQL_NO_DATA;
  const DiagRecord& r = recs[rec - 1];
  switch (field) {
    case SQL_DIAG_SQLSTATE:
      return copy_text(h, r.sqlstate, static_cast<SQLCHAR*>(info), max, len);
    case SQL_DIAG_MESSAGE_TEXT:
      return copy_text(h, to_client(h, r.message), static_cast<SQLCHAR*>(info), max, len);
    case SQL_DIAG_NATIVE:
      if (info) *static_cast<SQLINTEGER*>(info) = r.native;
      return SQL_SUCCESS;
    case SQL_DIAG_CLASS_ORIGIN:
      return copy_text(h, std::string(class_origin(r.sqlstate)), static_cast<SQLCHAR*>(info), max, len);
    case SQL_DIAG_SUBCLASS_ORIGIN:
      return copy_text(h, std::string(class_origin(r.sqlstate)), static_cast<SQLCHAR*>(info), max, len);
    case SQL_DIAG_CONNECTION_NAME:
    case SQL_DIAG_SERVER_NAME:
      return copy_text(h, std::string(field == SQL_DIAG_SERVER_NAME ? "EXCEL" : ""), static_cast<SQLCHAR*>(info), max, len);
    case SQL_DIAG_ROW_NUMBER:
      if (info) *static_cast<SQLLEN*>(info) = r.row;
      return SQL_SUCCESS;
    case SQL_DIAG_COLUMN_NUMBER:
      if (info) *static_cast<SQLINTEGER*>(info) = r.column;
      return SQL_SUCCESS;
    default:
      return SQL_ERROR;
  }
}

// ODBC 2: returns the next record of the most specific handle given, once each.
SQLRETURN SQL_API SQLError(SQLHENV env, SQLHDBC dbc, SQLHSTMT stmt, SQLCHAR* state, SQLINTEGER* native,
                           SQLCHAR* msg, SQLSMALLINT max, SQLSMALLINT* len) {
  Handle* h = nullptr;
  if (stmt) h = lookup_handle(stmt, SQL_HANDLE_STMT);
  else if (dbc) h = lookup_handle(dbc, SQL_HANDLE_DBC);
  else if (env) h = lookup_handle(env, SQL_HANDLE_ENV);
  if (!h) return SQL_INVALID_HANDLE;
  size_t& next = h->diag.error_cursor();
  if (next >= h->diag.records().size()) {
    if (state) std::memcpy(state, "00000", 6);
    return SQL_NO_DATA;
  }
  ++next;
  return diag_rec(h, static_cast<SQLSMALLINT>(next), state, native, msg, max, len);
}

}  // extern "C"
