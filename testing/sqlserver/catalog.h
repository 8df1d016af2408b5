// The system tables the catalogue queries read, built from a database's SQLite schema:
// sysobjects (one row per user table, xtype 'U') and syscolumns (one row per column, with the
// SQL Server xtype of its declared type).
#pragma once
#include <string>
#include <vector>

#include "storage.h"
#include "tokens.h"

namespace standin {

struct RowSource {
  std::vector<std::string> names;
  std::vector<std::vector<Cell>> rows;
  int find(const std::string& name) const;  // case-insensitive; -1 when absent
};

// True when the name is one of the system tables below.
bool is_catalog_table(const std::string& schema, const std::string& object);

// Rows of sysobjects or syscolumns (chosen by `object`).
RowSource catalog_rows(Database& db, const std::string& object);

// Bytes a column of the type takes, as syscolumns.length shows it.
int column_length(const ColumnType& type);

Cell integer_cell(int64_t v);
Cell text_cell(const std::string& s);

}  // namespace standin
