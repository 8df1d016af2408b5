// The native floor of bench/convert: sends the insert statements the stand-in recorded from
// the program (--log-statements), unchanged and in order, from one ODBC connection through
// unixODBC and FreeTDS, one SQLExecDirect per statement. Prints how many and how long.
//
//   replay_inserts "CONNECTION STRING" STATEMENT-LOG
#include <sql.h>
#include <sqlext.h>
#include <strings.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "statement_log.h"

namespace {

// The batches of the log that are inserts.
std::vector<std::string> read_inserts(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> inserts;
  for (std::string& batch : standin::read_statement_log(in))
    if (strncasecmp(batch.c_str(), "insert", 6) == 0) inserts.push_back(batch);
  return inserts;
}

void report(SQLSMALLINT type, SQLHANDLE handle, const std::string& what) {
  SQLCHAR state[6] = "", text[512] = "";
  SQLINTEGER native = 0;
  SQLSMALLINT len = 0;
  SQLGetDiagRec(type, handle, 1, state, &native, text, sizeof text, &len);
  std::fprintf(stderr, "replay_inserts: %s: %s\n", what.c_str(), reinterpret_cast<char*>(text));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s CONNECTION-STRING STATEMENT-LOG\n", argv[0]);
    return 2;
  }
  std::vector<std::string> inserts = read_inserts(argv[2]);
  SQLHENV env;
  SQLHDBC dbc;
  SQLHSTMT st;
  SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
  SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
  if (!SQL_SUCCEEDED(SQLDriverConnect(dbc, nullptr, reinterpret_cast<SQLCHAR*>(argv[1]), SQL_NTS,
                                      nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT))) {
    report(SQL_HANDLE_DBC, dbc, "cannot connect");
    return 1;
  }
  SQLAllocHandle(SQL_HANDLE_STMT, dbc, &st);
  auto start = std::chrono::steady_clock::now();
  for (std::string& sql : inserts) {
    SQLRETURN rc = SQLExecDirect(st, reinterpret_cast<SQLCHAR*>(&sql[0]), static_cast<SQLINTEGER>(sql.size()));
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) {
      report(SQL_HANDLE_STMT, st, sql);
      return 1;
    }
    SQLFreeStmt(st, SQL_CLOSE);
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("native: %zu inserts in %.3f s\n", inserts.size(), seconds);
  SQLFreeHandle(SQL_HANDLE_STMT, st);
  SQLDisconnect(dbc);
  SQLFreeHandle(SQL_HANDLE_DBC, dbc);
  SQLFreeHandle(SQL_HANDLE_ENV, env);
  return 0;
}
