#include "catalog.h"

#include "text.h"

namespace standin {

Cell integer_cell(int64_t v) {
  Cell c;
  c.null = false;
  c.is_integer = true;
  c.integer = v;
  return c;
}

Cell text_cell(const std::string& s) {
  Cell c;
  c.null = false;
  c.text = s;
  return c;
}

int RowSource::find(const std::string& name) const {
  for (size_t i = 0; i < names.size(); ++i)
    if (iequals(names[i], name)) return static_cast<int>(i);
  return -1;
}

bool is_catalog_table(const std::string& schema, const std::string& object) {
  if (!schema.empty() && !iequals(schema, "dbo") && !iequals(schema, "sys")) return false;
  return iequals(object, "sysobjects") || iequals(object, "syscolumns");
}

int column_length(const ColumnType& t) {
  switch (t.kind) {
    case TypeKind::TinyInt: case TypeKind::Bit: return 1;
    case TypeKind::SmallInt: return 2;
    case TypeKind::Int: return 4;
    case TypeKind::BigInt: return 8;
    case TypeKind::Decimal:
      return t.precision <= 9 ? 5 : t.precision <= 19 ? 9 : t.precision <= 28 ? 13 : 17;
    case TypeKind::Money: return t.name == "money" ? 8 : 4;
    case TypeKind::Float: return t.name == "real" ? 4 : 8;
    case TypeKind::DateTime: return 8;
    case TypeKind::SmallDateTime: return 4;
    case TypeKind::Date: return 3;
    case TypeKind::Time: return 5;
    case TypeKind::DateTime2: return 8;
    case TypeKind::Char: case TypeKind::Binary:
      return t.name == "image" ? 16 : t.length < 0 ? -1 : static_cast<int>(t.length);
    case TypeKind::NChar: return t.length < 0 ? -1 : static_cast<int>(t.length * 2);
    case TypeKind::Text: return 16;
    case TypeKind::UniqueIdentifier: return 16;
    case TypeKind::Timestamp: return 8;
    case TypeKind::SqlVariant: return 8016;
    case TypeKind::Other: return -1;
  }
  return -1;
}

RowSource catalog_rows(Database& db, const std::string& object) {
  RowSource out;
  const std::vector<TableInfo>& tables = db.tables();
  if (iequals(object, "sysobjects")) {
    out.names = {"name", "id", "xtype", "type", "uid", "parent_obj"};
    for (const TableInfo& t : tables)
      out.rows.push_back({text_cell(t.name), integer_cell(t.id), text_cell("U"), text_cell("U"),
                          integer_cell(1), integer_cell(0)});
    return out;
  }
  out.names = {"name", "id", "xtype", "length", "colid", "colorder", "prec", "scale",
               "isnullable", "status", "usertype"};
  for (const TableInfo& t : tables)
    for (size_t i = 0; i < t.columns.size(); ++i) {
      const ColumnInfo& c = t.columns[i];
      out.rows.push_back({text_cell(c.name), integer_cell(t.id), integer_cell(c.type.xtype),
                          integer_cell(column_length(c.type)), integer_cell(i + 1),
                          integer_cell(i + 1), integer_cell(c.type.precision),
                          integer_cell(c.type.scale), integer_cell(c.not_null ? 0 : 1),
                          integer_cell(c.type.identity ? 0x80 : c.not_null ? 0 : 8),
                          integer_cell(0)});
    }
  return out;
}

}  // namespace standin
