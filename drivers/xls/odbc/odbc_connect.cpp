// ODBC entry points: connecting to a workbook (SQLDriverConnect, SQLConnect), disconnecting,
// connection attributes. The ANSI (A) and wide (W) entries share the functions of the
// unnamed namespace; each converts its text once, at the entry.
#include "connect_string.h"
#include "handles.h"
#include "path_map.h"
#include "workbook/workbook_file.h"

#include <odbcinst.h>

#include <cstdlib>
#include <cstring>
#include <type_traits>

using namespace xlsodbc;

namespace {

std::string profile_string(const std::string& section, const char* key, const char* file) {
  char buf[512] = "";
  SQLGetPrivateProfileString(section.c_str(), key, "", buf, sizeof buf, file);
  return buf;
}

// The client character set: Charset= of the connect string, else the driver's (or DSN's)
// odbcinst.ini entry, else UTF-8.
std::string find_charset(const ConnectAttributes& a, const std::string& dsn) {
  if (const std::string* v = a.find("CHARSET")) return *v;
  if (!dsn.empty()) {
    std::string v = profile_string(dsn, "Charset", "ODBC.INI");
    if (!v.empty()) return v;
  }
  std::string driver;
  if (const std::string* d = a.find("DRIVER")) driver = *d;
  else if (!dsn.empty()) driver = profile_string(dsn, "Driver", "ODBC.INI");
  if (!driver.empty() && driver.find('/') == std::string::npos) {
    std::string v = profile_string(driver, "Charset", "ODBCINST.INI");
    if (!v.empty()) return v;
  }
  return "UTF-8";
}

// Opens the workbook named by DBQ. Errors are reported on the connection as 08001.
SQLRETURN open_workbook(Dbc* dbc, const std::string& dbq_utf8) {
  if (dbq_utf8.empty())
    return dbc->diag.add(Sqlstate::CannotConnect, "the connection string names no workbook: give DBQ=<path of the workbook>");
  dbc->path_given = dbq_utf8;
  const char* prefix = std::getenv("WINEPREFIX");
  const char* home = std::getenv("HOME");
  std::string error;
  std::string path = map_windows_path(dbq_utf8, prefix ? prefix : "", home ? home : "", error);
  if (path.empty())
    return dbc->diag.add(Sqlstate::CannotConnect, "cannot open workbook '" + dbq_utf8 + "': " + error);
  dbc->path = path;
  auto wb = std::make_shared<Workbook>();
  if (!open_workbook_file(path, *wb, error))
    return dbc->diag.add(Sqlstate::CannotConnect, "cannot open workbook " + dbc->workbook_label() + ": " + error);
  dbc->workbook = std::move(wb);
  dbc->sheets.clear();
  return SQL_SUCCESS;
}

// Sets the charset, converts the connect string to UTF-8 (unless a W entry gave it as UTF-16,
// `raw_is_utf8`) and opens the workbook.
SQLRETURN connect_with(Dbc* dbc, const std::string& raw, bool raw_is_utf8, const std::string& dsn) {
  if (dbc->connected) return dbc->diag.add(Sqlstate::ConnectionInUse);
  ConnectAttributes first = parse_connect_string(raw);
  std::string charset = find_charset(first, dsn);
  std::string error;
  if (!dbc->client.set(charset, error))
    return dbc->diag.add(Sqlstate::CannotConnect, "cannot connect: " + error + " (Charset in odbcinst.ini or the connect string)");
  std::string utf8;
  if (raw_is_utf8)
    utf8 = raw;
  else if (!dbc->client.to_utf8(raw.data(), raw.size(), utf8))
    return dbc->diag.add(Sqlstate::CannotConnect, "the connection string is not valid " + dbc->client.name() + " text");
  ConnectAttributes attrs = parse_connect_string(utf8);
  std::string dbq;
  if (const std::string* v = attrs.find("DBQ")) dbq = *v;
  else if (!dsn.empty()) {
    std::string v = profile_string(dsn, "DBQ", "ODBC.INI");
    if (!dbc->client.to_utf8(v.data(), v.size(), dbq)) dbq = v;
  }
  if (dbq.size() >= 2 && dbq.front() == '"' && dbq.back() == '"') dbq = dbq.substr(1, dbq.size() - 2);
  SQLRETURN rc = open_workbook(dbc, dbq);
  if (!SQL_SUCCEEDED(rc)) return rc;
  dbc->connect_string = utf8;
  dbc->dsn = dsn;
  dbc->connected = true;
  return dbc->diag.success();
}

std::string raw_text(const SQLCHAR* s, SQLLEN len) {
  if (!s) return std::string();
  if (len == SQL_NTS || len < 0) return std::string(reinterpret_cast<const char*>(s));
  return std::string(reinterpret_cast<const char*>(s), static_cast<size_t>(len));
}

// The connect string or data source name of an entry as text: an A entry's bytes stay as they
// are until the character set is known (the string may name it, Charset=); a W entry's UTF-16
// is converted at once.
template <typename Text>
std::string entry_text(const typename Text::Char* s, SQLSMALLINT len) {
  if constexpr (std::is_same_v<typename Text::Char, SQLWCHAR>) return from_wide(s, len);
  else return raw_text(s, len);
}
template <typename Text>
constexpr bool is_wide() { return std::is_same_v<typename Text::Char, SQLWCHAR>; }

// SQLDriverConnect[W]: the DSN the string names, if any, supplies what it leaves out.
template <typename Text>
SQLRETURN driver_connect(Dbc* dbc, typename Text::Char* in, SQLSMALLINT in_len, typename Text::Char* out,
                         SQLSMALLINT out_max, SQLSMALLINT* out_len) {
  if (!in) return dbc->diag.add(Sqlstate::NullPointer, " (no connection string)");
  std::string text = entry_text<Text>(in, in_len);
  ConnectAttributes a = parse_connect_string(text);
  std::string dsn;
  if (const std::string* d = a.find("DSN")) {
    if (*d != "''" && *d != "\"\"" && !a.find("DRIVER")) dsn = *d;
  }
  SQLRETURN rc = connect_with(dbc, text, is_wide<Text>(), dsn);
  if (!SQL_SUCCEEDED(rc)) return rc;
  Text::out(dbc, dbc->connect_string, out, out_max, out_len);
  return dbc->diag.success();
}

// SQLConnect[W]: a data source of odbc.ini with its DBQ.
template <typename Text>
SQLRETURN connect_dsn(Dbc* dbc, typename Text::Char* dsn, SQLSMALLINT dsn_len) {
  std::string name = entry_text<Text>(dsn, dsn_len);
  if (name.empty())
    return dbc->diag.add(Sqlstate::CannotConnect, "no data source name; connect with SQLDriverConnect and DRIVER={...};DBQ=<path>");
  if (profile_string(name, "DBQ", "ODBC.INI").empty())
    return dbc->diag.add(Sqlstate::CannotConnect, "data source '" + name + "' has no DBQ=<path of the workbook> in odbc.ini; "
                                    "connect with SQLDriverConnect and DRIVER={...};DBQ=<path>");
  return connect_with(dbc, "DSN=" + name, is_wide<Text>(), name);
}

// A connection attribute: numbers into `value`, the one text attribute (the current catalog)
// in the entry's form.
template <typename Text>
SQLRETURN get_connect_attr(Dbc* dbc, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER buflen, SQLINTEGER* len) {
  SQLULEN v;
  switch (attr) {
    case SQL_ATTR_LOGIN_TIMEOUT: v = dbc->login_timeout; break;
    case SQL_ATTR_CONNECTION_TIMEOUT: v = dbc->connection_timeout; break;
    case SQL_ATTR_ACCESS_MODE: v = dbc->access_mode; break;
    case SQL_ATTR_AUTOCOMMIT: v = dbc->autocommit; break;
    case SQL_ATTR_TXN_ISOLATION: v = dbc->txn_isolation; break;
    case SQL_ATTR_PACKET_SIZE: v = dbc->packet_size; break;
    case SQL_ATTR_QUIET_MODE: v = dbc->quiet_mode; break;
    case SQL_ATTR_METADATA_ID: v = dbc->metadata_id; break;
    case SQL_ATTR_AUTO_IPD: v = SQL_FALSE; break;
    case SQL_ATTR_ASYNC_ENABLE: v = SQL_ASYNC_ENABLE_OFF; break;
    case SQL_ATTR_CONNECTION_DEAD: v = dbc->connected ? SQL_CD_FALSE : SQL_CD_TRUE; break;
    case SQL_ATTR_CURRENT_CATALOG:
      return Text::out(dbc, dbc->path_given, value, buflen, len);
    default:
      return dbc->diag.add(Sqlstate::InvalidAttribute, "connection attribute " + std::to_string(attr) + " is not supported");
  }
  if (value) *static_cast<SQLUINTEGER*>(value) = static_cast<SQLUINTEGER>(v);
  if (len) *len = sizeof(SQLUINTEGER);
  return SQL_SUCCESS;
}

// Text attributes (the current catalog) are refused whatever their form, so the A and W
// entries share this whole.
SQLRETURN set_connect_attr(Dbc* dbc, SQLINTEGER attr, SQLPOINTER value) {
  SQLULEN v = reinterpret_cast<SQLULEN>(value);
  switch (attr) {
    case SQL_ATTR_LOGIN_TIMEOUT: dbc->login_timeout = v; return SQL_SUCCESS;
    case SQL_ATTR_CONNECTION_TIMEOUT: dbc->connection_timeout = v; return SQL_SUCCESS;
    case SQL_ATTR_ACCESS_MODE: dbc->access_mode = v; return SQL_SUCCESS;
    case SQL_ATTR_AUTOCOMMIT: dbc->autocommit = v; return SQL_SUCCESS;
    case SQL_ATTR_TXN_ISOLATION: dbc->txn_isolation = v; return SQL_SUCCESS;
    case SQL_ATTR_PACKET_SIZE: dbc->packet_size = v; return SQL_SUCCESS;
    case SQL_ATTR_QUIET_MODE: dbc->quiet_mode = v; return SQL_SUCCESS;
    case SQL_ATTR_METADATA_ID: dbc->metadata_id = v; return SQL_SUCCESS;
    case SQL_ATTR_ODBC_CURSORS:
    case SQL_ATTR_TRACE:
    case SQL_ATTR_TRACEFILE:
    case SQL_ATTR_TRANSLATE_LIB:
    case SQL_ATTR_TRANSLATE_OPTION:
    case SQL_ATTR_ASYNC_ENABLE:
    case SQL_ATTR_AUTO_IPD:
    // The driver manager says whether the application is an ANSI one; the A and W entries
    // behave as they are whatever it says.
    case SQL_ATTR_ANSI_APP:
      return SQL_SUCCESS;
    case SQL_ATTR_CURRENT_CATALOG:
      return dbc->diag.add(Sqlstate::NotImplemented, "the current catalog cannot be changed; connect to another workbook");
    // Statement attributes set on the connection (ODBC 2 SQLSetConnectOption) apply to all
    // statements; they are accepted.
    case SQL_ATTR_QUERY_TIMEOUT: case SQL_ATTR_MAX_ROWS: case SQL_ATTR_NOSCAN: case SQL_ATTR_MAX_LENGTH:
    case SQL_ATTR_CURSOR_TYPE: case SQL_ATTR_CONCURRENCY: case SQL_ATTR_KEYSET_SIZE: case SQL_ROWSET_SIZE:
    case SQL_ATTR_SIMULATE_CURSOR: case SQL_ATTR_RETRIEVE_DATA: case SQL_ATTR_USE_BOOKMARKS:
      return SQL_SUCCESS;
    default:
      return dbc->diag.add(Sqlstate::InvalidAttribute, "connection attribute " + std::to_string(attr) + " is not supported");
  }
}

}  // namespace

extern "C" {

SQLRETURN SQL_API SQLDriverConnect(SQLHDBC handle, SQLHWND, SQLCHAR* in, SQLSMALLINT in_len, SQLCHAR* out,
                                   SQLSMALLINT out_max, SQLSMALLINT* out_len, SQLUSMALLINT) {
  return on_dbc(handle, [&](Dbc* dbc) { return driver_connect<AnsiText>(dbc, in, in_len, out, out_max, out_len); });
}

SQLRETURN SQL_API SQLDriverConnectW(SQLHDBC handle, SQLHWND, SQLWCHAR* in, SQLSMALLINT in_len, SQLWCHAR* out,
                                    SQLSMALLINT out_max, SQLSMALLINT* out_len, SQLUSMALLINT) {
  return on_dbc(handle, [&](Dbc* dbc) { return driver_connect<WideChars>(dbc, in, in_len, out, out_max, out_len); });
}

SQLRETURN SQL_API SQLConnect(SQLHDBC handle, SQLCHAR* dsn, SQLSMALLINT dsn_len, SQLCHAR*, SQLSMALLINT, SQLCHAR*,
                             SQLSMALLINT) {
  return on_dbc(handle, [&](Dbc* dbc) { return connect_dsn<AnsiText>(dbc, dsn, dsn_len); });
}

SQLRETURN SQL_API SQLConnectW(SQLHDBC handle, SQLWCHAR* dsn, SQLSMALLINT dsn_len, SQLWCHAR*, SQLSMALLINT, SQLWCHAR*,
                              SQLSMALLINT) {
  return on_dbc(handle, [&](Dbc* dbc) { return connect_dsn<WideChars>(dbc, dsn, dsn_len); });
}

SQLRETURN SQL_API SQLDisconnect(SQLHDBC handle) {
  Dbc* dbc = as<Dbc>(handle, SQL_HANDLE_DBC);
  if (!dbc) return SQL_INVALID_HANDLE;
  return guarded(dbc, [&]() -> SQLRETURN {
    if (!dbc->connected) return dbc->diag.add(Sqlstate::ConnectionNotOpen);
    free_all_statements(dbc);
    dbc->sheets.clear();
    dbc->workbook.reset();
    dbc->connected = false;
    return SQL_SUCCESS;
  });
}

SQLRETURN SQL_API SQLSetConnectAttr(SQLHDBC handle, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER) {
  return on_dbc(handle, [&](Dbc* dbc) { return set_connect_attr(dbc, attr, value); });
}

SQLRETURN SQL_API SQLSetConnectAttrW(SQLHDBC handle, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER) {
  return on_dbc(handle, [&](Dbc* dbc) { return set_connect_attr(dbc, attr, value); });
}

SQLRETURN SQL_API SQLGetConnectAttr(SQLHDBC handle, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER buflen,
                                    SQLINTEGER* len) {
  return on_dbc(handle, [&](Dbc* dbc) { return get_connect_attr<AnsiText>(dbc, attr, value, buflen, len); });
}

SQLRETURN SQL_API SQLGetConnectAttrW(SQLHDBC handle, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER buflen,
                                     SQLINTEGER* len) {
  return on_dbc(handle, [&](Dbc* dbc) { return get_connect_attr<WideBytes>(dbc, attr, value, buflen, len); });
}

SQLRETURN SQL_API SQLSetConnectOption(SQLHDBC handle, SQLUSMALLINT option, SQLULEN value) {
  return SQLSetConnectAttr(handle, option, reinterpret_cast<SQLPOINTER>(value), 0);
}

SQLRETURN SQL_API SQLSetConnectOptionW(SQLHDBC handle, SQLUSMALLINT option, SQLULEN value) {
  return SQLSetConnectAttrW(handle, option, reinterpret_cast<SQLPOINTER>(value), 0);
}

// An ODBC 2 application gives no buffer length: a string option's buffer has room for
// SQL_MAX_OPTION_STRING_LENGTH bytes and the NUL, a longer text is cut (01004).
SQLRETURN SQL_API SQLGetConnectOption(SQLHDBC handle, SQLUSMALLINT option, SQLPOINTER value) {
  return SQLGetConnectAttr(handle, option, value, SQL_MAX_OPTION_STRING_LENGTH + 1, nullptr);
}

SQLRETURN SQL_API SQLGetConnectOptionW(SQLHDBC handle, SQLUSMALLINT option, SQLPOINTER value) {
  return SQLGetConnectAttrW(handle, option, value, SQL_MAX_OPTION_STRING_LENGTH + 1, nullptr);
}

SQLRETURN SQL_API SQLEndTran(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT) {
  Handle* h = lookup_handle(handle, type);
  if (!h || (type != SQL_HANDLE_ENV && type != SQL_HANDLE_DBC)) return SQL_INVALID_HANDLE;
  return guarded(h, [] { return SQL_SUCCESS; });  // read-only: nothing to commit
}

SQLRETURN SQL_API SQLTransact(SQLHENV env, SQLHDBC dbc, SQLUSMALLINT type) {
  if (dbc) return SQLEndTran(SQL_HANDLE_DBC, dbc, static_cast<SQLSMALLINT>(type));
  return SQLEndTran(SQL_HANDLE_ENV, env, static_cast<SQLSMALLINT>(type));
}

}  // extern "C"
