// Measures single-row inserts a second from one ODBC client through FreeTDS, with statements
// shaped like the conversion run's. Used by bench/standin_inserts.
//
//   sqlserver-standin-insert-rate "CONNECTION STRING" ROWS
#include <sql.h>
#include <sqlext.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

bool run(SQLHDBC dbc, const std::string& sql) {
  SQLHSTMT st;
  SQLAllocHandle(SQL_HANDLE_STMT, dbc, &st);
  SQLRETURN rc = SQLExecDirect(st, reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.c_str())),
                               SQL_NTS);
  if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) {
    SQLCHAR state[6], text[512];
    SQLINTEGER native;
    SQLSMALLINT len;
    SQLGetDiagRec(SQL_HANDLE_STMT, st, 1, state, &native, text, sizeof text, &len);
    std::fprintf(stderr, "%s: %s\n", sql.c_str(), text);
  }
  SQLFreeHandle(SQL_HANDLE_STMT, st);
  return SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s CONNECTION-STRING ROWS\n", argv[0]);
    return 2;
  }
  int rows = std::atoi(argv[2]);
  SQLHENV env;
  SQLHDBC dbc;
  SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
  SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
  SQLRETURN rc = SQLDriverConnect(dbc, nullptr, reinterpret_cast<SQLCHAR*>(argv[1]), SQL_NTS,
                                  nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
  if (!SQL_SUCCEEDED(rc)) {
    std::fprintf(stderr, "cannot connect\n");
    return 1;
  }
  if (!run(dbc, "create table Bench (id int identity(1,1) not null, 编号 int, 姓名 nvarchar(50), "
                "入职日期 datetime, 工资 decimal(10,2), Note varchar(200))"))
    return 1;
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < rows; ++i) {
    std::string sql = "insert into Bench(编号,姓名,入职日期,工资,Note) values(" +
                      std::to_string(i) + ",N'张三" + std::to_string(i % 97) +
                      "','2004-01-02T10:00:00'," + std::to_string(1000 + i % 5000) +
                      ".50,'row " + std::to_string(i) + "');";
    if (!run(dbc, sql)) return 1;
  }
  double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%d single-row inserts in %.2f s: %.0f inserts/s\n", rows, seconds,
              rows / seconds);
  SQLDisconnect(dbc);
  SQLFreeHandle(SQL_HANDLE_DBC, dbc);
  SQLFreeHandle(SQL_HANDLE_ENV, env);
  return 0;
}
