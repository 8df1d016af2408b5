// Reads every cell of worksheet Sheet1 of a workbook through the ODBC driver manager and the
// .xls driver, each value as text with SQLGetData, and prints seconds, rows, rows/s and the
// process's peak resident memory.
#include <sql.h>
#include <sqlext.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: read_odbc DRIVER-NAME WORKBOOK\n");
        return 2;
    }
    auto start = std::chrono::steady_clock::now();
    SQLHENV env;
    SQLHDBC dbc;
    SQLHSTMT stmt;
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
    std::string connect = std::string("DRIVER={") + argv[1] + "};DBQ=" + argv[2];
    SQLRETURN rc = SQLDriverConnect(dbc, nullptr, (SQLCHAR*)connect.c_str(), SQL_NTS, nullptr, 0, nullptr,
                                    SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
        std::fprintf(stderr, "connect failed\n");
        return 1;
    }
    SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt);
    if (!SQL_SUCCEEDED(SQLExecDirect(stmt, (SQLCHAR*)"select * from [Sheet1$]", SQL_NTS))) {
        std::fprintf(stderr, "select failed\n");
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
    SQLDisconnect(dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    std::printf("driver: %.3f s, %ld rows (%ld non-empty cells), %.0f rows/s, peak RSS %.1f MB\n", seconds, rows, cells,
                rows / seconds, usage.ru_maxrss / 1024.0);
    return 0;
}
