// The driver's environment, connection and statement handles, their validation, and the
// helpers the ODBC entry points share (string output, guarded calls).
#pragma once

#include "diagnostics.h"
#include "result_set.h"
#include "sql_parser.h"
#include "workbook/charset.h"
#include "workbook/workbook.h"

#include <sql.h>
#include <sqlext.h>

#include <limits>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace xlsodbc {

struct Dbc;
struct Stmt;

struct Handle {
  explicit Handle(SQLSMALLINT kind) : kind(kind) {}
  virtual ~Handle() = default;
  const SQLSMALLINT kind;
  Diagnostics diag;
  // Text of messages goes out in this character set.
  virtual ClientCharset* charset() { return nullptr; }
};

struct Env : Handle {
  Env() : Handle(SQL_HANDLE_ENV) {}
  SQLINTEGER odbc_version = SQL_OV_ODBC3;
  std::vector<Dbc*> dbcs;
};

struct Dbc : Handle {
  explicit Dbc(Env* env) : Handle(SQL_HANDLE_DBC), env(env) {}
  ClientCharset* charset() override { return &client; }
  Env* env;
  bool connected = false;
  ClientCharset client;
  std::string connect_string;  // as received (client bytes)
  std::string dsn;
  std::string path_given;      // DBQ as the client wrote it (UTF-8)
  std::string path;            // Linux path
  std::shared_ptr<Workbook> workbook;
  // A worksheet read for this connection, with its columns.
  struct LoadedSheet {
    std::shared_ptr<const Worksheet> cells;
    SheetColumns columns;
  };
  std::map<int, LoadedSheet> sheets;  // loaded worksheets by index
  std::vector<Stmt*> stmts;
  // Connection attributes that are accepted and reported back.
  SQLULEN login_timeout = 0, connection_timeout = 0, access_mode = SQL_MODE_READ_ONLY,
          autocommit = SQL_AUTOCOMMIT_ON, txn_isolation = 0, packet_size = 0, quiet_mode = 0,
          metadata_id = SQL_FALSE;

  // The workbook's name for messages: "'Z:\tmp\a.xls'" or "'Z:\tmp\a.xls' (/tmp/a.xls)".
  std::string workbook_label() const;
};

struct Binding {
  SQLSMALLINT c_type = 0;
  SQLPOINTER target = nullptr;
  SQLLEN length = 0;
  SQLLEN* indicator = nullptr;
};

// The value of the current row's column that SQLGetData is handing out, possibly in pieces.
struct PendingValue {
  int column = -1;
  bool null = false;
  bool done = false;
  SQLSMALLINT c_type = 0;
  std::string utf8;
  std::string bytes;        // client character set
  std::u16string wide;
  size_t offset = 0;        // bytes (char/binary) or units (wide) already handed out
};

struct Stmt : Handle {
  explicit Stmt(Dbc* dbc) : Handle(SQL_HANDLE_STMT), dbc(dbc) {}
  ClientCharset* charset() override { return &dbc->client; }
  Dbc* dbc;
  enum State { Allocated, Prepared, Executed } state = Allocated;
  SelectStatement statement;
  std::unique_ptr<ResultSet> result;
  bool cursor_open = false;
  long position = -1;  // -1 before the first row, row_count() after the last
  bool on_row = false;
  size_t row = 0;      // the current row when on_row
  PendingValue pending;
  std::vector<Binding> bindings;  // index 0 = column 1
  ClientCharset out_charset;      // this statement's own converter state
  // Statement attributes.
  SQLULEN max_rows = 0, query_timeout = 0, row_array_size = 1, max_length = 0,
          row_bind_type = SQL_BIND_BY_COLUMN, retrieve_data = SQL_RD_ON, noscan = SQL_NOSCAN_OFF,
          use_bookmarks = SQL_UB_OFF, async_enable = SQL_ASYNC_ENABLE_OFF,
          cursor_type = SQL_CURSOR_FORWARD_ONLY;
  SQLULEN* rows_fetched_ptr = nullptr;
  SQLUSMALLINT* row_status_ptr = nullptr;
  SQLLEN* bind_offset_ptr = nullptr;
  std::string cursor_name;

  void close_cursor();
};

// Frees every statement of a connection (on disconnect).
void free_all_statements(Dbc* dbc);

// Registers a new handle; validates one received from the driver manager.
void register_handle(Handle* h);
void unregister_handle(Handle* h);
Handle* lookup_handle(SQLHANDLE h, SQLSMALLINT kind);
template <typename T>
T* as(SQLHANDLE h, SQLSMALLINT kind) {
  return static_cast<T*>(lookup_handle(h, kind));
}

// Copies text of the client character set `cs` (none: bytes) to an output buffer of `buflen`
// bytes, NUL-terminated, cut on a whole character. `full_len` gets the length of the whole
// text, at most `max_len` (a longer text counts as cut there). True when the text was cut.
bool copy_text(ClientCharset* cs, const std::string& text, SQLPOINTER buf, SQLLEN buflen, size_t max_len,
               size_t& full_len);
// 01004 on `h` when an entry's text was cut (copy_text, copy_wide).
inline SQLRETURN cut_warning(Handle* h, bool cut) { return cut ? h->diag.add(Sqlstate::StringTruncated) : SQL_SUCCESS; }
// copy_text into an entry's buffer, with 01004 when it had to cut.
SQLRETURN put_text(Handle* h, const std::string& text, SQLPOINTER buf, SQLLEN buflen, size_t max_len,
                   size_t& full_len);
// put_text for an entry's own length type (SQLSMALLINT, SQLINTEGER or SQLLEN). A template
// rather than overloads, as SQLLEN and SQLINTEGER are one type in 32-bit builds.
template <typename Len>
SQLRETURN put_string(Handle* h, const std::string& text, SQLPOINTER buf, Len buflen, Len* outlen) {
  size_t full = 0;
  SQLRETURN r = put_text(h, text, buf, static_cast<SQLLEN>(buflen),
                         static_cast<size_t>(std::numeric_limits<Len>::max()), full);
  if (outlen) *outlen = static_cast<Len>(full);
  return r;
}
// The wide (W) entries: how a function counts its buffer and the length it reports, in
// characters (SQLDescribeColW, SQLGetDiagRecW, SQLDriverConnectW ...) or in bytes
// (SQLColAttributeW, SQLGetInfoW, SQLGetDiagFieldW, SQLGetConnectAttrW ...).
enum class WideUnit { Chars, Bytes };
// Copies UTF-8 text as UTF-16 (SQLWCHAR) to a buffer of `buflen` units, NUL-terminated,
// never splitting a surrogate pair. `full_len` gets the length of the whole text in the unit,
// at most `max_len` (a longer text counts as cut there). True when the text was cut.
bool copy_wide(const std::string& utf8, SQLPOINTER buf, SQLLEN buflen, WideUnit unit, SQLLEN max_len,
               SQLLEN& full_len);
// put_string for the W entries: `buflen` and *outlen count in `unit`. A template rather than
// overloads, as SQLLEN and SQLINTEGER are one type in 32-bit builds.
template <typename Len>
SQLRETURN put_wide(Handle* h, const std::string& utf8, SQLPOINTER buf, Len buflen, Len* outlen, WideUnit unit) {
  if (buf && buflen < 0) return h->diag.add(Sqlstate::InvalidLength);
  SQLLEN full = 0;
  bool cut = copy_wide(utf8, buf, buflen, unit, static_cast<SQLLEN>(std::numeric_limits<Len>::max()), full);
  if (outlen) *outlen = static_cast<Len>(full);
  return cut_warning(h, cut);
}
// UTF-16 text of a W entry to UTF-8 (`len` in characters, or SQL_NTS); unpaired surrogates
// become U+FFFD.
std::string from_wide(const SQLWCHAR* text, SQLLEN len);

// UTF-8 to the client character set for names and messages (characters without a form
// become '?').
std::string to_client(Handle* h, const std::string& utf8);
// Client bytes to UTF-8 (`len` may be SQL_NTS). False when they are not valid text.
bool from_client(Handle* h, const SQLCHAR* text, SQLLEN len, std::string& out);

// How an entry point takes and hands out text; the functions the A and W entries share are
// templates over it. AnsiText: the client character set, lengths in bytes.
struct AnsiText {
  using Char = SQLCHAR;
  // `len` may be SQL_NTS. False when the bytes are not valid in the client character set.
  static bool in(Handle* h, const SQLCHAR* text, SQLLEN len, std::string& utf8) {
    return from_client(h, text, len, utf8);
  }
  template <typename Len>
  static SQLRETURN out(Handle* h, const std::string& utf8, SQLPOINTER buf, Len buflen, Len* outlen) {
    return put_string(h, to_client(h, utf8), buf, buflen, outlen);
  }
};
// WideText: UTF-16, output lengths in characters or bytes (`Unit`) as the W function counts.
template <WideUnit Unit>
struct WideText {
  using Char = SQLWCHAR;
  static bool in(Handle*, const SQLWCHAR* text, SQLLEN len, std::string& utf8) {
    utf8 = from_wide(text, len);
    return true;
  }
  template <typename Len>
  static SQLRETURN out(Handle* h, const std::string& utf8, SQLPOINTER buf, Len buflen, Len* outlen) {
    return put_wide(h, utf8, buf, buflen, outlen, Unit);
  }
};
using WideChars = WideText<WideUnit::Chars>;
using WideBytes = WideText<WideUnit::Bytes>;

// Runs an entry point's body: clears the handle's diagnostics first and turns exceptions
// into diagnostics (HY001 for lack of memory).
template <typename F>
SQLRETURN guarded(Handle* h, F&& body) {
  h->diag.clear();
  SQLRETURN rc;
  try {
    rc = body();
  } catch (const std::bad_alloc&) {
    rc = h->diag.add(Sqlstate::OutOfMemory);
  } catch (const std::exception& e) {
    rc = h->diag.add(Sqlstate::GeneralError, std::string("internal error: ") + e.what());
  }
  return h->diag.done(rc);
}

// An entry point's body on a handle of the kind it takes: SQL_INVALID_HANDLE for anything else,
// otherwise the body run guarded.
template <typename T, typename F>
SQLRETURN on_handle(SQLHANDLE handle, SQLSMALLINT kind, F&& body) {
  T* h = as<T>(handle, kind);
  if (!h) return SQL_INVALID_HANDLE;
  return guarded(h, [&] { return body(h); });
}
template <typename F>
SQLRETURN on_stmt(SQLHSTMT handle, F&& body) { return on_handle<Stmt>(handle, SQL_HANDLE_STMT, body); }
template <typename F>
SQLRETURN on_dbc(SQLHDBC handle, F&& body) { return on_handle<Dbc>(handle, SQL_HANDLE_DBC, body); }

}  // namespace xlsodbc
