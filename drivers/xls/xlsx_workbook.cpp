// Reading an .xlsx / .xlsm workbook (SpreadsheetML in a zip package) into the workbook model:
// the package's relationships lead to the workbook part, the workbook's to its sheets, shared
// strings and styles. Every part is streamed; only the cells and strings are kept.
#include "workbook.h"

#include "charset.h"
#include "xml_part.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstring>

namespace xlsodbc {
namespace {

// The largest part accepted: a worksheet of a million rows of ten columns is about 0.5 GB of
// XML; the other parts are far smaller.
constexpr gsf_off_t kMaxSheetPart = gsf_off_t(8) << 30;
constexpr gsf_off_t kMaxOtherPart = gsf_off_t(1) << 30;

struct Relationship {
  std::string id;
  std::string type;    // the last segment of the type URI: "worksheet", "sharedStrings", ...
  std::string target;  // the resolved part name
};

// The relationships of `source` ("" for the package's own). A missing relationships part
// is no relationship at all.
bool read_relationships(const ZipPackage& pkg, const std::string& source, std::vector<Relationship>& out,
                        std::string& error) {
  out.clear();
  std::string name = source.empty() ? "_rels/.rels" : relationships_part(source);
  if (!pkg.has_part(name)) return true;
  GRef<GsfInput> in = pkg.open_part(name, kMaxOtherPart, error);
  if (!in) return false;
  XmlPart xml(std::move(in), name);
  while (xml.next_tag()) {
    if (!xml.is_start() || !xml.is("Relationship")) continue;
    Relationship r;
    std::string type, target, mode;
    xml.attribute("Id", r.id);
    xml.attribute("Type", type);
    xml.attribute("Target", target);
    if (xml.attribute("TargetMode", mode) && mode == "External") continue;
    r.type = type.substr(type.rfind('/') + 1);
    r.target = resolve_part_name(source, target);
    out.push_back(std::move(r));
  }
  if (xml.failed()) { error = xml.error(); return false; }
  return true;
}

const Relationship* find_by_type(const std::vector<Relationship>& rels, const char* type) {
  for (const Relationship& r : rels)
    if (r.type == type) return &r;
  return nullptr;
}

bool ends_with_nocase(const std::string& s, const char* tail) {
  size_t n = std::strlen(tail);
  return s.size() >= n && g_ascii_strcasecmp(s.c_str() + s.size() - n, tail) == 0;
}

// Decodes the _xHHHH_ escapes with which SpreadsheetML writes UTF-16 units XML cannot carry
// (control characters; "_x005F_" is a literal underscore). A character beyond the BMP comes
// as two escapes, its surrogates.
void unescape_xstring(std::string& s) {
  if (s.find("_x") == std::string::npos) return;
  auto unit_at = [&s](size_t at, char16_t& unit) {
    if (at + 7 > s.size() || s[at] != '_' || s[at + 1] != 'x' || s[at + 6] != '_') return false;
    unsigned v = 0;
    for (size_t i = at + 2; i < at + 6; ++i) {
      char c = s[i];
      unsigned d = c >= '0' && c <= '9' ? c - '0' : (c | 0x20) >= 'a' && (c | 0x20) <= 'f' ? (c | 0x20) - 'a' + 10 : 16;
      if (d == 16) return false;
      v = v * 16 + d;
    }
    unit = static_cast<char16_t>(v);
    return true;
  };
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    char16_t units[2];
    if (!unit_at(i, units[0])) {
      out.push_back(s[i++]);
      continue;
    }
    size_t n = 1;
    if (units[0] >= 0xD800 && units[0] < 0xDC00 && unit_at(i + 7, units[1]) && units[1] >= 0xDC00 && units[1] < 0xE000)
      n = 2;
    append_utf16_as_utf8(units, n, out);
    i += 7 * n;
  }
  s.swap(out);
}

// The text of a string item (<si> of the shared strings, <is> of an inline string): its <t>,
// or its rich-text runs' <t> joined; phonetic runs (<rPh>, the reading of East Asian text) are
// left out. The reader stands on the item's start tag and ends on its end tag.
bool read_string_item(XmlPart& xml, std::string& out) {
  if (xml.is_empty()) return true;
  const int item_depth = xml.depth();
  int phonetic_depth = -1;
  while (xml.next_tag()) {
    if (xml.is_end()) {
      if (xml.depth() == item_depth) {
        unescape_xstring(out);
        return true;
      }
      if (xml.depth() == phonetic_depth) phonetic_depth = -1;
      continue;
    }
    if (phonetic_depth >= 0) continue;
    if (xml.is("rPh")) {
      if (!xml.is_empty()) phonetic_depth = xml.depth();
    } else if (xml.is("t")) {
      if (!xml.append_text(out)) return false;
    }
  }
  if (!xml.failed()) xml.fail("malformed XML: the document ends inside a string");
  return false;
}

template <typename T>
bool parse_unsigned(const char* s, T& out) {
  if (!s) return false;
  const char* end = s + std::strlen(s);
  auto r = std::from_chars(s, end, out);
  return r.ec == std::errc() && r.ptr == end;
}

// A cell reference such as "B12" into 0-based column and row; false when it is no reference
// or lies beyond the grid (XFD1048576) — `beyond` tells which.
bool parse_cell_reference(const char* r, uint32_t& col, uint32_t& row, bool& beyond) {
  beyond = false;
  uint64_t c = 0, n = 0;
  const char* p = r;
  for (; (*p >= 'A' && *p <= 'Z') || (*p >= 'a' && *p <= 'z'); ++p) {
    if (p - r >= 4) { beyond = true; return false; }
    c = c * 26 + static_cast<unsigned>((*p | 0x20) - 'a' + 1);
  }
  if (p == r || !(*p >= '1' && *p <= '9')) return false;
  for (; *p >= '0' && *p <= '9'; ++p) {
    if (n > kMaxRows) { beyond = true; return false; }
    n = n * 10 + static_cast<unsigned>(*p - '0');
  }
  if (*p) return false;
  if (c > kMaxCols || n > kMaxRows) { beyond = true; return false; }
  col = static_cast<uint32_t>(c - 1);
  row = static_cast<uint32_t>(n - 1);
  return true;
}

// The number of cells a worksheet's <dimension ref="A1:J100"/> announces, to size the cell
// store once; 0 when it is missing or not a range. A part cannot hold more cells than it has
// bytes for, so an absurd dimension reserves no more than the part could fill.
size_t announced_cells(const char* ref, gsf_off_t part_size) {
  if (!ref) return 0;
  const char* colon = std::strchr(ref, ':');
  if (!colon) return 0;
  std::string first(ref, colon);
  uint32_t c1, r1, c2, r2;
  bool beyond;
  if (!parse_cell_reference(first.c_str(), c1, r1, beyond) || !parse_cell_reference(colon + 1, c2, r2, beyond) ||
      c2 < c1 || r2 < r1)
    return 0;
  uint64_t cells = uint64_t(c2 - c1 + 1) * (r2 - r1 + 1);
  // "<c><v>1</v></c>" is the shortest cell with a value: 15 bytes.
  uint64_t fit = static_cast<uint64_t>(part_size) / 15;
  return static_cast<size_t>(std::min(cells, fit));
}

// Days from 1970-01-01 of a civil date (H. Hinnant's algorithm).
long long days_from_civil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

// The serial number of an ISO 8601 date cell (t="d": "2024-05-01", "2024-05-01T13:05:00",
// "13:05:00"), in the workbook's date system; false when the text is not such a date.
bool iso_date_serial(const std::string& s, bool date1904, double& serial) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0;
  double sec = 0;
  char tail = 0;
  bool has_date = std::sscanf(s.c_str(), "%4d-%2d-%2d", &y, &mo, &d) == 3;
  size_t t = s.find('T');
  const char* time = has_date ? (t == std::string::npos ? nullptr : s.c_str() + t + 1) : s.c_str();
  if (time && std::sscanf(time, "%2d:%2d:%lf%c", &h, &mi, &sec, &tail) < 3) return false;
  if (!has_date && !time) return false;
  if (has_date && (mo < 1 || mo > 12 || d < 1 || d > 31)) return false;
  double days = 0;
  if (has_date) {
    long long z = days_from_civil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d));
    if (date1904) {
      days = static_cast<double>(z - days_from_civil(1904, 1, 1));
    } else {
      days = static_cast<double>(z - days_from_civil(1899, 12, 30));
      if (days < 61) days -= 1;  // the 1900 system counts a 29 February 1900 that never was
    }
  }
  serial = days + (h * 3600.0 + mi * 60.0 + sec) / 86400.0;
  return true;
}

}  // namespace

bool Workbook::open_package(std::unique_ptr<ZipPackage> package, std::string& error) {
  stream_.clear();
  sheets_.clear();
  sst_.clear();
  sst_lengths_.clear();
  xf_kinds_.clear();
  date1904_ = false;
  biff_ = 0;
  code_page_ = 65001;
  const ZipPackage& pkg = *package;

  std::vector<Relationship> rels;
  if (!read_relationships(pkg, "", rels, error)) return false;
  const Relationship* doc = find_by_type(rels, "officeDocument");
  std::string workbook_part = doc ? doc->target : "xl/workbook.xml";
  if (ends_with_nocase(workbook_part, ".bin") || pkg.has_part("xl/workbook.bin")) {
    error = "it is an Excel binary workbook (.xlsb), which cannot be read; save it in Excel as an "
            "Excel workbook (.xlsx)";
    return false;
  }
  if (!pkg.has_part(workbook_part)) {
    error = "it is a zip archive but not an Excel workbook (it has no workbook part '" + workbook_part + "')";
    return false;
  }
  if (!read_relationships(pkg, workbook_part, rels, error)) return false;

  // The sheets, in the workbook's order, each found through its relationship.
  {
    GRef<GsfInput> in = pkg.open_part(workbook_part, kMaxOtherPart, error);
    if (!in) return false;
    XmlPart xml(std::move(in), workbook_part);
    while (xml.next_tag()) {
      if (!xml.is_start()) continue;
      if (xml.is("workbookPr")) {
        const char* v = xml.attribute("date1904");
        date1904_ = v && (std::strcmp(v, "1") == 0 || std::strcmp(v, "true") == 0);
      } else if (xml.is("sheet")) {
        SheetEntry e;
        xml.attribute("name", e.name);
        const char* id = xml.namespaced_attribute("id");
        e.type = 2;
        for (const Relationship& r : rels) {
          if (!id || r.id != id) continue;
          e.part = r.target;
          e.type = r.type == "worksheet" ? 0 : r.type == "chartsheet" ? 2 : 1;
        }
        if (!id) e.type = 0;  // no relationship: reported as missing when it is read
        sheets_.push_back(std::move(e));
      }
    }
    if (xml.failed()) { error = xml.error(); return false; }
  }

  // Number formats and cell formats: which cells hold dates.
  if (const Relationship* styles = find_by_type(rels, "styles"); styles && pkg.has_part(styles->target)) {
    GRef<GsfInput> in = pkg.open_part(styles->target, kMaxOtherPart, error);
    if (!in) return false;
    XmlPart xml(std::move(in), styles->target);
    std::map<unsigned, std::string> formats;
    std::vector<unsigned> xf_formats;
    int cell_xfs_depth = -1;
    while (xml.next_tag()) {
      if (xml.is_end()) {
        if (xml.depth() == cell_xfs_depth) cell_xfs_depth = -1;
        continue;
      }
      if (xml.is("numFmt")) {
        unsigned id;
        std::string code;
        if (parse_unsigned(xml.attribute("numFmtId"), id) && xml.attribute("formatCode", code))
          formats[id] = std::move(code);
      } else if (xml.is("cellXfs")) {
        if (!xml.is_empty()) cell_xfs_depth = xml.depth();
      } else if (xml.is("xf") && cell_xfs_depth >= 0 && xml.depth() == cell_xfs_depth + 1) {
        unsigned id = 0;
        parse_unsigned(xml.attribute("numFmtId"), id);
        xf_formats.push_back(id);
      }
    }
    if (xml.failed()) { error = xml.error(); return false; }
    classify_cell_formats(formats, xf_formats);
  }

  if (const Relationship* strings = find_by_type(rels, "sharedStrings"); strings && pkg.has_part(strings->target)) {
    GRef<GsfInput> in = pkg.open_part(strings->target, kMaxOtherPart, error);
    if (!in) return false;
    const gsf_off_t part_size = gsf_input_size(in.get());
    XmlPart xml(std::move(in), strings->target);
    while (xml.next_tag()) {
      if (xml.is_start() && xml.is("sst")) {
        size_t unique = 0;
        // The count announced is a hint only, bounded by what the part could hold.
        if (parse_unsigned(xml.attribute("uniqueCount"), unique))
          sst_.reserve(std::min<size_t>(unique, static_cast<size_t>(part_size / 8)));
      } else if (xml.is_start() && xml.is("si")) {
        std::string s;
        if (!read_string_item(xml, s)) break;
        sst_lengths_.push_back(static_cast<uint32_t>(utf8_length(s)));
        sst_.push_back(std::move(s));
      }
    }
    if (xml.failed()) { error = xml.error(); return false; }
  }
  package_ = std::move(package);
  return true;
}

bool Workbook::load_package_sheet(const SheetEntry& entry, Worksheet& ws, std::string& error) const {
  if (entry.part.empty()) {
    error = "the workbook is damaged: worksheet '" + entry.name + "' has no part in the package";
    return false;
  }
  GRef<GsfInput> in = package_->open_part(entry.part, kMaxSheetPart, error);
  if (!in) return false;
  const gsf_off_t part_size = gsf_input_size(in.get());
  XmlPart xml(std::move(in), entry.part);
  std::vector<Cell>& cells = ws.cells;
  uint32_t row = 0, next_row = 0, next_col = 0;
  std::string value, text;
  auto cell_at = [&](const char* where) {
    return std::string(where ? where : "") + " of worksheet '" + entry.name + "'";
  };
  while (xml.next_tag()) {
    if (!xml.is_start()) continue;
    if (xml.is("dimension")) {
      size_t n = announced_cells(xml.attribute("ref"), part_size);
      if (n > cells.capacity()) cells.reserve(n);
      continue;
    }
    if (xml.is("row")) {
      const char* r = xml.attribute("r");
      uint32_t n = 0;
      if (r && (!parse_unsigned(r, n) || n == 0 || n > kMaxRows)) {
        xml.fail(std::string("row number '") + r + "' is " + (parse_unsigned(r, n) && n > 0 ? "beyond the grid" : "not a row number"));
        break;
      }
      row = r ? n - 1 : next_row;
      next_row = row + 1;
      next_col = 0;
      continue;
    }
    if (!xml.is("c")) continue;

    const char* ref = nullptr;
    char type = 'n';
    std::string type_name;
    unsigned style = 0;
    bool bad_style = false;
    xml.for_each_attribute([&](const char* name, const char* v) {
      if (name[0] == 'r' && name[1] == 0) ref = v;
      else if (name[0] == 's' && name[1] == 0) bad_style = !parse_unsigned(v, style);
      else if (name[0] == 't' && name[1] == 0) type_name = v;
    });
    uint32_t col = next_col, cell_row = row;
    std::string ref_text = ref ? ref : "";
    if (ref) {
      bool beyond;
      if (!parse_cell_reference(ref, col, cell_row, beyond)) {
        xml.fail("cell reference '" + ref_text + "' " + (beyond ? "lies beyond the grid (XFD1048576)" : "is not a cell reference"));
        break;
      }
    } else if (col >= kMaxCols) {
      xml.fail("a cell of row " + std::to_string(row + 1) + " lies beyond the grid (column XFD)");
      break;
    }
    next_col = col + 1;
    if (type_name == "s") type = 's';
    else if (type_name == "str") type = 'f';
    else if (type_name == "inlineStr") type = 'i';
    else if (type_name == "b") type = 'b';
    else if (type_name == "e") type = 'e';
    else if (type_name == "d") type = 'd';
    if (bad_style || style > 0xFFFF) style = 0;
    if (xml.is_empty()) continue;

    // The cell's value: <v>, or <is> for an inline string; <f> (the formula) is passed over.
    const int cell_depth = xml.depth();
    bool has_value = false;
    value.clear();
    text.clear();
    while (xml.next_tag()) {
      if (xml.is_end()) {
        if (xml.depth() == cell_depth) break;
        continue;
      }
      if (xml.is("v")) {
        if (!xml.append_text(value)) break;
        has_value = true;
      } else if (xml.is("is")) {
        if (!read_string_item(xml, text)) break;
        has_value = true;
      }
    }
    if (xml.failed()) break;
    if (!has_value) continue;

    Cell c;
    c.number = 0;
    c.row = cell_row;
    c.col = static_cast<uint16_t>(col);
    c.xf = static_cast<uint16_t>(style);
    c.type = Cell::Number;
    switch (type) {
      case 's': {
        uint32_t i;
        if (!parse_unsigned(value.c_str(), i) || i >= sst_.size() || sst_[i].empty()) continue;
        c.type = Cell::SharedText;
        c.index = i;
        break;
      }
      case 'i':
      case 'f':
        if (type == 'f') {
          text.swap(value);
          unescape_xstring(text);
        }
        if (text.empty()) continue;
        c.type = Cell::OwnText;
        c.index = static_cast<uint32_t>(ws.texts.size());
        ws.texts.push_back(text);
        break;
      case 'b':
        c.type = Cell::Boolean;
        c.number = (value == "1" || value == "true") ? 1 : 0;
        break;
      case 'e':
        c.type = Cell::Error;
        break;
      case 'd': {
        double serial;
        if (!iso_date_serial(value, date1904_, serial)) {
          xml.fail("cell " + cell_at(ref) + " holds '" + value + "' where a date belongs");
          break;
        }
        c.number = serial;
        c.xf = kIsoDateXf;
        break;
      }
      default: {
        const char* b = value.c_str();
        const char* e = b + value.size();
        while (b < e && std::isspace(static_cast<unsigned char>(*b))) ++b;
        while (e > b && std::isspace(static_cast<unsigned char>(e[-1]))) --e;
        auto r = std::from_chars(b, e, c.number);
        if (b == e) continue;  // <v/>: no value
        if (r.ec != std::errc() || r.ptr != e) {
          xml.fail("cell " + cell_at(ref) + " holds '" + value + "' where a number belongs");
          break;
        }
      }
    }
    if (xml.failed()) break;
    cells.push_back(c);
  }
  if (xml.failed()) {
    error = xml.error();
    return false;
  }
  ws.finish();
  return true;
}

}  // namespace xlsodbc
