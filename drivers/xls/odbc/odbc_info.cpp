// ODBC entry points: what the driver tells about itself (SQLGetInfo, SQLGetFunctions,
// SQLGetTypeInfo) and the catalog functions over the workbook's worksheets. The ANSI (A) and
// wide (W) entries share the functions of the unnamed namespace, which take and give UTF-8.
#include "like_pattern.h"
#include "statement.h"

#include <cstring>
#include <optional>

using namespace xlsodbc;

namespace {

enum Kind { Str, U16, U32 };
struct Info {
  SQLUSMALLINT id;
  Kind kind;
  SQLUINTEGER number;
  const char* text;
};

const Info kInfo[] = {
    {SQL_DRIVER_NAME, Str, 0, "libsheetmover_xls.so"},
    {SQL_DRIVER_VER, Str, 0, "01.00.0000"},
    {SQL_DRIVER_ODBC_VER, Str, 0, "03.00"},
    {SQL_DBMS_NAME, Str, 0, "EXCEL"},
    {SQL_DBMS_VER, Str, 0, "08.00.0000"},
    {SQL_SERVER_NAME, Str, 0, "EXCEL"},
    {SQL_USER_NAME, Str, 0, "admin"},
    {SQL_IDENTIFIER_QUOTE_CHAR, Str, 0, "`"},
    {SQL_SEARCH_PATTERN_ESCAPE, Str, 0, "\\"},
    {SQL_CATALOG_NAME_SEPARATOR, Str, 0, "."},
    {SQL_CATALOG_TERM, Str, 0, "DATABASE"},
    {SQL_CATALOG_NAME, Str, 0, "N"},
    {SQL_SCHEMA_TERM, Str, 0, ""},
    {SQL_TABLE_TERM, Str, 0, "TABLE"},
    {SQL_PROCEDURE_TERM, Str, 0, ""},
    {SQL_DATA_SOURCE_READ_ONLY, Str, 0, "Y"},
    {SQL_ACCESSIBLE_TABLES, Str, 0, "Y"},
    {SQL_ACCESSIBLE_PROCEDURES, Str, 0, "N"},
    {SQL_MULT_RESULT_SETS, Str, 0, "N"},
    {SQL_MULTIPLE_ACTIVE_TXN, Str, 0, "Y"},
    {SQL_OUTER_JOINS, Str, 0, "N"},
    {SQL_PROCEDURES, Str, 0, "N"},
    {SQL_COLUMN_ALIAS, Str, 0, "N"},
    {SQL_EXPRESSIONS_IN_ORDERBY, Str, 0, "N"},
    {SQL_ORDER_BY_COLUMNS_IN_SELECT, Str, 0, "N"},
    {SQL_LIKE_ESCAPE_CLAUSE, Str, 0, "N"},
    {SQL_NEED_LONG_DATA_LEN, Str, 0, "N"},
    {SQL_ROW_UPDATES, Str, 0, "N"},
    {SQL_DESCRIBE_PARAMETER, Str, 0, "N"},
    {SQL_INTEGRITY, Str, 0, "N"},
    {SQL_MAX_ROW_SIZE_INCLUDES_LONG, Str, 0, "N"},
    {SQL_SPECIAL_CHARACTERS, Str, 0, ""},
    {SQL_KEYWORDS, Str, 0, ""},
    {SQL_COLLATION_SEQ, Str, 0, ""},
    {SQL_XOPEN_CLI_YEAR, Str, 0, "1995"},
    {SQL_ODBC_SQL_OPT_IEF, Str, 0, "N"},
    {SQL_MAX_DRIVER_CONNECTIONS, U16, 0, nullptr},
    {SQL_MAX_CONCURRENT_ACTIVITIES, U16, 0, nullptr},
    {SQL_CURSOR_COMMIT_BEHAVIOR, U16, SQL_CB_PRESERVE, nullptr},
    {SQL_CURSOR_ROLLBACK_BEHAVIOR, U16, SQL_CB_PRESERVE, nullptr},
    {SQL_TXN_CAPABLE, U16, SQL_TC_NONE, nullptr},
    {SQL_IDENTIFIER_CASE, U16, SQL_IC_MIXED, nullptr},
    {SQL_QUOTED_IDENTIFIER_CASE, U16, SQL_IC_MIXED, nullptr},
    {SQL_NULL_COLLATION, U16, SQL_NC_LOW, nullptr},
    {SQL_CONCAT_NULL_BEHAVIOR, U16, SQL_CB_NULL, nullptr},
    {SQL_CORRELATION_NAME, U16, SQL_CN_NONE, nullptr},
    {SQL_NON_NULLABLE_COLUMNS, U16, SQL_NNC_NULL, nullptr},
    {SQL_FILE_USAGE, U16, SQL_FILE_CATALOG, nullptr},
    {SQL_GROUP_BY, U16, SQL_GB_NOT_SUPPORTED, nullptr},
    {SQL_CATALOG_LOCATION, U16, 0, nullptr},
    {SQL_MAX_COLUMN_NAME_LEN, U16, kMaxColumnName, nullptr},
    {SQL_MAX_TABLE_NAME_LEN, U16, 64, nullptr},
    {SQL_MAX_CURSOR_NAME_LEN, U16, 64, nullptr},
    {SQL_MAX_SCHEMA_NAME_LEN, U16, 0, nullptr},
    {SQL_MAX_CATALOG_NAME_LEN, U16, 260, nullptr},
    {SQL_MAX_COLUMNS_IN_GROUP_BY, U16, 0, nullptr},
    {SQL_MAX_COLUMNS_IN_ORDER_BY, U16, 0, nullptr},
    {SQL_MAX_COLUMNS_IN_INDEX, U16, 0, nullptr},
    {SQL_MAX_TABLES_IN_SELECT, U16, 1, nullptr},
    {SQL_MAX_USER_NAME_LEN, U16, 0, nullptr},
    {SQL_MAX_PROCEDURE_NAME_LEN, U16, 0, nullptr},
    {SQL_MAX_IDENTIFIER_LEN, U16, 255, nullptr},
    {SQL_ODBC_API_CONFORMANCE, U16, SQL_OAC_LEVEL1, nullptr},
    {SQL_ODBC_SQL_CONFORMANCE, U16, SQL_OSC_MINIMUM, nullptr},
    {SQL_ODBC_SAG_CLI_CONFORMANCE, U16, SQL_OSCC_NOT_COMPLIANT, nullptr},
    {SQL_ACTIVE_ENVIRONMENTS, U16, 0, nullptr},
    {SQL_ODBC_INTERFACE_CONFORMANCE, U32, SQL_OIC_CORE, nullptr},
    {SQL_GETDATA_EXTENSIONS, U32, SQL_GD_ANY_COLUMN | SQL_GD_ANY_ORDER | SQL_GD_BOUND, nullptr},
    // Static cursors scroll (the rows are in memory). The driver manager loads its cursor
    // library for SQL_CUR_USE_IF_NEEDED unless static cursors can fetch absolute rows.
    {SQL_SCROLL_OPTIONS, U32, SQL_SO_FORWARD_ONLY | SQL_SO_STATIC, nullptr},
    {SQL_SCROLL_CONCURRENCY, U32, SQL_SCCO_READ_ONLY, nullptr},
    {SQL_FETCH_DIRECTION, U32, SQL_FD_FETCH_NEXT | SQL_FD_FETCH_FIRST | SQL_FD_FETCH_LAST | SQL_FD_FETCH_PRIOR |
                                   SQL_FD_FETCH_ABSOLUTE | SQL_FD_FETCH_RELATIVE, nullptr},
    {SQL_FORWARD_ONLY_CURSOR_ATTRIBUTES1, U32, SQL_CA1_NEXT, nullptr},
    {SQL_FORWARD_ONLY_CURSOR_ATTRIBUTES2, U32, SQL_CA2_READ_ONLY_CONCURRENCY | SQL_CA2_MAX_ROWS_SELECT, nullptr},
    {SQL_DYNAMIC_CURSOR_ATTRIBUTES1, U32, 0, nullptr},
    {SQL_DYNAMIC_CURSOR_ATTRIBUTES2, U32, 0, nullptr},
    {SQL_KEYSET_CURSOR_ATTRIBUTES1, U32, 0, nullptr},
    {SQL_KEYSET_CURSOR_ATTRIBUTES2, U32, 0, nullptr},
    {SQL_STATIC_CURSOR_ATTRIBUTES1, U32, SQL_CA1_NEXT | SQL_CA1_ABSOLUTE | SQL_CA1_RELATIVE, nullptr},
    {SQL_STATIC_CURSOR_ATTRIBUTES2, U32, SQL_CA2_READ_ONLY_CONCURRENCY | SQL_CA2_MAX_ROWS_SELECT, nullptr},
    {SQL_POS_OPERATIONS, U32, 0, nullptr},
    {SQL_POSITIONED_STATEMENTS, U32, 0, nullptr},
    {SQL_LOCK_TYPES, U32, 0, nullptr},
    {SQL_STATIC_SENSITIVITY, U32, 0, nullptr},
    {SQL_BOOKMARK_PERSISTENCE, U32, 0, nullptr},
    {SQL_TXN_ISOLATION_OPTION, U32, 0, nullptr},
    {SQL_DEFAULT_TXN_ISOLATION, U32, 0, nullptr},
    {SQL_CONVERT_FUNCTIONS, U32, 0, nullptr},
    {SQL_NUMERIC_FUNCTIONS, U32, 0, nullptr},
    {SQL_STRING_FUNCTIONS, U32, 0, nullptr},
    {SQL_SYSTEM_FUNCTIONS, U32, 0, nullptr},
    {SQL_TIMEDATE_FUNCTIONS, U32, 0, nullptr},
    {SQL_TIMEDATE_ADD_INTERVALS, U32, 0, nullptr},
    {SQL_TIMEDATE_DIFF_INTERVALS, U32, 0, nullptr},
    {SQL_OJ_CAPABILITIES, U32, 0, nullptr},
    {SQL_ALTER_TABLE, U32, 0, nullptr},
    {SQL_SUBQUERIES, U32, 0, nullptr},
    {SQL_UNION, U32, 0, nullptr},
    {SQL_BATCH_SUPPORT, U32, 0, nullptr},
    {SQL_BATCH_ROW_COUNT, U32, 0, nullptr},
    {SQL_PARAM_ARRAY_ROW_COUNTS, U32, SQL_PARC_NO_BATCH, nullptr},
    {SQL_PARAM_ARRAY_SELECTS, U32, SQL_PAS_NO_SELECT, nullptr},
    {SQL_SQL_CONFORMANCE, U32, SQL_SC_SQL92_ENTRY, nullptr},
    {SQL_AGGREGATE_FUNCTIONS, U32, 0, nullptr},
    {SQL_ASYNC_MODE, U32, SQL_AM_NONE, nullptr},
    {SQL_MAX_ASYNC_CONCURRENT_STATEMENTS, U32, 0, nullptr},
    {SQL_CATALOG_USAGE, U32, 0, nullptr},
    {SQL_SCHEMA_USAGE, U32, 0, nullptr},
    {SQL_DATETIME_LITERALS, U32, 0, nullptr},
    {SQL_INDEX_KEYWORDS, U32, SQL_IK_NONE, nullptr},
    {SQL_INFO_SCHEMA_VIEWS, U32, 0, nullptr},
    {SQL_INSERT_STATEMENT, U32, 0, nullptr},
    {SQL_CREATE_TABLE, U32, 0, nullptr},
    {SQL_CREATE_VIEW, U32, 0, nullptr},
    {SQL_DROP_TABLE, U32, 0, nullptr},
    {SQL_DROP_VIEW, U32, 0, nullptr},
    {SQL_DDL_INDEX, U32, 0, nullptr},
    {SQL_STANDARD_CLI_CONFORMANCE, U32, 0, nullptr},
    {SQL_MAX_BINARY_LITERAL_LEN, U32, 0, nullptr},
    {SQL_MAX_CHAR_LITERAL_LEN, U32, 0, nullptr},
    {SQL_MAX_INDEX_SIZE, U32, 0, nullptr},
    {SQL_MAX_ROW_SIZE, U32, 0, nullptr},
    {SQL_MAX_STATEMENT_LEN, U32, 65535, nullptr},
    {SQL_SQL92_PREDICATES, U32, 0, nullptr},
    {SQL_SQL92_RELATIONAL_JOIN_OPERATORS, U32, 0, nullptr},
    {SQL_SQL92_STRING_FUNCTIONS, U32, 0, nullptr},
    {SQL_SQL92_NUMERIC_VALUE_FUNCTIONS, U32, 0, nullptr},
    {SQL_SQL92_DATETIME_FUNCTIONS, U32, 0, nullptr},
    {SQL_SQL92_VALUE_EXPRESSIONS, U32, 0, nullptr},
    {SQL_SQL92_ROW_VALUE_CONSTRUCTOR, U32, 0, nullptr},
    {SQL_SQL92_GRANT, U32, 0, nullptr},
    {SQL_SQL92_REVOKE, U32, 0, nullptr},
    {SQL_SQL92_FOREIGN_KEY_DELETE_RULE, U32, 0, nullptr},
    {SQL_SQL92_FOREIGN_KEY_UPDATE_RULE, U32, 0, nullptr},
};

// SQLGetInfo numbers that are SQLUINTEGER bit masks of conversions (SQL_CONVERT_*).
bool is_convert_info(SQLUSMALLINT id) { return id >= SQL_CONVERT_BIGINT && id <= SQL_CONVERT_VARCHAR; }

const SQLUSMALLINT kFunctions[] = {
    SQL_API_SQLALLOCHANDLE, SQL_API_SQLALLOCENV, SQL_API_SQLALLOCCONNECT, SQL_API_SQLALLOCSTMT,
    SQL_API_SQLFREEHANDLE, SQL_API_SQLFREEENV, SQL_API_SQLFREECONNECT, SQL_API_SQLFREESTMT,
    SQL_API_SQLSETENVATTR, SQL_API_SQLGETENVATTR, SQL_API_SQLCONNECT, SQL_API_SQLDRIVERCONNECT,
    SQL_API_SQLDISCONNECT, SQL_API_SQLSETCONNECTATTR, SQL_API_SQLGETCONNECTATTR, SQL_API_SQLSETCONNECTOPTION,
    SQL_API_SQLGETCONNECTOPTION, SQL_API_SQLGETINFO, SQL_API_SQLGETFUNCTIONS, SQL_API_SQLGETTYPEINFO,
    SQL_API_SQLPREPARE, SQL_API_SQLEXECUTE, SQL_API_SQLEXECDIRECT, SQL_API_SQLNUMRESULTCOLS,
    SQL_API_SQLDESCRIBECOL, SQL_API_SQLCOLATTRIBUTE, SQL_API_SQLCOLATTRIBUTES, SQL_API_SQLBINDCOL, SQL_API_SQLFETCH,
    SQL_API_SQLFETCHSCROLL, SQL_API_SQLEXTENDEDFETCH, SQL_API_SQLGETDATA, SQL_API_SQLROWCOUNT, SQL_API_SQLMORERESULTS,
    SQL_API_SQLCLOSECURSOR, SQL_API_SQLCANCEL, SQL_API_SQLNUMPARAMS, SQL_API_SQLNATIVESQL, SQL_API_SQLGETCURSORNAME,
    SQL_API_SQLSETCURSORNAME, SQL_API_SQLSETSTMTATTR, SQL_API_SQLGETSTMTATTR, SQL_API_SQLSETSTMTOPTION,
    SQL_API_SQLGETSTMTOPTION, SQL_API_SQLGETDIAGREC, SQL_API_SQLGETDIAGFIELD, SQL_API_SQLERROR,
    SQL_API_SQLENDTRAN, SQL_API_SQLTRANSACT, SQL_API_SQLTABLES, SQL_API_SQLCOLUMNS, SQL_API_SQLSPECIALCOLUMNS,
    SQL_API_SQLSTATISTICS, SQL_API_SQLPRIMARYKEYS,
};

// The workbook's path without its extension (.xls, .xlsx, .xlsm in any case), as the name of
// the database.
std::string without_workbook_extension(std::string path) {
  size_t dot = path.rfind('.');
  if (dot == std::string::npos || path.find_first_of("/\\", dot) != std::string::npos) return path;
  std::string ext = path.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  if (ext == "xls" || ext == "xlsx" || ext == "xlsm") path.resize(dot);
  return path;
}

// A text argument of a catalog function, UTF-8; absent for a null pointer.
using Arg = std::optional<std::string>;

template <typename Text>
Arg arg(Stmt* st, typename Text::Char* s, SQLSMALLINT n) {
  if (!s) return std::nullopt;
  std::string out;
  Text::in(st, s, n, out);
  return out;
}

std::optional<std::string> num(long v) { return std::to_string(v); }
const std::optional<std::string> kNull;

template <typename Text>
SQLRETURN get_info(Dbc* dbc, SQLUSMALLINT type, SQLPOINTER value, SQLSMALLINT buflen, SQLSMALLINT* len) {
  auto text = [&](const std::string& utf8) {
    Text::out(dbc, utf8, value, buflen, len);
    return dbc->diag.success();
  };
  auto put_u32 = [&](SQLUINTEGER v) {
    if (value) *static_cast<SQLUINTEGER*>(value) = v;
    if (len) *len = sizeof(SQLUINTEGER);
    return SQL_SUCCESS;
  };
  switch (type) {
    case SQL_DATA_SOURCE_NAME:
      return text(dbc->dsn);
    case SQL_DATABASE_NAME:
      return text(without_workbook_extension(dbc->path_given));
    case SQL_MAX_COLUMNS_IN_SELECT: case SQL_MAX_COLUMNS_IN_TABLE: {
      // As many as a worksheet of the workbook's format has: 256 (.xls) or 16,384 (.xlsx).
      const SQLUSMALLINT columns = dbc->workbook && dbc->workbook->biff_version() > 0 ? kMaxBiffCols : kMaxCols;
      if (value) *static_cast<SQLUSMALLINT*>(value) = columns;
      if (len) *len = sizeof(SQLUSMALLINT);
      return SQL_SUCCESS;
    }
    default:
      break;
  }
  if (is_convert_info(type)) return put_u32(0);
  for (const Info& i : kInfo) {
    if (i.id != type) continue;
    if (i.kind == Str) return text(i.text);
    if (i.kind == U16) {
      if (value) *static_cast<SQLUSMALLINT*>(value) = static_cast<SQLUSMALLINT>(i.number);
      if (len) *len = sizeof(SQLUSMALLINT);
      return SQL_SUCCESS;
    }
    return put_u32(i.number);
  }
  return dbc->diag.add(Sqlstate::InvalidInfoType, "information type " + std::to_string(type) + " is not supported");
}

SQLRETURN get_type_info(Stmt* st, SQLSMALLINT type) {
  if (st->cursor_open) return st->diag.add(Sqlstate::InvalidCursorState, ": a result is still open; close it first");
  auto r = std::make_unique<TableResult>();
  r->add_column("TYPE_NAME", SQL_VARCHAR, 32, SQL_NO_NULLS);
  r->add_column("DATA_TYPE", SQL_SMALLINT, 5, SQL_NO_NULLS);
  r->add_column("COLUMN_SIZE", SQL_INTEGER, 10);
  r->add_column("LITERAL_PREFIX", SQL_VARCHAR, 8);
  r->add_column("LITERAL_SUFFIX", SQL_VARCHAR, 8);
  r->add_column("CREATE_PARAMS", SQL_VARCHAR, 32);
  r->add_column("NULLABLE", SQL_SMALLINT, 5, SQL_NO_NULLS);
  r->add_column("CASE_SENSITIVE", SQL_SMALLINT, 5, SQL_NO_NULLS);
  r->add_column("SEARCHABLE", SQL_SMALLINT, 5, SQL_NO_NULLS);
  r->add_column("UNSIGNED_ATTRIBUTE", SQL_SMALLINT, 5);
  r->add_column("FIXED_PREC_SCALE", SQL_SMALLINT, 5, SQL_NO_NULLS);
  r->add_column("AUTO_UNIQUE_VALUE", SQL_SMALLINT, 5);
  r->add_column("LOCAL_TYPE_NAME", SQL_VARCHAR, 32);
  r->add_column("MINIMUM_SCALE", SQL_SMALLINT, 5);
  r->add_column("MAXIMUM_SCALE", SQL_SMALLINT, 5);
  r->add_column("SQL_DATA_TYPE", SQL_SMALLINT, 5, SQL_NO_NULLS);
  r->add_column("SQL_DATETIME_SUB", SQL_SMALLINT, 5);
  r->add_column("NUM_PREC_RADIX", SQL_INTEGER, 10);
  r->add_column("INTERVAL_PRECISION", SQL_SMALLINT, 5);
  if (type == SQL_ALL_TYPES || type == SQL_VARCHAR)
    r->add_row({std::string("VARCHAR"), num(SQL_VARCHAR), num(255), std::string("'"), std::string("'"),
                std::string("max length"), num(SQL_NULLABLE), num(SQL_FALSE), num(SQL_PRED_NONE), kNull,
                num(SQL_FALSE), kNull, std::string("VARCHAR"), kNull, kNull, num(SQL_VARCHAR), kNull, kNull, kNull});
  return set_table_result(st, std::move(r));
}

template <typename Text>
SQLRETURN tables(Stmt* st, typename Text::Char* cat_text, SQLSMALLINT cat_len, typename Text::Char* schema_text,
                 SQLSMALLINT schema_len, typename Text::Char* table_text, SQLSMALLINT table_len,
                 typename Text::Char* types_text, SQLSMALLINT types_len) {
  Arg cat = arg<Text>(st, cat_text, cat_len), schema = arg<Text>(st, schema_text, schema_len);
  Arg table = arg<Text>(st, table_text, table_len), types = arg<Text>(st, types_text, types_len);
  if (st->cursor_open) return st->diag.add(Sqlstate::InvalidCursorState, ": a result is still open; close it first");
  std::string c = cat.value_or(""), s = schema.value_or(""), t = table.value_or(""), ty = types.value_or("");
  auto r = std::make_unique<TableResult>();
  for (const char* n : {"TABLE_CAT", "TABLE_SCHEM", "TABLE_NAME", "TABLE_TYPE", "REMARKS"}) r->add_column(n);
  bool want_tables = !types || ty.empty() || ty == "%" || ty.find("TABLE") != std::string::npos;
  if (c == "%" && s.empty() && t.empty()) {
    r->add_row({st->dbc->path_given, kNull, kNull, kNull, kNull});
  } else if (ty == "%" && c.empty() && s.empty() && t.empty()) {
    r->add_row({kNull, kNull, kNull, std::string("TABLE"), kNull});
  } else if (want_tables && !(schema && s == "%" && c.empty() && t.empty())) {
    for (const auto& sh : st->dbc->workbook->sheets()) {
      if (sh.type != SheetType::Worksheet) continue;
      std::string name = sh.name + "$";
      if (table && !t.empty() && !like_match(t, name)) continue;
      r->add_row({kNull, kNull, name, std::string("TABLE"), kNull});
    }
  }
  return set_table_result(st, std::move(r));
}

template <typename Text>
SQLRETURN columns(Stmt* st, typename Text::Char* table_text, SQLSMALLINT table_len, typename Text::Char* column_text,
                  SQLSMALLINT column_len) {
  Arg table = arg<Text>(st, table_text, table_len), column = arg<Text>(st, column_text, column_len);
  if (st->cursor_open) return st->diag.add(Sqlstate::InvalidCursorState, ": a result is still open; close it first");
  std::string t = table.value_or(""), col = column.value_or("");
  auto r = std::make_unique<TableResult>();
  for (const char* n : {"TABLE_CAT", "TABLE_SCHEM", "TABLE_NAME", "COLUMN_NAME"}) r->add_column(n);
  r->add_column("DATA_TYPE", SQL_SMALLINT, 5, SQL_NO_NULLS);
  r->add_column("TYPE_NAME", SQL_VARCHAR, 32, SQL_NO_NULLS);
  r->add_column("COLUMN_SIZE", SQL_INTEGER, 10);
  r->add_column("BUFFER_LENGTH", SQL_INTEGER, 10);
  r->add_column("DECIMAL_DIGITS", SQL_SMALLINT, 5);
  r->add_column("NUM_PREC_RADIX", SQL_SMALLINT, 5);
  r->add_column("NULLABLE", SQL_SMALLINT, 5, SQL_NO_NULLS);
  r->add_column("REMARKS");
  r->add_column("COLUMN_DEF");
  r->add_column("SQL_DATA_TYPE", SQL_SMALLINT, 5, SQL_NO_NULLS);
  r->add_column("SQL_DATETIME_SUB", SQL_SMALLINT, 5);
  r->add_column("CHAR_OCTET_LENGTH", SQL_INTEGER, 10);
  r->add_column("ORDINAL_POSITION", SQL_INTEGER, 10, SQL_NO_NULLS);
  r->add_column("IS_NULLABLE", SQL_VARCHAR, 3);
  const Workbook& wb = *st->dbc->workbook;
  for (size_t i = 0; i < wb.sheets().size(); ++i) {
    const auto& sh = wb.sheets()[i];
    std::string name = sh.name + "$";
    if (sh.type != SheetType::Worksheet || (table && !t.empty() && !like_match(t, name))) continue;
    std::string error;
    const Dbc::LoadedSheet* ws = load_worksheet(st->dbc, static_cast<int>(i), error);
    if (!ws) continue;
    SelectStatement all;
    all.all_columns = true;
    Sqlstate state;
    auto res = SheetResult::build(st->dbc->workbook, ws->cells, ws->columns, all, state, error);
    if (!res) continue;
    long pos = 0;
    for (const ColumnInfo& ci : res->columns()) {
      ++pos;
      if (column && !col.empty() && !like_match(col, ci.name)) continue;
      long size = static_cast<long>(ci.size);
      r->add_row({kNull, kNull, name, ci.name, num(SQL_VARCHAR), std::string("VARCHAR"),
                  num(size), num(size * static_cast<long>(bytes_per_char(st->dbc))), kNull, kNull, num(SQL_NULLABLE),
                  kNull, kNull, num(SQL_VARCHAR), kNull, num(size * static_cast<long>(bytes_per_char(st->dbc))), num(pos),
                  std::string("YES")});
    }
  }
  return set_table_result(st, std::move(r));
}

// Empty results of the right shape.
SQLRETURN special_columns(Stmt* st) {
  auto r = std::make_unique<TableResult>();
  r->add_column("SCOPE", SQL_SMALLINT, 5);
  r->add_column("COLUMN_NAME", SQL_VARCHAR, 128, SQL_NO_NULLS);
  r->add_column("DATA_TYPE", SQL_SMALLINT, 5, SQL_NO_NULLS);
  r->add_column("TYPE_NAME", SQL_VARCHAR, 32, SQL_NO_NULLS);
  r->add_column("COLUMN_SIZE", SQL_INTEGER, 10);
  r->add_column("BUFFER_LENGTH", SQL_INTEGER, 10);
  r->add_column("DECIMAL_DIGITS", SQL_SMALLINT, 5);
  r->add_column("PSEUDO_COLUMN", SQL_SMALLINT, 5);
  return set_table_result(st, std::move(r));
}

SQLRETURN statistics(Stmt* st) {
  auto r = std::make_unique<TableResult>();
  for (const char* n : {"TABLE_CAT", "TABLE_SCHEM", "TABLE_NAME"}) r->add_column(n);
  r->add_column("NON_UNIQUE", SQL_SMALLINT, 5);
  r->add_column("INDEX_QUALIFIER");
  r->add_column("INDEX_NAME");
  r->add_column("TYPE", SQL_SMALLINT, 5, SQL_NO_NULLS);
  r->add_column("ORDINAL_POSITION", SQL_SMALLINT, 5);
  r->add_column("COLUMN_NAME");
  r->add_column("ASC_OR_DESC", SQL_CHAR, 1);
  r->add_column("CARDINALITY", SQL_INTEGER, 10);
  r->add_column("PAGES", SQL_INTEGER, 10);
  r->add_column("FILTER_CONDITION");
  return set_table_result(st, std::move(r));
}

SQLRETURN primary_keys(Stmt* st) {
  auto r = std::make_unique<TableResult>();
  for (const char* n : {"TABLE_CAT", "TABLE_SCHEM", "TABLE_NAME", "COLUMN_NAME"}) r->add_column(n);
  r->add_column("KEY_SEQ", SQL_SMALLINT, 5, SQL_NO_NULLS);
  r->add_column("PK_NAME");
  return set_table_result(st, std::move(r));
}

}  // namespace

extern "C" {

SQLRETURN SQL_API SQLGetInfo(SQLHDBC handle, SQLUSMALLINT type, SQLPOINTER value, SQLSMALLINT buflen,
                             SQLSMALLINT* len) {
  return on_dbc(handle, [&](Dbc* dbc) { return get_info<AnsiText>(dbc, type, value, buflen, len); });
}

SQLRETURN SQL_API SQLGetInfoW(SQLHDBC handle, SQLUSMALLINT type, SQLPOINTER value, SQLSMALLINT buflen,
                              SQLSMALLINT* len) {
  return on_dbc(handle, [&](Dbc* dbc) { return get_info<WideBytes>(dbc, type, value, buflen, len); });
}

SQLRETURN SQL_API SQLGetFunctions(SQLHDBC handle, SQLUSMALLINT id, SQLUSMALLINT* supported) {
  Dbc* dbc = as<Dbc>(handle, SQL_HANDLE_DBC);
  if (!dbc) return SQL_INVALID_HANDLE;
  return guarded(dbc, [&]() -> SQLRETURN {
    if (!supported) return dbc->diag.add(Sqlstate::NullPointer);
    if (id == SQL_API_ODBC3_ALL_FUNCTIONS) {
      std::memset(supported, 0, SQL_API_ODBC3_ALL_FUNCTIONS_SIZE * sizeof(SQLUSMALLINT));
      for (SQLUSMALLINT f : kFunctions) supported[f >> 4] |= static_cast<SQLUSMALLINT>(1 << (f & 15));
      return SQL_SUCCESS;
    }
    if (id == SQL_API_ALL_FUNCTIONS) {
      std::memset(supported, 0, 100 * sizeof(SQLUSMALLINT));
      for (SQLUSMALLINT f : kFunctions)
        if (f < 100) supported[f] = SQL_TRUE;
      return SQL_SUCCESS;
    }
    *supported = SQL_FALSE;
    for (SQLUSMALLINT f : kFunctions)
      if (f == id) *supported = SQL_TRUE;
    return SQL_SUCCESS;
  });
}

SQLRETURN SQL_API SQLGetTypeInfo(SQLHSTMT handle, SQLSMALLINT type) {
  return on_stmt(handle, [&](Stmt* st) { return get_type_info(st, type); });
}

SQLRETURN SQL_API SQLGetTypeInfoW(SQLHSTMT handle, SQLSMALLINT type) {
  return on_stmt(handle, [&](Stmt* st) { return get_type_info(st, type); });
}

SQLRETURN SQL_API SQLTables(SQLHSTMT handle, SQLCHAR* cat, SQLSMALLINT cat_len, SQLCHAR* schema, SQLSMALLINT schema_len,
                            SQLCHAR* table, SQLSMALLINT table_len, SQLCHAR* types, SQLSMALLINT types_len) {
  return on_stmt(handle, [&](Stmt* st) {
    return tables<AnsiText>(st, cat, cat_len, schema, schema_len, table, table_len, types, types_len);
  });
}

SQLRETURN SQL_API SQLTablesW(SQLHSTMT handle, SQLWCHAR* cat, SQLSMALLINT cat_len, SQLWCHAR* schema,
                             SQLSMALLINT schema_len, SQLWCHAR* table, SQLSMALLINT table_len, SQLWCHAR* types,
                             SQLSMALLINT types_len) {
  return on_stmt(handle, [&](Stmt* st) {
    return tables<WideChars>(st, cat, cat_len, schema, schema_len, table, table_len, types, types_len);
  });
}

SQLRETURN SQL_API SQLColumns(SQLHSTMT handle, SQLCHAR*, SQLSMALLINT, SQLCHAR*, SQLSMALLINT, SQLCHAR* table,
                             SQLSMALLINT table_len, SQLCHAR* column, SQLSMALLINT column_len) {
  return on_stmt(handle, [&](Stmt* st) { return columns<AnsiText>(st, table, table_len, column, column_len); });
}

SQLRETURN SQL_API SQLColumnsW(SQLHSTMT handle, SQLWCHAR*, SQLSMALLINT, SQLWCHAR*, SQLSMALLINT, SQLWCHAR* table,
                              SQLSMALLINT table_len, SQLWCHAR* column, SQLSMALLINT column_len) {
  return on_stmt(handle, [&](Stmt* st) { return columns<WideChars>(st, table, table_len, column, column_len); });
}

// The worksheets have no keys, indexes or row identifiers: these answer with no rows.
SQLRETURN SQL_API SQLSpecialColumns(SQLHSTMT handle, SQLUSMALLINT, SQLCHAR*, SQLSMALLINT, SQLCHAR*, SQLSMALLINT,
                                    SQLCHAR*, SQLSMALLINT, SQLUSMALLINT, SQLUSMALLINT) {
  return on_stmt(handle, special_columns);
}

SQLRETURN SQL_API SQLSpecialColumnsW(SQLHSTMT handle, SQLUSMALLINT, SQLWCHAR*, SQLSMALLINT, SQLWCHAR*, SQLSMALLINT,
                                     SQLWCHAR*, SQLSMALLINT, SQLUSMALLINT, SQLUSMALLINT) {
  return on_stmt(handle, special_columns);
}

SQLRETURN SQL_API SQLStatistics(SQLHSTMT handle, SQLCHAR*, SQLSMALLINT, SQLCHAR*, SQLSMALLINT, SQLCHAR*, SQLSMALLINT,
                                SQLUSMALLINT, SQLUSMALLINT) {
  return on_stmt(handle, statistics);
}

SQLRETURN SQL_API SQLStatisticsW(SQLHSTMT handle, SQLWCHAR*, SQLSMALLINT, SQLWCHAR*, SQLSMALLINT, SQLWCHAR*,
                                 SQLSMALLINT, SQLUSMALLINT, SQLUSMALLINT) {
  return on_stmt(handle, statistics);
}

SQLRETURN SQL_API SQLPrimaryKeys(SQLHSTMT handle, SQLCHAR*, SQLSMALLINT, SQLCHAR*, SQLSMALLINT, SQLCHAR*, SQLSMALLINT) {
  return on_stmt(handle, primary_keys);
}

SQLRETURN SQL_API SQLPrimaryKeysW(SQLHSTMT handle, SQLWCHAR*, SQLSMALLINT, SQLWCHAR*, SQLSMALLINT, SQLWCHAR*,
                                  SQLSMALLINT) {
  return on_stmt(handle, primary_keys);
}

}  // extern "C"
