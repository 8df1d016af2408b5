#include "odbc_client.h"

#include <cstdio>

void report_diagnostic(const char* program, const std::string& what, SQLSMALLINT type, SQLHANDLE handle) {
  SQLCHAR state[6] = "", text[1024] = "";
  SQLINTEGER native = 0;
  SQLSMALLINT length = 0;
  SQLGetDiagRec(type, handle, 1, state, &native, text, sizeof text, &length);
  std::fprintf(stderr, "%s: %s: [%s] %s\n", program, what.c_str(), reinterpret_cast<char*>(state),
               reinterpret_cast<char*>(text));
}

bool OdbcClient::connect(const std::string& connection, const char* program) {
  SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env_);
  SQLSetEnvAttr(env_, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  SQLAllocHandle(SQL_HANDLE_DBC, env_, &dbc_);
  std::string text = connection;  // the driver manager takes a non-const string
  connected_ = SQL_SUCCEEDED(SQLDriverConnect(dbc_, nullptr, reinterpret_cast<SQLCHAR*>(&text[0]), SQL_NTS,
                                              nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT));
  if (!connected_) report_diagnostic(program, "cannot connect", SQL_HANDLE_DBC, dbc_);
  return connected_;
}

void OdbcClient::close() {
  if (connected_) SQLDisconnect(dbc_);
  if (dbc_ != SQL_NULL_HDBC) SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
  if (env_ != SQL_NULL_HENV) SQLFreeHandle(SQL_HANDLE_ENV, env_);
  connected_ = false;
  dbc_ = SQL_NULL_HDBC;
  env_ = SQL_NULL_HENV;
}
