// A small ODBC client over unixODBC and the FreeTDS driver, as the tests use it.
#pragma once
#include <sql.h>
#include <sqlext.h>

#include <optional>
#include <string>
#include <vector>

using Row = std::vector<std::optional<std::string>>;

struct Outcome {
  bool ok = false;
  std::vector<Row> rows;
  std::vector<std::string> columns;
  std::vector<int> errors;  // native error numbers of the diagnostic records
  std::string message;      // the first diagnostic's text
  long row_count = -1;
  bool has(int number) const;
};

class OdbcClient {
 public:
  OdbcClient();
  ~OdbcClient();
  OdbcClient(const OdbcClient&) = delete;
  OdbcClient& operator=(const OdbcClient&) = delete;

  Outcome connect(const std::string& connection_string);
  Outcome run(const std::string& sql);
  // The first column of the first row, for one-value queries.
  std::optional<std::string> value(const std::string& sql);

 private:
  SQLHENV env_ = SQL_NULL_HENV;
  SQLHDBC dbc_ = SQL_NULL_HDBC;
  bool connected_ = false;
};
