// A workbook in memory: the global records (worksheets, shared strings, number formats,
// date system) parsed when the workbook is opened, and worksheets parsed on demand into
// cells.
#pragma once

#include "number_format.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace xlsodbc {

// One cell of a worksheet. Text lives in the workbook's shared strings or in the
// worksheet's own strings (LABEL records and formula results). 16 bytes: cell records give the
// row in 16 bits.
struct Cell {
  enum Type : uint8_t { Empty, Number, SharedText, OwnText, Boolean, Error };
  union {
    double number;
    uint32_t index;
  };
  uint16_t row;
  uint16_t col;
  uint16_t xf;
  uint8_t type;
};

struct Worksheet {
  std::string name;
  // The block that holds values: rows [first_row, last_row], columns [first_col, last_col].
  // Empty when no cell holds a value.
  bool empty = true;
  uint32_t first_row = 0, last_row = 0;
  uint16_t first_col = 0, last_col = 0;
  std::vector<Cell> cells;             // sorted by row, then column; one per position
  std::vector<uint32_t> row_start;     // index into cells of each row of the block, +1 end
  std::vector<std::string> texts;      // OwnText strings

  // The cell at an absolute position, or nullptr when there is none.
  const Cell* find(uint32_t row, uint16_t col) const;
};

class Workbook {
 public:
  struct SheetEntry {
    std::string name;
    uint32_t offset = 0;
    uint8_t type = 0;  // 0 worksheet, 1 macro sheet, 2 chart, 6 VB module
  };

  // Parses the global records of a workbook stream (takes ownership of the bytes). On
  // failure returns false with a readable reason.
  bool open(std::vector<uint8_t> stream, std::string& error);

  const std::vector<SheetEntry>& sheets() const { return sheets_; }
  // Index of the worksheet with this name (compared case-insensitively), or -1.
  int find_sheet(const std::string& name) const;
  // Reads the cells of a worksheet. On failure false with a readable reason.
  bool load_sheet(size_t index, Worksheet& out, std::string& error) const;

  const std::string& shared_string(uint32_t i) const;
  uint32_t shared_string_length(uint32_t i) const;  // in characters
  NumberKind number_kind(uint16_t xf) const { return xf < xf_kinds_.size() ? xf_kinds_[xf] : NumberKind::Plain; }
  bool date1904() const { return date1904_; }
  int biff_version() const { return biff_; }
  uint16_t code_page() const { return code_page_; }

  // The value of a cell as UTF-8 text; false for NULL (empty, error, empty text).
  bool cell_text(const Worksheet& ws, const Cell& c, std::string& out) const;
  // The length in characters of cell_text().
  uint32_t cell_text_length(const Worksheet& ws, const Cell& c) const;

 private:
  std::vector<uint8_t> stream_;
  std::vector<SheetEntry> sheets_;
  std::vector<std::string> sst_;
  std::vector<uint32_t> sst_lengths_;
  std::vector<NumberKind> xf_kinds_;
  bool date1904_ = false;
  int biff_ = 8;
  uint16_t code_page_ = 1200;
};

}  // namespace xlsodbc
