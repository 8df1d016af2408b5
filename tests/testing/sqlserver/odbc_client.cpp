#include "odbc_client.h"

#include <algorithm>

namespace {

void diagnostics(SQLSMALLINT type, SQLHANDLE handle, Outcome& out) {
  SQLCHAR state[6], text[1024];
  SQLINTEGER native;
  SQLSMALLINT length;
  for (SQLSMALLINT i = 1; SQLGetDiagRec(type, handle, i, state, &native, text, sizeof text,
                                        &length) == SQL_SUCCESS;
       ++i) {
    out.errors.push_back(native);
    if (out.message.empty()) out.message = reinterpret_cast<char*>(text);
  }
}

}  // namespace

bool Outcome::has(int number) const {
  return std::find(errors.begin(), errors.end(), number) != errors.end();
}

OdbcClient::OdbcClient() {
  SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env_);
  SQLSetEnvAttr(env_, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  SQLAllocHandle(SQL_HANDLE_DBC, env_, &dbc_);
  SQLSetConnectAttr(dbc_, SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(5), 0);
}

OdbcClient::~OdbcClient() {
  if (connected_) SQLDisconnect(dbc_);
  SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
  SQLFreeHandle(SQL_HANDLE_ENV, env_);
}

Outcome OdbcClient::connect(const std::string& connection_string) {
  Outcome out;
  SQLCHAR buffer[1024];
  SQLSMALLINT length;
  SQLRETURN rc = SQLDriverConnect(
      dbc_, nullptr, reinterpret_cast<SQLCHAR*>(const_cast<char*>(connection_string.c_str())),
      SQL_NTS, buffer, sizeof buffer, &length, SQL_DRIVER_NOPROMPT);
  out.ok = SQL_SUCCEEDED(rc);
  connected_ = out.ok;
  diagnostics(SQL_HANDLE_DBC, dbc_, out);
  return out;
}

Outcome OdbcClient::run(const std::string& sql) {
  Outcome out;
  SQLHSTMT st;
  SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &st);
  SQLRETURN rc = SQLExecDirect(st, reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.c_str())),
                               SQL_NTS);
  out.ok = SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA;
  diagnostics(SQL_HANDLE_STMT, st, out);
  if (out.ok) {
    SQLLEN count = -1;
    SQLRowCount(st, &count);
    out.row_count = count;
    SQLSMALLINT columns = 0;
    SQLNumResultCols(st, &columns);
    for (SQLSMALLINT c = 1; c <= columns; ++c) {
      SQLCHAR name[256];
      SQLSMALLINT len, type, digits, nullable;
      SQLULEN size;
      SQLDescribeCol(st, c, name, sizeof name, &len, &type, &size, &digits, &nullable);
      out.columns.push_back(reinterpret_cast<char*>(name));
    }
    while (columns > 0 && SQL_SUCCEEDED(rc = SQLFetch(st))) {
      Row row;
      for (SQLSMALLINT c = 1; c <= columns; ++c) {
        std::string value;
        char chunk[4096];
        SQLLEN indicator = 0;
        bool null = false;
        while (true) {
          SQLRETURN g = SQLGetData(st, c, SQL_C_CHAR, chunk, sizeof chunk, &indicator);
          if (g == SQL_NO_DATA) break;
          if (!SQL_SUCCEEDED(g)) break;
          if (indicator == SQL_NULL_DATA) {
            null = true;
            break;
          }
          value += chunk;
          if (g == SQL_SUCCESS) break;
        }
        row.push_back(null ? std::nullopt : std::optional<std::string>(value));
      }
      out.rows.push_back(std::move(row));
    }
    if (rc != SQL_NO_DATA && columns > 0) {
      out.ok = false;
      diagnostics(SQL_HANDLE_STMT, st, out);
    }
    // Later statements of the batch: their errors count too.
    while ((rc = SQLMoreResults(st)) != SQL_NO_DATA) {
      if (!SQL_SUCCEEDED(rc)) {
        out.ok = false;
        diagnostics(SQL_HANDLE_STMT, st, out);
        break;
      }
    }
  }
  SQLFreeHandle(SQL_HANDLE_STMT, st);
  return out;
}

std::optional<std::string> OdbcClient::value(const std::string& sql) {
  Outcome out = run(sql);
  if (out.rows.empty() || out.rows[0].empty()) return std::nullopt;
  return out.rows[0][0];
}
