#include "workbook.h"

#include "charset.h"

#include <algorithm>

namespace xlsodbc {
const Cell* Worksheet::find(uint32_t row, uint16_t col) const {
  if (empty || row < first_row || row > last_row) return nullptr;
  size_t r = row - first_row;
  auto b = cells.begin() + row_start[r], e = cells.begin() + row_start[r + 1];
  auto it = std::lower_bound(b, e, col, [](const Cell& c, uint16_t k) { return c.col < k; });
  return (it != e && it->col == col) ? &*it : nullptr;
}

void Worksheet::finish(uint32_t columns) {
  cells.erase(std::remove_if(cells.begin(), cells.end(),
                             [columns](const Cell& c) { return c.type == Cell::Empty || c.col >= columns; }),
              cells.end());
  auto before = [](const Cell& a, const Cell& b) { return a.row != b.row ? a.row < b.row : a.col < b.col; };
  if (!std::is_sorted(cells.begin(), cells.end(), before)) std::stable_sort(cells.begin(), cells.end(), before);
  size_t out = 0;
  for (size_t i = 0; i < cells.size(); ++i) {
    if (out > 0 && cells[out - 1].row == cells[i].row && cells[out - 1].col == cells[i].col) cells[out - 1] = cells[i];
    else cells[out++] = cells[i];
  }
  cells.resize(out);
  if (cells.capacity() - cells.size() > cells.size() / 8) cells.shrink_to_fit();  // many blanks or errors
  if (cells.empty()) return;
  empty = false;
  first_row = cells.front().row;
  last_row = cells.back().row;
  first_col = last_col = cells.front().col;
  for (const Cell& c : cells) {
    first_col = std::min(first_col, c.col);
    last_col = std::max(last_col, c.col);
  }
  row_start.assign(last_row - first_row + 2, 0);
  size_t k = 0;
  for (uint32_t r2 = first_row; r2 <= last_row + 1; ++r2) {
    while (k < cells.size() && cells[k].row < r2) ++k;
    row_start[r2 - first_row] = static_cast<uint32_t>(k);
  }
}

int Workbook::find_sheet(const std::string& name) const {
  std::string key = fold_case(name);
  for (size_t i = 0; i < sheets_.size(); ++i)
    if (fold_case(sheets_[i].name) == key) return static_cast<int>(i);
  return -1;
}

bool Workbook::load_sheet(size_t index, Worksheet& ws, std::string& error) const {
  const SheetEntry& entry = sheets_.at(index);
  ws = Worksheet();
  ws.name = entry.name;
  return package_ ? load_package_sheet(entry, ws, error) : load_biff_sheet(entry, ws, error);
}

void Workbook::clear() {
  stream_.clear();
  package_.reset();
  sheets_.clear();
  sst_.clear();
  xf_kinds_.clear();
  date1904_ = false;
  biff_ = 8;
  code_page_ = 1200;
}

void Workbook::classify_cell_formats(const std::map<unsigned, std::string>& formats,
                                     const std::vector<unsigned>& xf_formats) {
  std::map<unsigned, NumberKind> kinds;
  for (auto& [id, code] : formats) kinds[id] = classify_format(code);
  xf_kinds_.assign(xf_formats.size(), NumberKind::Plain);
  for (size_t i = 0; i < xf_formats.size(); ++i) {
    auto it = kinds.find(xf_formats[i]);
    xf_kinds_[i] = it != kinds.end() ? it->second : builtin_format_kind(xf_formats[i]);
  }
}

bool Workbook::cell_text(const Worksheet& ws, const Cell& c, CellText& out) const {
  switch (c.type) {
    case Cell::Number:
    case Cell::IsoDate: {
      // Numbers and dates are ASCII: as many characters as bytes.
      NumberKind kind = c.type == Cell::IsoDate ? NumberKind::DateTime : number_kind(c.xf);
      char* end = kind == NumberKind::Plain ? nullptr : write_serial(c.number, kind, date1904_, out.room);
      if (!end) end = write_number(c.number, out.room);
      out.text = std::string_view(out.room, static_cast<size_t>(end - out.room));
      out.length = static_cast<uint32_t>(out.text.size());
      return true;
    }
    case Cell::SharedText:
      out.text = shared_string(c.index);
      out.length = shared_string_length(c.index);
      return true;
    case Cell::OwnText:
      out.text = ws.texts[c.index];
      out.length = static_cast<uint32_t>(utf8_length(out.text));
      return true;
    case Cell::Boolean:
      out.text = c.number != 0 ? "1" : "0";
      out.length = 1;
      return true;
    default:
      return false;
  }
}

}  // namespace xlsodbc
