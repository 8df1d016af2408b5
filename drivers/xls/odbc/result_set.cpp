#include "result_set.h"

#include "workbook/cell_reference.h"
#include "workbook/charset.h"

#include <set>
#include <unordered_map>

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
  return c && wb_->cell_text(*ws_, *c, out);
}

void SheetResult::size_columns(std::vector<ColumnInfo>& columns) const {
  std::vector<SQLULEN> longest(ws_->empty ? 0 : ws_->last_col - ws_->first_col + 1u, 1);
  std::vector<bool> wanted(longest.size(), false);
  for (uint16_t c : sheet_cols_) wanted[c - ws_->first_col] = true;
  for (size_t k = ws_->row_start.empty() ? 0 : ws_->row_start[1]; k < ws_->cells.size(); ++k) {
    const Cell& c = ws_->cells[k];
    if (!wanted[c.col - ws_->first_col]) continue;
    SQLULEN len = wb_->cell_text_length(*ws_, c);
    SQLULEN& l = longest[c.col - ws_->first_col];
    if (len > l) l = len;
  }
  for (size_t i = 0; i < columns.size(); ++i) columns[i].size = longest[sheet_cols_[i] - ws_->first_col];
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
    std::string text;
    const Cell* cell = ws.find(ws.first_row, static_cast<uint16_t>(c));
    if (!cell || !wb.cell_text(ws, *cell, text) || text.empty())
      text = "F" + std::to_string(c - ws.first_col + 1);
    names.push_back(utf8_prefix(text, kMaxColumnName));
  }
  // Repeated names get a numeric suffix that no other column has; the name is cut further when
  // name and suffix would pass the limit.
  std::set<std::string> originals, used;
  for (const auto& n : names) originals.insert(fold_case(n));
  for (auto& n : names) {
    std::string key = fold_case(n);
    if (used.count(key)) {
      for (unsigned k = 1;; ++k) {
        std::string suffix = std::to_string(k);
        std::string cand = utf8_prefix(n, kMaxColumnName - suffix.size()) + suffix;
        std::string ck = fold_case(cand);
        if (!used.count(ck) && !originals.count(ck)) {
          n = cand;
          key = ck;
          break;
        }
      }
    }
    used.insert(key);
  }
  return names;
}

std::unique_ptr<SheetResult> SheetResult::build(std::shared_ptr<const Workbook> wb,
                                                std::shared_ptr<const Worksheet> ws,
                                                const SelectStatement& stmt, std::string& sqlstate,
                                                std::string& error) {
  if (ws->empty) {
    sqlstate = "HY000";
    error = "worksheet '" + ws->name + "' is empty: its first row must hold the column names";
    return nullptr;
  }
  std::vector<std::string> names = header_names(*wb, *ws);
  std::vector<uint16_t> picked;
  if (stmt.all_columns) {
    for (size_t i = 0; i < names.size(); ++i) picked.push_back(static_cast<uint16_t>(i));
  } else {
    std::unordered_map<std::string, uint16_t> index;
    for (size_t i = 0; i < names.size(); ++i) index.emplace(fold_case(names[i]), static_cast<uint16_t>(i));
    for (const std::string& want : stmt.columns) {
      auto it = index.find(fold_case(want));
      if (it == index.end()) {
        sqlstate = "42S22";
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
    ci.table = ws->name + "$";
    r->columns_.push_back(ci);
    r->sheet_cols_.push_back(static_cast<uint16_t>(ws->first_col + p));
  }
  r->wb_ = std::move(wb);
  r->ws_ = std::move(ws);
  return r;
}

}  // namespace xlsodbc
