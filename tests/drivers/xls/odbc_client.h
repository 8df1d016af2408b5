// Test helpers: a connection through unixODBC's driver manager to the driver under test,
// reading whole results as text, and the expected values written by xlrd_reference.py.
#pragma once

#include <sql.h>
#include <sqlext.h>

#include <optional>
#include <string>
#include <vector>

namespace xlstest {

using Value = std::optional<std::string>;
using Row = std::vector<Value>;

struct Table {
  std::vector<std::string> names;
  std::vector<Row> rows;
};

struct Diag {
  std::string state;
  std::string message;
};

// The built driver library (absolute path) and a fixture file in the generated folder.
std::string driver_path();
std::string fixture(const std::string& name);
// "DRIVER=<lib>;DBQ=<fixture>" plus extra attributes.
std::string connect_string(const std::string& fixture_name, const std::string& extra = "");

std::vector<Diag> diagnostics(SQLSMALLINT type, SQLHANDLE h);
std::string describe(const std::vector<Diag>& d);

class Connection {
 public:
  Connection();
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  SQLRETURN connect(const std::string& connect_string);
  std::vector<Diag> diag() const { return diagnostics(SQL_HANDLE_DBC, dbc); }
  // Runs `sql` and reads every value with SQLGetData as SQL_C_CHAR in pieces of `chunk`
  // bytes. On failure returns false and fills `error` with the failing step's diagnostics.
  bool query(const std::string& sql, Table& out, std::vector<Diag>* error = nullptr, size_t chunk = 4096);

  SQLHENV env = SQL_NULL_HENV;
  SQLHDBC dbc = SQL_NULL_HDBC;
  bool connected = false;
};

// A statement handle freed at scope end.
struct Statement {
  explicit Statement(const Connection& c);
  ~Statement();
  SQLHSTMT h = SQL_NULL_HSTMT;
};

// Reads a column of the current row whole with SQLGetData in pieces; false for NULL.
SQLRETURN read_value(SQLHSTMT st, SQLUSMALLINT col, Value& out, size_t chunk, std::vector<Diag>* error = nullptr);

Table read_expected(const std::string& fixture_name);
// Compares a result read through the driver with the expected one, value by value (gtest).
void expect_same(const Table& want, const Table& got);
std::string to_charset(const std::string& utf8, const char* charset);
// Every name and value of a table (UTF-8) in another character set.
Table to_charset(Table t, const char* charset);

}  // namespace xlstest
