#include "result_set.h"

#include "workbook/cell_reference.h"
#include "workbook/charset.h"

#include <unordered_map>
#include <unordered_set>

namespace xlsodbc {

std::string ResultSet::describe(size_t row, size_t col) const {
  return "row " + std::to_string(row + 1) + ", column '" + columns_[col].name + "'";
}

void TableResult::add_column(const std::string& name, SQLSMALLINT type, SQLULEN size, SQLSMALLINT nullable) {
  ColumnInfo c;
  c.name = name;
  c.sql_type = type;
  c.size = size;
  c.nullable = nullable;
  columns_.push_back(c);
}

bool TableResult::value(size_t row, size_t col, std::string& out) const {
  const auto& v = rows_[row][col];
  if (!v) return false;
  out += *v;
  return true;
}

bool SheetResult::value(size_t row, size_t col, std::string& out) const {
  const Cell* c = ws_->find(static_cast<uint32_t>(ws_->first_row + 1 + row), sheet_cols_[col]);
  CellText text;
  if (!c || !wb_->cell_text(*ws_, *c, text)) return false;
  out.append(text.text);
  return true;
}

std::string SheetResult::describe(size_t row, size_t col) const {
  return "row " + std::to_string(row + 1) + ", column '" + columns_[col].name + "' (cell " +
         column_letters(sheet_cols_[col]) + std::to_string(ws_->first_row + 2 + row) + " of worksheet '" +
         ws_->name + "')";
}

std::vector<std::string> SheetResult::header_names(const Workbook& wb, const Worksheet& ws) {
  std::vector<std::string> names;
  if (ws.empty) return names;
  for (unsigned c = ws.first_col; c <= ws.last_col; ++c) {
    CellText text;
    const Cell* cell = ws.find(ws.first_row, static_cast<uint16_t>(c));
    if (!cell || !wb.cell_text(ws, *cell, text) || text.text.empty())
      names.push_back("F" + std::to_string(c - ws.first_col + 1));
    else
      names.push_back(utf8_prefix(std::string(text.text), kMaxColumnName));
  }
  // Repeated names get a numeric suffix that no other column has; the name is cut further when
  // name and suffix would pass the limit. The suffixes of a name are tried in order once
  // each: one taken before stays taken.
  std::unordered_set<std::string> originals, used;
  std::unordered_map<std::string, unsigned> last_suffix;
  originals.reserve(names.size());
  for (const auto& n : names) originals.insert(fold_case(n));
  for (auto& n : names) {
    std::string key = fold_case(n);
    if (used.insert(key).second) continue;
    for (unsigned& k = last_suffix[key];;) {
      std::string suffix = std::to_string(++k);
      std::string cand = utf8_prefix(n, kMaxColumnName - suffix.size()) + suffix;
      std::string ck = fold_case(cand);
      if (!originals.count(ck) && used.insert(ck).second) {
        n = std::move(cand);
        break;
      }
    }
  }
  return names;
}

SheetColumns SheetResult::columns_of(const Workbook& wb, const Worksheet& ws) {
  SheetColumns columns;
  columns.names = header_names(wb, ws);
  columns.sizes.assign(columns.names.size(), 1);
  CellText text;
  for (size_t k = ws.row_start.empty() ? 0 : ws.row_start[1]; k < ws.cells.size(); ++k) {
    const Cell& c = ws.cells[k];
    if (!wb.cell_text(ws, c, text)) continue;
    SQLULEN& l = columns.sizes[c.col - ws.first_col];
    if (text.length > l) l = text.length;
  }
  return columns;
}

std::unique_ptr<SheetResult> SheetResult::build(std::shared_ptr<const Workbook> wb,
                                                std::shared_ptr<const Worksheet> ws, const SheetColumns& columns,
                                                const SelectStatement& stmt, Sqlstate& state,
                                                std::string& error) {
  if (ws->empty) {
    state = Sqlstate::GeneralError;
    error = "worksheet '" + ws->name + "' is empty: its first row must hold the column names";
    return nullptr;
  }
  const std::vector<std::string>& names = columns.names;
  std::vector<uint16_t> picked;
  if (stmt.all_columns) {
    for (size_t i = 0; i < names.size(); ++i) picked.push_back(static_cast<uint16_t>(i));
  } else {
    std::unordered_map<std::string, uint16_t> index;
    for (size_t i = 0; i < names.size(); ++i) index.emplace(fold_case(names[i]), static_cast<uint16_t>(i));
    for (const std::string& want : stmt.columns) {
      auto it = index.find(fold_case(want));
      if (it == index.end()) {
        state = Sqlstate::ColumnNotFound;
        error = "column '" + want + "' not found in worksheet '" + ws->name + "' (its columns are: ";
        for (size_t i = 0; i < names.size() && i < 30; ++i) error += (i ? ", " : "") + names[i];
        if (names.size() > 30) error += ", ...";
        error += ")";
        return nullptr;
      }
      picked.push_back(it->second);
    }
  }
  auto r = std::unique_ptr<SheetResult>(new SheetResult());
  r->rows_ = ws->last_row - ws->first_row;
  for (uint16_t p : picked) {
    ColumnInfo ci;
    ci.name = names[p];
    ci.size = columns.sizes[p];
    ci.table = ws->name + "$";
    r->columns_.push_back(ci);
    r->sheet_cols_.push_back(static_cast<uint16_t>(ws->first_col + p));
  }
  r->wb_ = std::move(wb);
  r->ws_ = std::move(ws);
  return r;
}

}  // namespace xlsodbc
