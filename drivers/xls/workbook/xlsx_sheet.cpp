// Reading one worksheet part of an .xlsx workbook into cells. The part is the bulk of a
// workbook (a million rows are half a gigabyte of XML), so it is parsed at full speed: the
// parser's events go straight into a small state machine, element names compare by pointer.
#include "workbook.h"

#include "cell_reference.h"
#include "iso_date.h"
#include "string_item.h"
#include "unsigned_number.h"
#include "xlsx_limits.h"
#include "xml_part.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace xlsodbc {
namespace {

// The number of cells a worksheet's <dimension ref="A1:J100"/> announces, to size the cell
// store once; 0 when it is missing or not a range. A part cannot hold more cells than it has
// bytes for, so an absurd dimension reserves no more than the part could fill.
size_t announced_cells(std::string_view ref, uint64_t part_size) {
  size_t colon = ref.find(':');
  if (colon == std::string_view::npos) return 0;
  uint32_t c1, r1, c2, r2;
  bool beyond;
  if (!parse_cell_reference(ref.substr(0, colon), c1, r1, beyond) ||
      !parse_cell_reference(ref.substr(colon + 1), c2, r2, beyond) || c2 < c1 || r2 < r1)
    return 0;
  uint64_t cells = uint64_t(c2 - c1 + 1) * (r2 - r1 + 1);
  // "<c><v>1</v></c>" is the shortest cell with a value: 15 bytes.
  uint64_t fit = static_cast<uint64_t>(part_size) / 15;
  return static_cast<size_t>(std::min(cells, fit));
}

// What a cell holds, as its t attribute says: n (or none) a number, s a shared string, str a
// formula's text, inlineStr an inline string, b a boolean, e an error, d an ISO 8601 date.
enum class ValueType : uint8_t { Number, SharedString, FormulaText, InlineString, Boolean, Error, IsoDate };

ValueType value_type(std::string_view t) {
  if (t == "s") return ValueType::SharedString;
  if (t == "str") return ValueType::FormulaText;
  if (t == "inlineStr") return ValueType::InlineString;
  if (t == "b") return ValueType::Boolean;
  if (t == "e") return ValueType::Error;
  if (t == "d") return ValueType::IsoDate;
  return ValueType::Number;
}

class SheetReader : public XmlHandler {
 public:
  SheetReader(XmlPart& xml, Worksheet& ws, uint64_t part_size, const StringTable& shared, bool date1904)
      : xml_(xml), ws_(ws), part_size_(part_size), shared_(shared), date1904_(date1904) {}

  void start(std::string_view name, const XmlAttribute* attributes, size_t count) override {
    if (stopped_) return;
    if (in_cell_) {
      if (in_inline_) return inline_.start(name);
      if (name.size() == 1 && name[0] == 'v') collecting_ = has_value_ = true;
      else if (name == "is") in_inline_ = has_value_ = true, inline_.begin();
      return;
    }
    if (name.size() == 1 && name[0] == 'c') return start_cell(attributes, count);
    if (name == "row") return start_row(attributes, count);
    if (name == "dimension") {
      size_t n = announced_cells(find_attribute(attributes, count, "ref"), part_size_);
      if (n > ws_.cells.capacity()) ws_.cells.reserve(n);
    }
  }

  void end(std::string_view name) override {
    if (stopped_ || !in_cell_) return;
    if (in_inline_) {
      if (name != "is") return inline_.end(name);
      in_inline_ = false;
      value_ = inline_.take();
    } else if (name.size() == 1) {
      if (name[0] == 'v') collecting_ = false;
      else if (name[0] == 'c') end_cell();
    }
  }

  void text(std::string_view s) override {
    if (stopped_) return;
    bool fits = in_inline_ ? inline_.add(s) : !collecting_ || value_.size() + s.size() <= kMaxCellText;
    if (!fits) return fail("a cell's text of more than 16 MB is too large");
    if (collecting_) value_.append(s);
  }

  void restart() override {
    std::string name = ws_.name;
    ws_ = Worksheet();
    ws_.name = name;
    row_ = next_row_ = next_col_ = 0;
    in_cell_ = false;
  }

 private:
  void fail(const std::string& why) {
    stopped_ = true;
    xml_.fail(why);
  }

  std::string cell_name() const { return column_letters(col_) + std::to_string(cell_row_ + 1); }

  void start_row(const XmlAttribute* attributes, size_t count) {
    uint32_t row = next_row_;
    if (std::string_view v = find_attribute(attributes, count, "r"); v.data()) {
      uint32_t n = 0;
      if (!parse_unsigned(v, n) || n == 0)
        return fail("row number '" + std::string(v) + "' is not a row number");
      if (n > kMaxRows) return fail("row number " + std::string(v) + " lies beyond the grid (row 1048576)");
      row = n - 1;
    }
    row_ = row;
    next_row_ = row + 1;
    next_col_ = 0;
  }

  void start_cell(const XmlAttribute* attributes, size_t count) {
    col_ = next_col_;
    cell_row_ = row_;
    style_ = 0;
    type_ = ValueType::Number;
    bool has_ref = false;
    for (size_t i = 0; i < count; ++i) {
      std::string_view n = attributes[i].name;
      if (n.size() != 1) continue;
      std::string_view v = attributes[i].value;
      if (n[0] == 'r') {
        bool beyond;
        if (!parse_cell_reference(v, col_, cell_row_, beyond))
          return fail("cell reference '" + std::string(v) + "' " +
                      (beyond ? "lies beyond the grid (XFD1048576)" : "is not a cell reference"));
        has_ref = true;
      } else if (n[0] == 's') {
        if (!parse_unsigned(v, style_) || style_ > 0xFFFF) style_ = 0;
      } else if (n[0] == 't') {
        type_ = value_type(v);
      }
    }
    if (!has_ref && col_ >= kMaxCols)
      return fail("a cell of row " + std::to_string(row_ + 1) + " lies beyond the grid (column XFD)");
    next_col_ = col_ + 1;
    in_cell_ = true;
    in_inline_ = collecting_ = has_value_ = false;
    value_.clear();
  }

  void end_cell() {
    in_cell_ = false;
    if (!has_value_) return;
    Cell c;
    c.number = 0;
    c.row = cell_row_;
    c.col = static_cast<uint16_t>(col_);
    c.xf = static_cast<uint16_t>(style_);
    c.type = Cell::Number;
    switch (type_) {
      case ValueType::SharedString: {
        uint32_t i;
        if (!parse_unsigned(std::string_view(value_), i) || i >= shared_.size() || shared_.at(i).empty()) return;
        c.type = Cell::SharedText;
        c.index = i;
        break;
      }
      case ValueType::FormulaText:
        unescape_xstring(value_);
        [[fallthrough]];
      case ValueType::InlineString:  // unescaped as it was taken
        if (value_.empty()) return;
        c.type = Cell::OwnText;
        c.index = static_cast<uint32_t>(ws_.texts.size());
        ws_.texts.push_back(value_);
        break;
      case ValueType::Boolean:
        c.type = Cell::Boolean;
        c.number = (value_ == "1" || value_ == "true") ? 1 : 0;
        break;
      case ValueType::Error:
        c.type = Cell::Error;
        break;
      case ValueType::IsoDate:
        if (value_.empty()) return;  // <v/>: no value
        if (!iso_date_serial(value_, date1904_, c.number))
          return fail("cell " + cell_name() + " holds '" + value_ + "' where a date belongs");
        c.type = Cell::IsoDate;
        break;
      case ValueType::Number: {
        const char* b = value_.data();
        const char* e = b + value_.size();
        while (b < e && std::isspace(static_cast<unsigned char>(*b))) ++b;
        while (e > b && std::isspace(static_cast<unsigned char>(e[-1]))) --e;
        if (b == e) return;  // <v/>: no value
        // A number may carry a plus sign ("+7"), which from_chars does not take.
        if (*b == '+' && e - b > 1 && (std::isdigit(static_cast<unsigned char>(b[1])) || b[1] == '.')) ++b;
        // from_chars also takes "inf" and "nan", which no spreadsheet writes as a value.
        auto r = std::from_chars(b, e, c.number);
        if (r.ec != std::errc() || r.ptr != e || !std::isfinite(c.number))
          return fail("cell " + cell_name() + " holds '" + value_ + "' where a number belongs");
      }
    }
    ws_.cells.push_back(c);
  }

  XmlPart& xml_;
  Worksheet& ws_;
  const uint64_t part_size_;
  const StringTable& shared_;
  const bool date1904_;

  bool stopped_ = false;
  uint32_t row_ = 0, next_row_ = 0, next_col_ = 0;
  // The cell being read.
  bool in_cell_ = false, in_inline_ = false, collecting_ = false, has_value_ = false;
  StringItem inline_;  // the text of an inline string (<is>)
  uint32_t col_ = 0, cell_row_ = 0;
  unsigned style_ = 0;
  ValueType type_ = ValueType::Number;
  std::string value_;
};

}  // namespace

bool Workbook::load_package_sheet(const SheetEntry& entry, Worksheet& ws, std::string& error) const {
  if (entry.part.empty()) {
    error = "the workbook is damaged: worksheet '" + entry.name + "' has no part in the package";
    return false;
  }
  std::unique_ptr<ByteSource> in = package_->open_part(entry.part, kMaxSheetPart, error);
  if (!in) return false;
  const uint64_t part_size = in->size();
  XmlPart xml(std::move(in), entry.part);
  SheetReader reader(xml, ws, part_size, sst_, date1904_);
  if (!xml.parse_all(reader)) {
    error = xml.error();
    return false;
  }
  ws.finish();
  return true;
}

}  // namespace xlsodbc
