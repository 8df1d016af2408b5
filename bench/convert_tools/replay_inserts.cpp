// The native floor of bench/convert: sends the insert statements the stand-in recorded from
// the program (--log-statements), unchanged and in order, from one ODBC connection through
// unixODBC and FreeTDS, one SQLExecDirect per statement. Prints how many and how long.
//
//   replay_inserts "CONNECTION STRING" STATEMENT-LOG
#include <strings.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "odbc_client.h"
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

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s CONNECTION-STRING STATEMENT-LOG\n", argv[0]);
    return 2;
  }
  std::vector<std::string> inserts = read_inserts(argv[2]);
  OdbcClient client;
  if (!client.connect(argv[1], "replay_inserts")) return 1;
  SQLHSTMT st;
  SQLAllocHandle(SQL_HANDLE_STMT, client.dbc(), &st);
  auto start = std::chrono::steady_clock::now();
  for (std::string& sql : inserts) {
    SQLRETURN rc = SQLExecDirect(st, reinterpret_cast<SQLCHAR*>(&sql[0]), static_cast<SQLINTEGER>(sql.size()));
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) {
      report_diagnostic("replay_inserts", sql, SQL_HANDLE_STMT, st);
      return 1;
    }
    SQLFreeStmt(st, SQL_CLOSE);
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("native: %zu inserts in %.3f s\n", inserts.size(), seconds);
  SQLFreeHandle(SQL_HANDLE_STMT, st);
  return 0;
}
