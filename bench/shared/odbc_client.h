// The benchmarks' native ODBC client: one connection through the driver manager (unixODBC),
// and failures told with the driver's own first diagnostic record, so that a failed run says
// why.
#pragma once

#include <sql.h>
#include <sqlext.h>

#include <string>

// Prints "program: what: [SQLSTATE] message" from the first diagnostic record of a handle.
void report_diagnostic(const char* program, const std::string& what, SQLSMALLINT type, SQLHANDLE handle);

class OdbcClient {
 public:
  // Connects with a whole connection string; on failure reports why and returns false.
  bool connect(const std::string& connection, const char* program);
  SQLHDBC dbc() const { return dbc_; }
  // Disconnects and frees the handles (also done on destruction); lets a benchmark count the
  // close in its time.
  void close();
  ~OdbcClient() { close(); }

 private:
  SQLHENV env_ = SQL_NULL_HENV;
  SQLHDBC dbc_ = SQL_NULL_HDBC;
  bool connected_ = false;
};
