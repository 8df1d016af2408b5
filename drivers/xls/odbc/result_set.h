// What a statement returns: column descriptions and values as UTF-8 text. Worksheet results
// come from the cells of a sheet; catalog results (type info, tables) from in-memory rows.
#pragma once

#include "diagnostics.h"
#include "sql_parser.h"
#include "workbook/workbook.h"

#include <sql.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace xlsodbc {

// The longest column name in characters (the limit desktop database engines put on a column
// name); longer header texts are cut to it.
constexpr size_t kMaxColumnName = 64;

struct ColumnInfo {
  std::string name;
  SQLSMALLINT sql_type = SQL_VARCHAR;
  SQLULEN size = 255;  // characters
  SQLSMALLINT decimal_digits = 0;
  SQLSMALLINT nullable = SQL_NULLABLE;
  std::string table;
};

class ResultSet {
 public:
  virtual ~ResultSet() = default;
  const std::vector<ColumnInfo>& columns() const { return columns_; }
  virtual size_t row_count() const = 0;
  // The value at a 0-based row and column as UTF-8 text; false for NULL.
  virtual bool value(size_t row, size_t col, std::string& out) const = 0;
  // Names a value's place for messages.
  virtual std::string describe(size_t row, size_t col) const;

 protected:
  std::vector<ColumnInfo> columns_;
};

// Rows held in memory (catalog functions).
class TableResult : public ResultSet {
 public:
  void add_column(const std::string& name, SQLSMALLINT type = SQL_VARCHAR, SQLULEN size = 128,
                  SQLSMALLINT nullable = SQL_NULLABLE);
  void add_row(std::vector<std::optional<std::string>> row) { rows_.push_back(std::move(row)); }
  size_t row_count() const override { return rows_.size(); }
  bool value(size_t row, size_t col, std::string& out) const override;

 private:
  std::vector<std::vector<std::optional<std::string>>> rows_;
};

// The columns of a worksheet's table, worked out once when the worksheet is loaded.
struct SheetColumns {
  std::vector<std::string> names;  // SheetResult::header_names()
  std::vector<SQLULEN> sizes;      // the length in characters of the column's longest value (at least 1)
};

// The rows of a worksheet below its header row.
class SheetResult : public ResultSet {
 public:
  size_t row_count() const override { return rows_; }
  bool value(size_t row, size_t col, std::string& out) const override;
  std::string describe(size_t row, size_t col) const override;

  // Builds the result of `stmt` over a loaded worksheet. On failure returns nullptr with an
  // SQLSTATE (ColumnNotFound, GeneralError for an empty worksheet) and a message.
  static std::unique_ptr<SheetResult> build(std::shared_ptr<const Workbook> wb,
                                            std::shared_ptr<const Worksheet> ws, const SheetColumns& columns,
                                            const SelectStatement& stmt, Sqlstate& state,
                                            std::string& error);

  // The names and sizes of a worksheet's columns (none for an empty worksheet).
  static SheetColumns columns_of(const Workbook& wb, const Worksheet& ws);

  // The column names of a worksheet's header row: F1, F2 ... for empty ones, cut to
  // kMaxColumnName characters, then made unique with a number that stays within the limit.
  // Takes time in proportion to the number of columns, however many names repeat.
  static std::vector<std::string> header_names(const Workbook& wb, const Worksheet& ws);

 private:
  std::shared_ptr<const Workbook> wb_;
  std::shared_ptr<const Worksheet> ws_;
  std::vector<uint16_t> sheet_cols_;  // absolute column of each result column
  size_t rows_ = 0;
};

}  // namespace xlsodbc
