// The SQL Server type of a column, read from its declared type in the SQLite schema: a SQL
// Server type name with its length or precision ("decimal(10,2)", "nvarchar(50)"), followed by
// the word IDENTITY (optionally "identity(seed,increment)") for the table's identity column.
// A character or binary type declared without a length holds any length (what SQL Server
// writes as "max").
#pragma once
#include <cstdint>
#include <string>

namespace standin {

enum class TypeKind {
  TinyInt, SmallInt, Int, BigInt, Bit,
  Decimal, Money, Float,
  DateTime, SmallDateTime, Date, Time, DateTime2,
  Char, NChar, Text,
  UniqueIdentifier, Binary, Timestamp, SqlVariant, Other
};

struct ColumnType {
  std::string name;  // lower-case SQL Server type name, e.g. "nvarchar"
  TypeKind kind = TypeKind::Other;
  int xtype = 0;
  int64_t length = -1;  // characters (n... types: UTF-16 units) or bytes; -1 = no limit
  int precision = 0;
  int scale = 0;
  bool fixed = false;     // char, nchar, binary: padded to their length
  bool national = false;  // nchar, nvarchar, ntext
  bool identity = false;
  int64_t seed = 1;
  int64_t increment = 1;
};

ColumnType parse_column_type(const std::string& declared);

// Integer range of tinyint, smallint, int and bigint.
void integer_range(TypeKind kind, int64_t& low, int64_t& high);

}  // namespace standin
