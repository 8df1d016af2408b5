// Turns a literal of an insert statement into the value stored for a column of a given SQL
// Server type, refusing what SQL Server refuses with its error number and wording, and turns a
// stored value back into the text the server shows for it.
//
// Storage in SQLite: integer types and bit as INTEGER; float and real as REAL; decimal,
// numeric, money and smallmoney as their canonical digits ("1234.50") in a BLOB, because a
// column declared decimal has NUMERIC affinity and SQLite would round the text through a
// double; sql_variant likewise as text in a BLOB; dates as ISO text
// ("2004-01-01 13:05:00.000" for datetime, "2004-01-01 13:05:00" for smalldatetime);
// uniqueidentifier as upper-case text; char and nchar padded with spaces to their length;
// binary types and timestamp as BLOB (shown as 0x... hex).
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "column_type.h"

namespace standin {

struct Literal {
  enum class Kind { Null, String, NString, Number, Binary, Default };
  Kind kind = Kind::Null;
  std::string text;  // strings in UTF-8, numbers as written, binary as hex digits
};

struct StoredValue {
  enum class Kind { Null, Integer, Real, Text, Blob };
  Kind kind = Kind::Null;
  int64_t integer = 0;
  double real = 0;
  std::string bytes;  // Text (UTF-8) or Blob
};

// Throws SqlError when the value does not fit the column.
StoredValue convert_literal(const Literal& value, const ColumnType& type);

// The text SQL Server would show for a stored value; nullopt for NULL.
std::optional<std::string> stored_text(const StoredValue& value, const ColumnType& type);

// Hex digits to bytes (an odd count gets a leading zero, as SQL Server reads 0xABC).
std::string hex_to_bytes(const std::string& hex);

}  // namespace standin
