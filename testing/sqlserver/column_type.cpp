#include "column_type.h"

#include <cstdlib>
#include <vector>

#include "text.h"

namespace standin {

namespace {

struct Known {
  const char* name;
  TypeKind kind;
  int xtype;
};

const Known kKnown[] = {
    {"tinyint", TypeKind::TinyInt, 48},       {"smallint", TypeKind::SmallInt, 52},
    {"int", TypeKind::Int, 56},               {"integer", TypeKind::Int, 56},
    {"bigint", TypeKind::BigInt, 127},        {"bit", TypeKind::Bit, 104},
    {"decimal", TypeKind::Decimal, 106},      {"numeric", TypeKind::Decimal, 108},
    {"money", TypeKind::Money, 60},           {"smallmoney", TypeKind::Money, 122},
    {"float", TypeKind::Float, 62},           {"real", TypeKind::Float, 59},
    {"datetime", TypeKind::DateTime, 61},     {"smalldatetime", TypeKind::SmallDateTime, 58},
    {"date", TypeKind::Date, 40},             {"time", TypeKind::Time, 41},
    {"datetime2", TypeKind::DateTime2, 42},   {"datetimeoffset", TypeKind::Other, 43},
    {"char", TypeKind::Char, 175},            {"varchar", TypeKind::Char, 167},
    {"nchar", TypeKind::NChar, 239},          {"nvarchar", TypeKind::NChar, 231},
    {"sysname", TypeKind::NChar, 231},        {"text", TypeKind::Text, 35},
    {"ntext", TypeKind::Text, 99},            {"uniqueidentifier", TypeKind::UniqueIdentifier, 36},
    {"binary", TypeKind::Binary, 173},        {"varbinary", TypeKind::Binary, 165},
    {"image", TypeKind::Binary, 34},          {"timestamp", TypeKind::Timestamp, 189},
    {"rowversion", TypeKind::Timestamp, 189}, {"sql_variant", TypeKind::SqlVariant, 98},
    {"xml", TypeKind::Other, 241},            {"hierarchyid", TypeKind::Other, 240},
    {"geometry", TypeKind::Other, 240},       {"geography", TypeKind::Other, 240},
};

// Splits "decimal(10, 2) identity(1,1)" into words and the numbers after each word.
struct Word {
  std::string text;
  std::vector<std::string> args;
};

std::vector<Word> words_of(const std::string& declared) {
  std::vector<Word> words;
  size_t i = 0;
  while (i < declared.size()) {
    char c = declared[i];
    if (c == '(') {
      size_t end = declared.find(')', i);
      if (end == std::string::npos) end = declared.size();
      std::string inside = declared.substr(i + 1, end - i - 1);
      std::vector<std::string> args;
      size_t start = 0;
      while (start <= inside.size()) {
        size_t comma = inside.find(',', start);
        if (comma == std::string::npos) comma = inside.size();
        std::string arg = inside.substr(start, comma - start);
        size_t a = arg.find_first_not_of(" \t"), b = arg.find_last_not_of(" \t");
        args.push_back(a == std::string::npos ? "" : arg.substr(a, b - a + 1));
        start = comma + 1;
      }
      if (!words.empty()) words.back().args = args;
      i = end + 1;
    } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
      ++i;
    } else {
      size_t start = i;
      while (i < declared.size() && declared[i] != '(' && declared[i] != ' ' &&
             declared[i] != '\t' && declared[i] != '\n' && declared[i] != '\r')
        ++i;
      std::string w = declared.substr(start, i - start);
      if (w.size() >= 2 && w.front() == '[' && w.back() == ']') w = w.substr(1, w.size() - 2);
      words.push_back(Word{ascii_lower(w), {}});
    }
  }
  return words;
}

int64_t number(const std::string& text, int64_t fallback) {
  if (text.empty()) return fallback;
  if (ascii_lower(text) == "max") return -1;
  return std::strtoll(text.c_str(), nullptr, 10);
}

}  // namespace

ColumnType parse_column_type(const std::string& declared) {
  ColumnType t;
  std::vector<Word> words = words_of(declared);
  for (const Word& w : words)
    if (w.text == "identity") {
      t.identity = true;
      if (w.args.size() >= 1) t.seed = number(w.args[0], 1);
      if (w.args.size() >= 2) t.increment = number(w.args[1], 1);
    }
  if (words.empty()) return t;
  const Word& base = words.front();
  t.name = base.text;
  for (const Known& k : kKnown)
    if (base.text == k.name) {
      t.kind = k.kind;
      t.xtype = k.xtype;
    }
  if (t.name == "integer") t.name = "int";
  auto arg = [&](size_t i, int64_t fallback) {
    return i < base.args.size() ? number(base.args[i], fallback) : fallback;
  };
  switch (t.kind) {
    case TypeKind::Decimal:
      t.precision = static_cast<int>(arg(0, 18));
      t.scale = static_cast<int>(arg(1, 0));
      break;
    case TypeKind::Money:
      t.precision = t.name == "money" ? 19 : 10;
      t.scale = 4;
      break;
    case TypeKind::Float:
      if (t.name == "float" && arg(0, 53) <= 24) {
        t.name = "real";
        t.xtype = 59;
      }
      break;
    case TypeKind::Time:
    case TypeKind::DateTime2:
      t.scale = static_cast<int>(arg(0, 7));
      break;
    case TypeKind::Char:
    case TypeKind::NChar:
    case TypeKind::Binary:
      t.national = t.kind == TypeKind::NChar;
      t.fixed = t.name == "char" || t.name == "nchar" || t.name == "binary";
      t.length = t.name == "sysname" ? 128 : t.name == "image" ? -1 : arg(0, t.fixed ? 1 : -1);
      break;
    case TypeKind::Text:
      t.national = t.name == "ntext";
      break;
    default:
      break;
  }
  return t;
}

void integer_range(TypeKind kind, int64_t& low, int64_t& high) {
  switch (kind) {
    case TypeKind::TinyInt: low = 0; high = 255; break;
    case TypeKind::SmallInt: low = -32768; high = 32767; break;
    case TypeKind::Int: low = -2147483648LL; high = 2147483647LL; break;
    default: low = INT64_MIN; high = INT64_MAX; break;
  }
}

}  // namespace standin
