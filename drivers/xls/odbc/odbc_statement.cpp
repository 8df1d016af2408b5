// ODBC entry points: executing statements, describing results, fetching rows and values. The
// ANSI (A) and wide (W) entries share the functions of the unnamed namespace, which take and
// give UTF-8; SQL_C_WCHAR values are converted in deliver_value.
#include "statement.h"

#include <cstring>

using namespace xlsodbc;

namespace {

Stmt* stmt_of(SQLHSTMT h) { return as<Stmt>(h, SQL_HANDLE_STMT); }

// SQLPrepare[W], SQLExecDirect[W]: the statement text, converted once, parsed and resolved.
template <typename Text>
SQLRETURN prepare_text(Stmt* st, typename Text::Char* text, SQLINTEGER len) {
  if (!text) return st->diag.add(Sqlstate::NullPointer, " (no statement text)");
  if (len < 0 && len != SQL_NTS) return st->diag.add(Sqlstate::InvalidLength);
  if (st->cursor_open) return st->diag.add(Sqlstate::InvalidCursorState, ": a result is still open; close it first");
  std::string sql;
  if (!Text::in(st, text, len, sql))
    return st->diag.add(Sqlstate::SyntaxError, "the statement is not valid " + st->dbc->client.name() + " text");
  return prepare_statement(st, sql);
}

template <typename Text>
SQLRETURN exec_direct(Stmt* st, typename Text::Char* text, SQLINTEGER len) {
  SQLRETURN rc = prepare_text<Text>(st, text, len);
  if (!SQL_SUCCEEDED(rc)) return rc;
  return execute_statement(st);
}

SQLRETURN check_column(Stmt* st, SQLUSMALLINT col) {
  if (!st->result || st->state == Stmt::Allocated)
    return st->diag.add(Sqlstate::SequenceError, ": no statement has been prepared or executed");
  if (col == 0) return st->diag.add(Sqlstate::InvalidDescriptorIndex, " 0: bookmarks are not supported");
  if (col > st->result->columns().size())
    return st->diag.add(Sqlstate::InvalidDescriptorIndex, " " + std::to_string(col) + ": the result has " +
                                       std::to_string(st->result->columns().size()) + " columns");
  return SQL_SUCCESS;
}

template <typename Text>
SQLRETURN describe_col(Stmt* st, SQLUSMALLINT col, typename Text::Char* name, SQLSMALLINT name_max,
                       SQLSMALLINT* name_len, SQLSMALLINT* type, SQLULEN* size, SQLSMALLINT* digits,
                       SQLSMALLINT* nullable) {
  SQLRETURN rc = check_column(st, col);
  if (rc != SQL_SUCCESS) return rc;
  const ColumnInfo& c = st->result->columns()[col - 1];
  if (type) *type = c.sql_type;
  if (size) *size = c.size;
  if (digits) *digits = c.decimal_digits;
  if (nullable) *nullable = c.nullable;
  if (name_max < 0) return st->diag.add(Sqlstate::InvalidLength);
  Text::out(st, c.name, name, name_max, name_len);
  return st->diag.success();
}

// SQLColAttribute[W]: numeric fields into `number`, text fields into `text`.
template <typename Text>
SQLRETURN col_attribute(Stmt* st, SQLUSMALLINT col, SQLUSMALLINT field, SQLPOINTER text, SQLSMALLINT text_max,
                        SQLSMALLINT* text_len, SQLLEN* number) {
  if (field == SQL_DESC_COUNT || field == SQL_COLUMN_COUNT) {
    if (st->state == Stmt::Allocated) return st->diag.add(Sqlstate::SequenceError, ": no statement has been prepared or executed");
    if (number) *number = st->result ? static_cast<SQLLEN>(st->result->columns().size()) : 0;
    return SQL_SUCCESS;
  }
  SQLRETURN rc = check_column(st, col);
  if (rc != SQL_SUCCESS) return rc;
  const ColumnInfo& c = st->result->columns()[col - 1];
  const bool is_char = c.sql_type == SQL_VARCHAR || c.sql_type == SQL_CHAR;
  auto str = [&](const std::string& utf8) {
    Text::out(st, utf8, text, text_max, text_len);
    return st->diag.success();
  };
  auto num = [&](SQLLEN v) {
    if (number) *number = v;
    return SQL_SUCCESS;
  };
  switch (field) {
    case SQL_DESC_NAME: case SQL_COLUMN_NAME: case SQL_DESC_LABEL: case SQL_DESC_BASE_COLUMN_NAME:
      return str(c.name);
    case SQL_DESC_TABLE_NAME: case SQL_DESC_BASE_TABLE_NAME:
      return str(c.table);
    case SQL_DESC_CATALOG_NAME: case SQL_DESC_SCHEMA_NAME: case SQL_DESC_LITERAL_SUFFIX:
      return str("");
    case SQL_DESC_LITERAL_PREFIX:
      return str(is_char ? "'" : "");
    case SQL_DESC_TYPE_NAME: case SQL_DESC_LOCAL_TYPE_NAME:
      return str(c.sql_type == SQL_VARCHAR ? "VARCHAR" : c.sql_type == SQL_SMALLINT ? "SMALLINT" : "INTEGER");
    case SQL_DESC_TYPE: case SQL_DESC_CONCISE_TYPE:
      return num(c.sql_type);
    case SQL_DESC_LENGTH: case SQL_COLUMN_LENGTH: case SQL_DESC_OCTET_LENGTH:
      return num(static_cast<SQLLEN>(is_char ? c.size * (field == SQL_DESC_OCTET_LENGTH ? bytes_per_char(st->dbc) : 1) : c.size));
    case SQL_DESC_PRECISION: case SQL_COLUMN_PRECISION:
      return num(static_cast<SQLLEN>(c.size));
    case SQL_DESC_DISPLAY_SIZE:
      return num(static_cast<SQLLEN>(c.size));
    case SQL_DESC_SCALE: case SQL_COLUMN_SCALE:
      return num(c.decimal_digits);
    case SQL_DESC_NULLABLE: case SQL_COLUMN_NULLABLE:
      return num(c.nullable);
    case SQL_DESC_UNSIGNED:
      return num(is_char ? SQL_TRUE : SQL_FALSE);
    case SQL_DESC_UPDATABLE:
      return num(SQL_ATTR_READONLY);
    case SQL_DESC_SEARCHABLE:
      return num(SQL_PRED_NONE);
    case SQL_DESC_CASE_SENSITIVE:
      return num(SQL_FALSE);
    case SQL_DESC_AUTO_UNIQUE_VALUE: case SQL_DESC_FIXED_PREC_SCALE:
      return num(SQL_FALSE);
    case SQL_DESC_UNNAMED:
      return num(SQL_NAMED);
    case SQL_DESC_NUM_PREC_RADIX:
      return num(is_char ? 0 : 10);
    default:
      return st->diag.add(Sqlstate::InvalidDescriptorField, " " + std::to_string(field));
  }
}

template <typename Text>
SQLRETURN get_cursor_name(Stmt* st, typename Text::Char* name, SQLSMALLINT max, SQLSMALLINT* len) {
  if (st->cursor_name.empty()) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "SQL_CUR%p", static_cast<void*>(st));
    st->cursor_name = buf;
  }
  Text::out(st, st->cursor_name, name, max, len);
  return st->diag.success();
}

template <typename Text>
SQLRETURN set_cursor_name(Stmt* st, typename Text::Char* name, SQLSMALLINT len) {
  if (!name) return st->diag.add(Sqlstate::NullPointer);
  std::string utf8;
  if (!Text::in(st, name, len, utf8))
    return st->diag.add(Sqlstate::InvalidCursorName, ": not valid " + st->dbc->client.name() + " text");
  st->cursor_name = utf8;
  return SQL_SUCCESS;
}

template <typename Text>
SQLRETURN native_sql(Dbc* dbc, typename Text::Char* in, SQLINTEGER in_len, typename Text::Char* out,
                     SQLINTEGER out_max, SQLINTEGER* out_len) {
  if (!in) return dbc->diag.add(Sqlstate::NullPointer);
  std::string text;
  if (!Text::in(dbc, in, in_len, text))
    return dbc->diag.add(Sqlstate::SyntaxError, "the statement is not valid " + dbc->client.name() + " text");
  Text::out(dbc, text, out, out_max, out_len);
  return dbc->diag.success();
}

// Moves the cursor (SQLFetch, SQLFetchScroll, SQLExtendedFetch) and fills bound columns.
SQLRETURN fetch(Stmt* st, SQLSMALLINT orientation, SQLLEN offset) {
  if (!st->result || !st->cursor_open)
    return st->diag.add(Sqlstate::InvalidCursorState, ": there is no open result to fetch from");
  if (orientation != SQL_FETCH_NEXT && st->cursor_type == SQL_CURSOR_FORWARD_ONLY)
    return st->diag.add(Sqlstate::FetchTypeOutOfRange, ": the cursor is forward-only (SQL_FETCH_NEXT only)");
  long n = static_cast<long>(st->result->row_count());
  if (st->max_rows > 0 && n > static_cast<long>(st->max_rows)) n = static_cast<long>(st->max_rows);
  long pos = st->position, target;
  switch (orientation) {
    case SQL_FETCH_NEXT: target = pos + 1; break;
    case SQL_FETCH_PRIOR: target = pos - 1; break;
    case SQL_FETCH_FIRST: target = 0; break;
    case SQL_FETCH_LAST: target = n - 1; break;
    case SQL_FETCH_ABSOLUTE: target = offset > 0 ? offset - 1 : offset < 0 ? n + offset : -1; break;
    case SQL_FETCH_RELATIVE: target = pos < 0 ? offset - 1 : pos + offset; break;
    default:
      return st->diag.add(Sqlstate::FetchTypeOutOfRange, ": " + std::to_string(orientation) + " is not supported");
  }
  st->pending = PendingValue();
  if (target < 0 || target >= n) {
    st->position = target < 0 ? -1 : n;
    st->on_row = false;
    if (st->rows_fetched_ptr) *st->rows_fetched_ptr = 0;
    return SQL_NO_DATA;
  }
  st->position = target;
  st->row = static_cast<size_t>(target);
  st->on_row = true;
  if (st->rows_fetched_ptr) *st->rows_fetched_ptr = 1;
  SQLRETURN rc = SQL_SUCCESS;
  SQLLEN bind_offset = st->bind_offset_ptr ? *st->bind_offset_ptr : 0;
  for (size_t i = 0; i < st->bindings.size() && i < st->result->columns().size(); ++i) {
    const Binding& b = st->bindings[i];
    if (!b.target && !b.indicator) continue;
    PendingValue tmp;
    char* out = b.target ? static_cast<char*>(b.target) + bind_offset : nullptr;
    SQLLEN* ind = b.indicator ? reinterpret_cast<SQLLEN*>(reinterpret_cast<char*>(b.indicator) + bind_offset) : nullptr;
    SQLRETURN r = deliver_value(st, tmp, i, b.c_type, out, b.length, ind);
    if (r == SQL_ERROR) rc = SQL_ERROR;
    else if (r == SQL_SUCCESS_WITH_INFO && rc == SQL_SUCCESS) rc = SQL_SUCCESS_WITH_INFO;
  }
  if (st->row_status_ptr)
    st->row_status_ptr[0] = rc == SQL_ERROR ? SQL_ROW_ERROR : rc == SQL_SUCCESS_WITH_INFO ? SQL_ROW_SUCCESS_WITH_INFO : SQL_ROW_SUCCESS;
  return rc;
}

// Statement attributes have no text values: the A and W entries share these whole.
SQLRETURN set_stmt_attr(Stmt* st, SQLINTEGER attr, SQLPOINTER value) {
  SQLULEN v = reinterpret_cast<SQLULEN>(value);
  auto changed = [&](const char* what) { return st->diag.add(Sqlstate::OptionChanged, std::string(": ") + what); };
  switch (attr) {
    case SQL_ATTR_MAX_ROWS: st->max_rows = v; return SQL_SUCCESS;
    case SQL_ATTR_QUERY_TIMEOUT: st->query_timeout = v; return SQL_SUCCESS;
    case SQL_ATTR_MAX_LENGTH: st->max_length = v; return SQL_SUCCESS;
    case SQL_ATTR_NOSCAN: st->noscan = v; return SQL_SUCCESS;
    case SQL_ATTR_RETRIEVE_DATA: st->retrieve_data = v; return SQL_SUCCESS;
    case SQL_ATTR_ROW_BIND_TYPE: st->row_bind_type = v; return SQL_SUCCESS;
    case SQL_ATTR_ROWS_FETCHED_PTR: st->rows_fetched_ptr = static_cast<SQLULEN*>(value); return SQL_SUCCESS;
    case SQL_ATTR_ROW_STATUS_PTR: st->row_status_ptr = static_cast<SQLUSMALLINT*>(value); return SQL_SUCCESS;
    case SQL_ATTR_ROW_BIND_OFFSET_PTR: st->bind_offset_ptr = static_cast<SQLLEN*>(value); return SQL_SUCCESS;
    case SQL_ATTR_USE_BOOKMARKS:
      if (v != SQL_UB_OFF) return changed("bookmarks are not supported");
      return SQL_SUCCESS;
    case SQL_ATTR_ROW_ARRAY_SIZE: case SQL_ROWSET_SIZE:
      if (v != 1) return changed("one row is fetched at a time (row array size 1)");
      return SQL_SUCCESS;
    case SQL_ATTR_CURSOR_TYPE:
      if (v == SQL_CURSOR_FORWARD_ONLY || v == SQL_CURSOR_STATIC) {
        st->cursor_type = v;
        return SQL_SUCCESS;
      }
      st->cursor_type = SQL_CURSOR_STATIC;
      return changed("keyset-driven and dynamic cursors become static");
    case SQL_ATTR_CONCURRENCY:
      if (v != SQL_CONCUR_READ_ONLY) return changed("the cursor is read-only");
      return SQL_SUCCESS;
    case SQL_ATTR_CURSOR_SCROLLABLE:
      st->cursor_type = v == SQL_NONSCROLLABLE ? SQL_CURSOR_FORWARD_ONLY : SQL_CURSOR_STATIC;
      return SQL_SUCCESS;
    case SQL_ATTR_CURSOR_SENSITIVITY:
      if (v != SQL_UNSPECIFIED && v != SQL_INSENSITIVE) return changed("the cursor is insensitive");
      return SQL_SUCCESS;
    case SQL_ATTR_ASYNC_ENABLE:
      if (v != SQL_ASYNC_ENABLE_OFF) return changed("statements run synchronously");
      return SQL_SUCCESS;
    case SQL_ATTR_KEYSET_SIZE: case SQL_ATTR_SIMULATE_CURSOR: case SQL_ATTR_METADATA_ID:
    case SQL_ATTR_ENABLE_AUTO_IPD: case SQL_ATTR_PARAM_BIND_TYPE: case SQL_ATTR_PARAMSET_SIZE:
    case SQL_ATTR_PARAMS_PROCESSED_PTR: case SQL_ATTR_PARAM_STATUS_PTR: case SQL_ATTR_PARAM_OPERATION_PTR:
    case SQL_ATTR_PARAM_BIND_OFFSET_PTR: case SQL_ATTR_ROW_OPERATION_PTR: case SQL_ATTR_FETCH_BOOKMARK_PTR:
      return SQL_SUCCESS;
    default:
      return st->diag.add(Sqlstate::InvalidAttribute, "statement attribute " + std::to_string(attr) + " is not supported");
  }
}

SQLRETURN get_stmt_attr(Stmt* st, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER* len) {
  SQLULEN v;
  switch (attr) {
    case SQL_ATTR_MAX_ROWS: v = st->max_rows; break;
    case SQL_ATTR_QUERY_TIMEOUT: v = st->query_timeout; break;
    case SQL_ATTR_MAX_LENGTH: v = st->max_length; break;
    case SQL_ATTR_NOSCAN: v = st->noscan; break;
    case SQL_ATTR_RETRIEVE_DATA: v = st->retrieve_data; break;
    case SQL_ATTR_ROW_BIND_TYPE: v = st->row_bind_type; break;
    case SQL_ATTR_ROW_ARRAY_SIZE: case SQL_ROWSET_SIZE: case SQL_ATTR_KEYSET_SIZE: case SQL_ATTR_PARAMSET_SIZE:
      v = attr == SQL_ATTR_KEYSET_SIZE ? 0 : 1; break;
    case SQL_ATTR_USE_BOOKMARKS: v = SQL_UB_OFF; break;
    case SQL_ATTR_CURSOR_TYPE: v = st->cursor_type; break;
    case SQL_ATTR_CONCURRENCY: v = SQL_CONCUR_READ_ONLY; break;
    case SQL_ATTR_CURSOR_SCROLLABLE: v = st->cursor_type == SQL_CURSOR_FORWARD_ONLY ? SQL_NONSCROLLABLE : SQL_SCROLLABLE; break;
    case SQL_ATTR_CURSOR_SENSITIVITY: v = SQL_INSENSITIVE; break;
    case SQL_ATTR_ASYNC_ENABLE: v = SQL_ASYNC_ENABLE_OFF; break;
    case SQL_ATTR_SIMULATE_CURSOR: v = SQL_SC_UNIQUE; break;
    case SQL_ATTR_METADATA_ID: case SQL_ATTR_ENABLE_AUTO_IPD: v = SQL_FALSE; break;
    case SQL_ATTR_ROW_NUMBER: v = st->on_row ? st->row + 1 : 0; break;
    case SQL_ATTR_ROWS_FETCHED_PTR:
      if (value) *static_cast<SQLULEN**>(value) = st->rows_fetched_ptr;
      if (len) *len = sizeof(SQLPOINTER);
      return SQL_SUCCESS;
    case SQL_ATTR_ROW_STATUS_PTR:
      if (value) *static_cast<SQLUSMALLINT**>(value) = st->row_status_ptr;
      if (len) *len = sizeof(SQLPOINTER);
      return SQL_SUCCESS;
    case SQL_ATTR_ROW_BIND_OFFSET_PTR:
      if (value) *static_cast<SQLLEN**>(value) = st->bind_offset_ptr;
      if (len) *len = sizeof(SQLPOINTER);
      return SQL_SUCCESS;
    case SQL_ATTR_APP_ROW_DESC: case SQL_ATTR_APP_PARAM_DESC: case SQL_ATTR_IMP_ROW_DESC: case SQL_ATTR_IMP_PARAM_DESC:
      return st->diag.add(Sqlstate::NotImplemented, "descriptor handles are not supported");
    default:
      return st->diag.add(Sqlstate::InvalidAttribute, "statement attribute " + std::to_string(attr) + " is not supported");
  }
  if (value) *static_cast<SQLULEN*>(value) = v;
  if (len) *len = sizeof(SQLULEN);
  return SQL_SUCCESS;
}

}  // namespace

extern "C" {

SQLRETURN SQL_API SQLPrepare(SQLHSTMT handle, SQLCHAR* text, SQLINTEGER len) {
  return on_stmt(handle, [&](Stmt* st) { return prepare_text<AnsiText>(st, text, len); });
}

SQLRETURN SQL_API SQLPrepareW(SQLHSTMT handle, SQLWCHAR* text, SQLINTEGER len) {
  return on_stmt(handle, [&](Stmt* st) { return prepare_text<WideChars>(st, text, len); });
}

SQLRETURN SQL_API SQLExecute(SQLHSTMT handle) {
  Stmt* st = stmt_of(handle);
  if (!st) return SQL_INVALID_HANDLE;
  return guarded(st, [&]() -> SQLRETURN {
    if (st->state == Stmt::Allocated || !st->result)
      return st->diag.add(Sqlstate::SequenceError, ": no statement has been prepared");
    if (st->cursor_open) return st->diag.add(Sqlstate::InvalidCursorState, ": a result is still open; close it first");
    return execute_statement(st);
  });
}

SQLRETURN SQL_API SQLExecDirect(SQLHSTMT handle, SQLCHAR* text, SQLINTEGER len) {
  return on_stmt(handle, [&](Stmt* st) { return exec_direct<AnsiText>(st, text, len); });
}

SQLRETURN SQL_API SQLExecDirectW(SQLHSTMT handle, SQLWCHAR* text, SQLINTEGER len) {
  return on_stmt(handle, [&](Stmt* st) { return exec_direct<WideChars>(st, text, len); });
}

SQLRETURN SQL_API SQLNumResultCols(SQLHSTMT handle, SQLSMALLINT* count) {
  Stmt* st = stmt_of(handle);
  if (!st) return SQL_INVALID_HANDLE;
  return guarded(st, [&]() -> SQLRETURN {
    if (st->state == Stmt::Allocated)
      return st->diag.add(Sqlstate::SequenceError, ": no statement has been prepared or executed");
    if (count) *count = st->result ? static_cast<SQLSMALLINT>(st->result->columns().size()) : 0;
    return SQL_SUCCESS;
  });
}

SQLRETURN SQL_API SQLDescribeCol(SQLHSTMT handle, SQLUSMALLINT col, SQLCHAR* name, SQLSMALLINT name_max,
                                 SQLSMALLINT* name_len, SQLSMALLINT* type, SQLULEN* size, SQLSMALLINT* digits,
                                 SQLSMALLINT* nullable) {
  return on_stmt(handle, [&](Stmt* st) {
    return describe_col<AnsiText>(st, col, name, name_max, name_len, type, size, digits, nullable);
  });
}

SQLRETURN SQL_API SQLDescribeColW(SQLHSTMT handle, SQLUSMALLINT col, SQLWCHAR* name, SQLSMALLINT name_max,
                                  SQLSMALLINT* name_len, SQLSMALLINT* type, SQLULEN* size, SQLSMALLINT* digits,
                                  SQLSMALLINT* nullable) {
  return on_stmt(handle, [&](Stmt* st) {
    return describe_col<WideChars>(st, col, name, name_max, name_len, type, size, digits, nullable);
  });
}

SQLRETURN SQL_API SQLColAttribute(SQLHSTMT handle, SQLUSMALLINT col, SQLUSMALLINT field, SQLPOINTER text,
                                  SQLSMALLINT text_max, SQLSMALLINT* text_len, SQLLEN* number) {
  return on_stmt(handle, [&](Stmt* st) { return col_attribute<AnsiText>(st, col, field, text, text_max, text_len, number); });
}

SQLRETURN SQL_API SQLColAttributeW(SQLHSTMT handle, SQLUSMALLINT col, SQLUSMALLINT field, SQLPOINTER text,
                                   SQLSMALLINT text_max, SQLSMALLINT* text_len, SQLLEN* number) {
  return on_stmt(handle, [&](Stmt* st) { return col_attribute<WideBytes>(st, col, field, text, text_max, text_len, number); });
}

SQLRETURN SQL_API SQLColAttributes(SQLHSTMT handle, SQLUSMALLINT col, SQLUSMALLINT field, SQLPOINTER text,
                                   SQLSMALLINT text_max, SQLSMALLINT* text_len, SQLLEN* number) {
  return SQLColAttribute(handle, col, field, text, text_max, text_len, number);
}

SQLRETURN SQL_API SQLColAttributesW(SQLHSTMT handle, SQLUSMALLINT col, SQLUSMALLINT field, SQLPOINTER text,
                                    SQLSMALLINT text_max, SQLSMALLINT* text_len, SQLLEN* number) {
  return SQLColAttributeW(handle, col, field, text, text_max, text_len, number);
}

SQLRETURN SQL_API SQLRowCount(SQLHSTMT handle, SQLLEN* count) {
  Stmt* st = stmt_of(handle);
  if (!st) return SQL_INVALID_HANDLE;
  return guarded(st, [&]() -> SQLRETURN {
    if (st->state != Stmt::Executed) return st->diag.add(Sqlstate::SequenceError, ": no statement has been executed");
    if (count) *count = st->result ? static_cast<SQLLEN>(st->result->row_count()) : -1;
    return SQL_SUCCESS;
  });
}

SQLRETURN SQL_API SQLMoreResults(SQLHSTMT handle) {
  Stmt* st = stmt_of(handle);
  if (!st) return SQL_INVALID_HANDLE;
  return guarded(st, [&]() -> SQLRETURN {
    st->close_cursor();
    return SQL_NO_DATA;
  });
}

SQLRETURN SQL_API SQLCloseCursor(SQLHSTMT handle) {
  Stmt* st = stmt_of(handle);
  if (!st) return SQL_INVALID_HANDLE;
  return guarded(st, [&]() -> SQLRETURN {
    if (!st->cursor_open) return st->diag.add(Sqlstate::InvalidCursorState, ": no cursor is open");
    st->close_cursor();
    return SQL_SUCCESS;
  });
}

SQLRETURN SQL_API SQLCancel(SQLHSTMT handle) {
  Stmt* st = stmt_of(handle);
  if (!st) return SQL_INVALID_HANDLE;
  return guarded(st, [&] { return SQL_SUCCESS; });  // nothing runs asynchronously
}

SQLRETURN SQL_API SQLBindCol(SQLHSTMT handle, SQLUSMALLINT col, SQLSMALLINT c_type, SQLPOINTER target,
                             SQLLEN length, SQLLEN* ind) {
  Stmt* st = stmt_of(handle);
  if (!st) return SQL_INVALID_HANDLE;
  return guarded(st, [&]() -> SQLRETURN {
    if (col == 0) return st->diag.add(Sqlstate::InvalidDescriptorIndex, " 0: bookmarks are not supported");
    if (length < 0) return st->diag.add(Sqlstate::InvalidLength);
    if (st->bindings.size() < col) st->bindings.resize(col);
    Binding& b = st->bindings[col - 1];
    b.c_type = c_type;
    b.target = target;
    b.length = length;
    b.indicator = ind;
    while (!st->bindings.empty() && !st->bindings.back().target && !st->bindings.back().indicator) st->bindings.pop_back();
    return SQL_SUCCESS;
  });
}

SQLRETURN SQL_API SQLFetch(SQLHSTMT handle) {
  Stmt* st = stmt_of(handle);
  if (!st) return SQL_INVALID_HANDLE;
  return guarded(st, [&] { return fetch(st, SQL_FETCH_NEXT, 0); });
}

SQLRETURN SQL_API SQLFetchScroll(SQLHSTMT handle, SQLSMALLINT orientation, SQLLEN offset) {
  Stmt* st = stmt_of(handle);
  if (!st) return SQL_INVALID_HANDLE;
  return guarded(st, [&] { return fetch(st, orientation, offset); });
}

SQLRETURN SQL_API SQLExtendedFetch(SQLHSTMT handle, SQLUSMALLINT orientation, SQLLEN offset, SQLULEN* count,
                                   SQLUSMALLINT* status) {
  Stmt* st = stmt_of(handle);
  if (!st) return SQL_INVALID_HANDLE;
  return guarded(st, [&]() -> SQLRETURN {
    SQLULEN* saved_count = st->rows_fetched_ptr;
    SQLUSMALLINT* saved_status = st->row_status_ptr;
    st->rows_fetched_ptr = count;
    st->row_status_ptr = status;
    SQLRETURN rc = fetch(st, static_cast<SQLSMALLINT>(orientation), offset);
    st->rows_fetched_ptr = saved_count;
    st->row_status_ptr = saved_status;
    return rc;
  });
}

SQLRETURN SQL_API SQLGetData(SQLHSTMT handle, SQLUSMALLINT col, SQLSMALLINT c_type, SQLPOINTER target,
                             SQLLEN length, SQLLEN* ind) {
  Stmt* st = stmt_of(handle);
  if (!st) return SQL_INVALID_HANDLE;
  return guarded(st, [&]() -> SQLRETURN {
    if (!st->cursor_open || !st->on_row)
      return st->diag.add(Sqlstate::InvalidCursorState, ": no row has been fetched");
    SQLRETURN rc = check_column(st, col);
    if (rc != SQL_SUCCESS) return rc;
    return deliver_value(st, st->pending, col - 1u, c_type, target, length, ind);
  });
}

SQLRETURN SQL_API SQLNumParams(SQLHSTMT handle, SQLSMALLINT* count) {
  Stmt* st = stmt_of(handle);
  if (!st) return SQL_INVALID_HANDLE;
  return guarded(st, [&]() -> SQLRETURN {
    if (count) *count = 0;
    return SQL_SUCCESS;
  });
}

SQLRETURN SQL_API SQLNativeSql(SQLHDBC handle, SQLCHAR* in, SQLINTEGER in_len, SQLCHAR* out, SQLINTEGER out_max,
                               SQLINTEGER* out_len) {
  return on_dbc(handle, [&](Dbc* dbc) { return native_sql<AnsiText>(dbc, in, in_len, out, out_max, out_len); });
}

SQLRETURN SQL_API SQLNativeSqlW(SQLHDBC handle, SQLWCHAR* in, SQLINTEGER in_len, SQLWCHAR* out, SQLINTEGER out_max,
                                SQLINTEGER* out_len) {
  return on_dbc(handle, [&](Dbc* dbc) { return native_sql<WideChars>(dbc, in, in_len, out, out_max, out_len); });
}

SQLRETURN SQL_API SQLGetCursorName(SQLHSTMT handle, SQLCHAR* name, SQLSMALLINT max, SQLSMALLINT* len) {
  return on_stmt(handle, [&](Stmt* st) { return get_cursor_name<AnsiText>(st, name, max, len); });
}

SQLRETURN SQL_API SQLGetCursorNameW(SQLHSTMT handle, SQLWCHAR* name, SQLSMALLINT max, SQLSMALLINT* len) {
  return on_stmt(handle, [&](Stmt* st) { return get_cursor_name<WideChars>(st, name, max, len); });
}

SQLRETURN SQL_API SQLSetCursorName(SQLHSTMT handle, SQLCHAR* name, SQLSMALLINT len) {
  return on_stmt(handle, [&](Stmt* st) { return set_cursor_name<AnsiText>(st, name, len); });
}

SQLRETURN SQL_API SQLSetCursorNameW(SQLHSTMT handle, SQLWCHAR* name, SQLSMALLINT len) {
  return on_stmt(handle, [&](Stmt* st) { return set_cursor_name<WideChars>(st, name, len); });
}

SQLRETURN SQL_API SQLSetStmtAttr(SQLHSTMT handle, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER) {
  return on_stmt(handle, [&](Stmt* st) { return set_stmt_attr(st, attr, value); });
}

SQLRETURN SQL_API SQLSetStmtAttrW(SQLHSTMT handle, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER) {
  return on_stmt(handle, [&](Stmt* st) { return set_stmt_attr(st, attr, value); });
}

SQLRETURN SQL_API SQLGetStmtAttr(SQLHSTMT handle, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER, SQLINTEGER* len) {
  return on_stmt(handle, [&](Stmt* st) { return get_stmt_attr(st, attr, value, len); });
}

SQLRETURN SQL_API SQLGetStmtAttrW(SQLHSTMT handle, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER, SQLINTEGER* len) {
  return on_stmt(handle, [&](Stmt* st) { return get_stmt_attr(st, attr, value, len); });
}

SQLRETURN SQL_API SQLSetStmtOption(SQLHSTMT handle, SQLUSMALLINT option, SQLULEN value) {
  return SQLSetStmtAttr(handle, option, reinterpret_cast<SQLPOINTER>(value), 0);
}

// ODBC 2 options are 32-bit values.
SQLRETURN SQL_API SQLGetStmtOption(SQLHSTMT handle, SQLUSMALLINT option, SQLPOINTER value) {
  SQLULEN v = 0;
  SQLRETURN rc = SQLGetStmtAttr(handle, option, &v, 0, nullptr);
  if (SQL_SUCCEEDED(rc) && value) *static_cast<SQLUINTEGER*>(value) = static_cast<SQLUINTEGER>(v);
  return rc;
}

}  // extern "C"
