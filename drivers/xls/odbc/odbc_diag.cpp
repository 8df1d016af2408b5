// ODBC entry points: diagnostics (SQLGetDiagRec, SQLGetDiagField, and SQLError for ODBC 2
// clients), each as an ANSI (A) and a wide (W) entry over shared functions.
#include "handles.h"

#include <cstring>
#include <limits>

using namespace xlsodbc;

namespace {

Handle* any_handle(SQLSMALLINT type, SQLHANDLE h) {
  if (type != SQL_HANDLE_ENV && type != SQL_HANDLE_DBC && type != SQL_HANDLE_STMT) return nullptr;
  return lookup_handle(h, type);
}

// How the diagnostic entries hand out text: as the other entries do (AnsiText, WideText), but
// adding no records of their own; a cut text is told by SQL_SUCCESS_WITH_INFO alone.
struct QuietAnsi {
  using Char = SQLCHAR;
  template <typename Len>
  static SQLRETURN out(Handle* h, const std::string& utf8, SQLPOINTER buf, Len max, Len* len) {
    size_t full = 0;
    bool cut = copy_text(h->charset(), to_client(h, utf8), buf, max < 0 ? 0 : max,
                         static_cast<size_t>(std::numeric_limits<Len>::max()), full);
    if (len) *len = static_cast<Len>(full);
    return cut ? SQL_SUCCESS_WITH_INFO : SQL_SUCCESS;
  }
};

template <WideUnit Unit>
struct QuietWide {
  using Char = SQLWCHAR;
  template <typename Len>
  static SQLRETURN out(Handle*, const std::string& utf8, SQLPOINTER buf, Len max, Len* len) {
    SQLLEN full = 0;
    bool cut = copy_wide(utf8, buf, max < 0 ? 0 : max, Unit, static_cast<SQLLEN>(std::numeric_limits<Len>::max()), full);
    if (len) *len = static_cast<Len>(full);
    return cut ? SQL_SUCCESS_WITH_INFO : SQL_SUCCESS;
  }
};

// SQLGetDiagRec[W] and SQLError[W]: record `rec` of a handle.
template <typename Out>
SQLRETURN diag_rec(Handle* h, SQLSMALLINT rec, typename Out::Char* state, SQLINTEGER* native,
                   typename Out::Char* msg, SQLSMALLINT max, SQLSMALLINT* len) {
  if (rec <= 0 || max < 0) return SQL_ERROR;
  const auto& recs = h->diag.records();
  if (static_cast<size_t>(rec) > recs.size()) return SQL_NO_DATA;
  const DiagRecord& r = recs[rec - 1];
  if (state) {
    for (size_t i = 0; i < 5; ++i) state[i] = static_cast<typename Out::Char>(static_cast<unsigned char>(r.sqlstate[i]));
    state[5] = 0;
  }
  if (native) *native = r.native;
  return Out::out(h, r.message, msg, max, len);
}

// SQLGetDiagField[W]: numeric fields into `info`, text fields in the entry's form.
template <typename Out>
SQLRETURN diag_field(Handle* h, SQLSMALLINT type, SQLSMALLINT rec, SQLSMALLINT field, SQLPOINTER info,
                     SQLSMALLINT max, SQLSMALLINT* len) {
  auto text = [&](const std::string& utf8) { return Out::out(h, utf8, info, max, len); };
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
      return text("SELECT CURSOR");
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
    case SQL_DIAG_SQLSTATE: return text(r.sqlstate);
    case SQL_DIAG_MESSAGE_TEXT: return text(r.message);
    case SQL_DIAG_CLASS_ORIGIN:
    case SQL_DIAG_SUBCLASS_ORIGIN: return text(class_origin(r.sqlstate));
    case SQL_DIAG_CONNECTION_NAME: return text("");
    case SQL_DIAG_SERVER_NAME: return text("EXCEL");
    case SQL_DIAG_NATIVE:
      if (info) *static_cast<SQLINTEGER*>(info) = r.native;
      return SQL_SUCCESS;
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

// ODBC 2 SQLError[W]: the next record of the most specific handle given, once each.
template <typename Out>
SQLRETURN next_error(SQLHENV env, SQLHDBC dbc, SQLHSTMT stmt, typename Out::Char* state, SQLINTEGER* native,
                     typename Out::Char* msg, SQLSMALLINT max, SQLSMALLINT* len) {
  Handle* h = nullptr;
  if (stmt) h = lookup_handle(stmt, SQL_HANDLE_STMT);
  else if (dbc) h = lookup_handle(dbc, SQL_HANDLE_DBC);
  else if (env) h = lookup_handle(env, SQL_HANDLE_ENV);
  if (!h) return SQL_INVALID_HANDLE;
  size_t& next = h->diag.error_cursor();
  if (next >= h->diag.records().size()) {
    if (state) {
      for (size_t i = 0; i < 5; ++i) state[i] = '0';
      state[5] = 0;
    }
    return SQL_NO_DATA;
  }
  ++next;
  return diag_rec<Out>(h, static_cast<SQLSMALLINT>(next), state, native, msg, max, len);
}

}  // namespace

extern "C" {

SQLRETURN SQL_API SQLGetDiagRec(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT rec, SQLCHAR* state,
                                SQLINTEGER* native, SQLCHAR* msg, SQLSMALLINT max, SQLSMALLINT* len) {
  Handle* h = any_handle(type, handle);
  return h ? diag_rec<QuietAnsi>(h, rec, state, native, msg, max, len) : SQL_INVALID_HANDLE;
}

SQLRETURN SQL_API SQLGetDiagRecW(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT rec, SQLWCHAR* state,
                                 SQLINTEGER* native, SQLWCHAR* msg, SQLSMALLINT max, SQLSMALLINT* len) {
  Handle* h = any_handle(type, handle);
  return h ? diag_rec<QuietWide<WideUnit::Chars>>(h, rec, state, native, msg, max, len) : SQL_INVALID_HANDLE;
}

SQLRETURN SQL_API SQLGetDiagField(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT rec, SQLSMALLINT field,
                                  SQLPOINTER info, SQLSMALLINT max, SQLSMALLINT* len) {
  Handle* h = any_handle(type, handle);
  return h ? diag_field<QuietAnsi>(h, type, rec, field, info, max, len) : SQL_INVALID_HANDLE;
}

SQLRETURN SQL_API SQLGetDiagFieldW(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT rec, SQLSMALLINT field,
                                   SQLPOINTER info, SQLSMALLINT max, SQLSMALLINT* len) {
  Handle* h = any_handle(type, handle);
  return h ? diag_field<QuietWide<WideUnit::Bytes>>(h, type, rec, field, info, max, len) : SQL_INVALID_HANDLE;
}

SQLRETURN SQL_API SQLError(SQLHENV env, SQLHDBC dbc, SQLHSTMT stmt, SQLCHAR* state, SQLINTEGER* native,
                           SQLCHAR* msg, SQLSMALLINT max, SQLSMALLINT* len) {
  return next_error<QuietAnsi>(env, dbc, stmt, state, native, msg, max, len);
}

SQLRETURN SQL_API SQLErrorW(SQLHENV env, SQLHDBC dbc, SQLHSTMT stmt, SQLWCHAR* state, SQLINTEGER* native,
                            SQLWCHAR* msg, SQLSMALLINT max, SQLSMALLINT* len) {
  return next_error<QuietWide<WideUnit::Chars>>(env, dbc, stmt, state, native, msg, max, len);
}

}  // extern "C"
