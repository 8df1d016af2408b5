// Reads every cell of worksheet Sheet1 of a workbook (.xls or .xlsx) through the ODBC driver
// manager and the workbook driver, each value as text with SQLGetData, and prints seconds,
// rows, rows/s and the process's peak resident memory. Shared by the read benchmarks. The
// processor time (user + system) is printed beside the elapsed time: on a machine shared with
// other work it is the steadier of the two.
//
//   read_odbc DRIVER WORKBOOK      (DRIVER: a registered name or the library's path)
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "odbc_client.h"

static double cpu_seconds() {
  rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: read_odbc DRIVER WORKBOOK\n");
    return 2;
  }
  auto start = std::chrono::steady_clock::now();
  double cpu_start = cpu_seconds();
  OdbcClient client;
  if (!client.connect(std::string("DRIVER={") + argv[1] + "};DBQ=" + argv[2], "read_odbc")) return 1;
  SQLHSTMT stmt;
  SQLAllocHandle(SQL_HANDLE_STMT, client.dbc(), &stmt);
  if (!SQL_SUCCEEDED(SQLExecDirect(stmt, (SQLCHAR*)"select * from [Sheet1$]", SQL_NTS))) {
    report_diagnostic("read_odbc", "select", SQL_HANDLE_STMT, stmt);
    return 1;
  }
  SQLSMALLINT columns = 0;
  SQLNumResultCols(stmt, &columns);
  long rows = 0, cells = 0;
  char buf[65536];
  SQLLEN len;
  while (SQL_SUCCEEDED(SQLFetch(stmt))) {
    ++rows;
    for (SQLUSMALLINT c = 1; c <= columns; ++c)
      if (SQL_SUCCEEDED(SQLGetData(stmt, c, SQL_C_CHAR, buf, sizeof buf, &len)) && len != SQL_NULL_DATA) ++cells;
  }
  SQLFreeHandle(SQL_HANDLE_STMT, stmt);
  client.close();
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  double cpu = cpu_seconds() - cpu_start;
  rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  std::printf("driver: %.3f s (cpu %.3f s), %ld rows (%ld non-empty cells), %.0f rows/s, peak RSS %.1f MB\n", seconds,
              cpu, rows, cells, rows / seconds, usage.ru_maxrss / 1024.0);
  return 0;
}
