#include "cell_reference.h"

#include "workbook.h"

namespace xlsodbc {

bool parse_cell_reference(std::string_view r, uint32_t& col, uint32_t& row, bool& beyond) {
  beyond = false;
  uint64_t c = 0, n = 0;
  size_t i = 0;
  for (; i < r.size() && ((r[i] >= 'A' && r[i] <= 'Z') || (r[i] >= 'a' && r[i] <= 'z')); ++i) {
    if (i >= 3) { beyond = true; return false; }  // XFD is the last column
    c = c * 26 + static_cast<unsigned>((r[i] | 0x20) - 'a' + 1);
  }
  if (i == 0 || i == r.size() || !(r[i] >= '1' && r[i] <= '9')) return false;
  for (; i < r.size() && r[i] >= '0' && r[i] <= '9'; ++i) {
    if (n > kMaxRows) { beyond = true; return false; }
    n = n * 10 + static_cast<unsigned>(r[i] - '0');
  }
  if (i != r.size()) return false;
  if (c > kMaxCols || n > kMaxRows) { beyond = true; return false; }
  col = static_cast<uint32_t>(c - 1);
  row = static_cast<uint32_t>(n - 1);
  return true;
}

std::string column_letters(unsigned col) {
  std::string s;
  ++col;
  while (col > 0) {
    unsigned r = (col - 1) % 26;
    s.insert(s.begin(), static_cast<char>('A' + r));
    col = (col - 1) / 26;
  }
  return s;
}

}  // namespace xlsodbc
