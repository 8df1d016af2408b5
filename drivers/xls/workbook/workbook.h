// A workbook in memory, whichever file format it came from: the workbook-wide parts (worksheets,
// shared strings, number formats, date system) read when the workbook is opened, and
// worksheets read on demand into cells. An .xls workbook is kept as its BIFF stream; an .xlsx
// workbook keeps its zip package open and streams a worksheet's XML part when it is loaded.
#pragma once

#include "number_format.h"
#include "string_table.h"
#include "zip_package.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace xlsodbc {

// The largest grid a worksheet has: 1,048,576 rows by 16,384 columns (A to XFD). An .xls
// worksheet stops at 65,536 rows and 256 columns.
constexpr uint32_t kMaxRows = 1u << 20;
constexpr uint32_t kMaxCols = 1u << 14;
constexpr uint32_t kMaxBiffCols = 256;

// One cell of a worksheet. Text lives in the workbook's shared strings or in the
// worksheet's own strings (LABEL records, inline strings and formula results). 16 bytes, so
// that a full-height sheet of ten columns stays well inside memory: the row takes 24 bits.
struct Cell {
  // IsoDate: a number that an .xlsx worksheet wrote as an ISO 8601 date (t="d"), shown as a
  // date by its value whatever its cell format.
  enum Type : uint8_t { Empty, Number, SharedText, OwnText, Boolean, Error, IsoDate };
  union {
    double number;
    uint32_t index;
  };
  uint32_t row : 24;
  uint32_t type : 8;
  uint16_t col;
  uint16_t xf;
};
static_assert(sizeof(Cell) == 16, "a cell takes 16 bytes");

// The text of one cell: a view of it and its length in characters. A number's text is written
// into the holder's own room, so a holder is neither copied nor moved.
struct CellText {
  std::string_view text;
  uint32_t length = 0;
  char room[kNumberTextRoom];

  CellText() = default;
  CellText(const CellText&) = delete;
  CellText& operator=(const CellText&) = delete;
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

  // Once every cell is read: keeps those that hold a value within the first `columns` columns
  // (kMaxBiffCols for an .xls worksheet), the last one of a position, ordered by position, and sets the
  // block and the row index.
  void finish(uint32_t columns = kMaxCols);
};

// The kinds of sheet, by the codes of an .xls workbook's sheet entries (BOUNDSHEET).
enum class SheetType : uint8_t { Worksheet = 0, MacroSheet = 1, Chart = 2, VbModule = 6 };

class Workbook {
 public:
  struct SheetEntry {
    std::string name;
    uint32_t offset = 0;  // .xls: where the sheet's BOF record is in the stream
    std::string part;     // .xlsx: the sheet's part in the package (empty when missing)
    SheetType type = SheetType::Worksheet;
  };

  // Parses the global records of a workbook stream (takes ownership of the bytes). On
  // failure returns false with a readable reason.
  bool open(std::vector<uint8_t> stream, std::string& error);
  // Reads the workbook-wide parts of an .xlsx package (takes it over). On failure returns
  // false with a readable reason.
  bool open_package(std::unique_ptr<ZipPackage> package, std::string& error);

  const std::vector<SheetEntry>& sheets() const { return sheets_; }
  // Index of the worksheet with this name (compared case-insensitively), or -1.
  int find_sheet(const std::string& name) const;
  // Reads the cells of a worksheet. On failure false with a readable reason.
  bool load_sheet(size_t index, Worksheet& out, std::string& error) const;

  std::string_view shared_string(uint32_t i) const { return sst_.at(i); }
  uint32_t shared_string_length(uint32_t i) const { return sst_.length(i); }  // in characters
  NumberKind number_kind(uint16_t xf) const { return xf < xf_kinds_.size() ? xf_kinds_[xf] : NumberKind::Plain; }
  bool date1904() const { return date1904_; }
  // 5 or 8 for an .xls workbook, 0 for an .xlsx one.
  int biff_version() const { return biff_; }
  uint16_t code_page() const { return code_page_; }

  // The value of a cell as UTF-8 text and its length in characters, the one place where a
  // cell becomes text; false for NULL (empty, error, empty text).
  bool cell_text(const Worksheet& ws, const Cell& c, CellText& out) const;

 private:
  // Forgets the workbook read before, whichever format it was.
  void clear();
  bool load_biff_sheet(const SheetEntry& entry, Worksheet& ws, std::string& error) const;
  bool load_package_sheet(const SheetEntry& entry, Worksheet& ws, std::string& error) const;
  // Sets the kind of each cell format from its number format: `formats` maps the number
  // formats the workbook defines to their codes, `xf_formats` gives each cell format's.
  void classify_cell_formats(const std::map<unsigned, std::string>& formats, const std::vector<unsigned>& xf_formats);

  std::vector<uint8_t> stream_;
  std::unique_ptr<ZipPackage> package_;
  std::vector<SheetEntry> sheets_;
  StringTable sst_;
  std::vector<NumberKind> xf_kinds_;
  bool date1904_ = false;
  int biff_ = 8;
  uint16_t code_page_ = 1200;
};

}  // namespace xlsodbc
