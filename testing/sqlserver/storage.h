// One database: a SQLite file whose schema is the truth about its tables. Column types are
// SQL Server type names (see column_type.h); values are stored as value_convert.h describes.
#pragma once
#include <sqlite3.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "column_type.h"
#include "value_convert.h"

namespace standin {

struct ColumnInfo {
  std::string name;
  std::string declared;
  ColumnType type;
  bool not_null = false;
  bool has_default = false;
};

struct TableInfo {
  std::string name;
  int64_t id = 0;  // object id as sysobjects shows it
  std::vector<ColumnInfo> columns;
  int identity = -1;   // index of the identity column
  int timestamp = -1;  // index of the timestamp column
  int find_column(const std::string& name) const;  // case-insensitive; -1 when absent
};

class Database {
 public:
  // Opens (creating when `create`) the file; ":memory:" gives an empty database. Throws
  // std::runtime_error when the file cannot be opened.
  Database(const std::string& name, const std::string& path);
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  const std::string& name() const { return name_; }

  // User tables (SQLite's own excluded), refreshed when the schema has changed.
  const std::vector<TableInfo>& tables();
  const TableInfo* find_table(const std::string& name);
  const TableInfo* find_table_by_id(int64_t id);

  // Inserts one row: `columns` are indexes into table.columns, `values` their values; the
  // identity and timestamp columns are filled here. Returns the identity value given (0 when
  // the table has none). Throws SqlError for what the database refuses.
  int64_t insert(const TableInfo& table, const std::vector<int>& columns,
                 const std::vector<StoredValue>& values);

  std::vector<std::vector<StoredValue>> rows(const TableInfo& table);

  // Runs a statement SQLite understands as written (CREATE TABLE, DROP TABLE, DELETE ...);
  // returns the number of rows it changed.
  int64_t execute(const std::string& sql);

  void begin();
  void commit();
  void rollback();
  bool in_transaction() const { return user_transaction_; }

 private:
  sqlite3_stmt* prepare(const std::string& sql);
  sqlite3_stmt* cached(const std::string& sql);
  void refresh_schema();
  void load_schema();
  int64_t next_identity(const TableInfo& table);
  [[noreturn]] void raise(int rc, const std::string& context);

  std::string name_;
  sqlite3* db_ = nullptr;
  std::vector<TableInfo> tables_;
  int64_t schema_version_ = -1;
  int64_t data_version_ = -1;
  bool user_transaction_ = false;
  std::map<std::string, sqlite3_stmt*> statements_;
  std::map<std::string, int64_t> last_identity_;  // by table name, lower case
};

}  // namespace standin
