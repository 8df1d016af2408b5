// Reading an .xlsx / .xlsm workbook (SpreadsheetML in a zip package) into the workbook model:
// the package's relationships lead to the workbook part, the workbook's to its sheets, shared
// strings and styles. Every part is streamed; only the cells and strings are kept.
#include "workbook.h"

#include "element_path.h"
#include "string_item.h"
#include "unsigned_number.h"
#include "xlsx_limits.h"
#include "xml_part.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace xlsodbc {
namespace {

struct Relationship {
  std::string id;
  std::string type;    // the last segment of the type URI: "worksheet", "sharedStrings", ...
  std::string target;  // the resolved part name
};

// Reads part `name` of `pkg` through `handler`; false with the reason.
bool read_part(const ZipPackage& pkg, const std::string& name, XmlHandler& handler, std::string& error) {
  std::unique_ptr<ByteSource> in = pkg.open_part(name, kMaxOtherPart, error);
  if (!in) return false;
  XmlPart xml(std::move(in), name);
  if (xml.parse_all(handler)) return true;
  error = xml.error();
  return false;
}

// <Relationship Id= Type= Target= TargetMode=/> of a relationships part.
class RelationshipsReader : public XmlHandler {
 public:
  RelationshipsReader(const std::string& source, std::vector<Relationship>& out) : source_(source), out_(out) {}
  void start(std::string_view name, const XmlAttribute* a, size_t n) override {
    if (name != "Relationship" || find_attribute(a, n, "TargetMode") == "External") return;
    std::string_view type = find_attribute(a, n, "Type");
    Relationship r;
    r.id = find_attribute(a, n, "Id");
    r.type = type.substr(type.rfind('/') + 1);
    r.target = resolve_part_name(source_, std::string(find_attribute(a, n, "Target")));
    out_.push_back(std::move(r));
  }
  void end(std::string_view) override {}
  void text(std::string_view) override {}
  void restart() override { out_.clear(); }

 private:
  const std::string& source_;
  std::vector<Relationship>& out_;
};

// The relationships of `source` ("" for the package's own). A missing relationships part
// is no relationship at all.
bool read_relationships(const ZipPackage& pkg, const std::string& source, std::vector<Relationship>& out,
                        std::string& error) {
  out.clear();
  std::string name = source.empty() ? "_rels/.rels" : relationships_part(source);
  if (!pkg.has_part(name)) return true;
  RelationshipsReader reader(source, out);
  return read_part(pkg, name, reader, error);
}

const Relationship* find_by_type(const std::vector<Relationship>& rels, const char* type) {
  for (const Relationship& r : rels)
    if (r.type == type) return &r;
  return nullptr;
}

bool ends_with_nocase(const std::string& s, const char* tail) {
  size_t n = std::strlen(tail);
  if (s.size() < n) return false;
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  return std::equal(tail, tail + n, s.end() - static_cast<std::ptrdiff_t>(n),
                    [&](char a, char b) { return lower(a) == lower(b); });
}

// The sheets of workbook.xml, in the workbook's order, each found through its relationship,
// and the date system.
class WorkbookReader : public XmlHandler {
 public:
  WorkbookReader(const std::vector<Relationship>& rels, std::vector<Workbook::SheetEntry>& sheets, bool& date1904)
      : rels_(rels), sheets_(sheets), date1904_(date1904) {}
  void start(std::string_view name, const XmlAttribute* a, size_t n) override {
    if (!root_seen_) {
      root_seen_ = true;
      is_workbook_ = name == "workbook";
    }
    path_.enter(name);
    if (path_.is({"workbook", "workbookPr"})) {
      std::string_view v = find_attribute(a, n, "date1904");
      date1904_ = v == "1" || v == "true";
    } else if (path_.is({"workbook", "sheets", "sheet"})) {
      Workbook::SheetEntry e;
      e.name = find_attribute(a, n, "name");
      std::string_view id = find_attribute(a, n, "id");  // r:id
      e.type = SheetType::Worksheet;  // without a relationship: reported as missing when it is read
      for (const Relationship& r : rels_) {
        if (r.id != id) continue;
        e.part = r.target;
        e.type = r.type == "worksheet" ? SheetType::Worksheet : r.type == "chartsheet" ? SheetType::Chart : SheetType::MacroSheet;
      }
      sheets_.push_back(std::move(e));
    }
  }
  void end(std::string_view) override { path_.leave(); }
  void text(std::string_view) override {}
  void restart() override {
    sheets_.clear();
    date1904_ = false;
    root_seen_ = is_workbook_ = false;
    path_.clear();
  }
  // The part's root element is <workbook> (a package's main part may be a document, a
  // presentation, ...).
  bool is_workbook() const { return is_workbook_; }

 private:
  bool root_seen_ = false, is_workbook_ = false;
  ElementPath path_;
  const std::vector<Relationship>& rels_;
  std::vector<Workbook::SheetEntry>& sheets_;
  bool& date1904_;
};

// The number formats the workbook defines (styleSheet/numFmts/numFmt) and the one of each
// cell format (styleSheet/cellXfs/xf). Formats elsewhere (conditional formats' <dxfs>,
// extensions) reuse ids and must not replace these.
class StylesReader : public XmlHandler {
 public:
  void start(std::string_view name, const XmlAttribute* a, size_t n) override {
    path_.enter(name);
    if (path_.is({"styleSheet", "numFmts", "numFmt"})) {
      unsigned id;
      if (parse_unsigned(find_attribute(a, n, "numFmtId"), id)) formats[id] = find_attribute(a, n, "formatCode");
    } else if (path_.is({"styleSheet", "cellXfs", "xf"})) {
      unsigned id = 0;
      parse_unsigned(find_attribute(a, n, "numFmtId"), id);
      xf_formats.push_back(id);
    }
  }
  void end(std::string_view) override { path_.leave(); }
  void text(std::string_view) override {}
  void restart() override {
    formats.clear();
    xf_formats.clear();
    path_.clear();
  }

  std::map<unsigned, std::string> formats;
  std::vector<unsigned> xf_formats;

 private:
  ElementPath path_;
};

// The shared strings (<si> items of sharedStrings.xml).
class SharedStringsReader : public XmlHandler {
 public:
  SharedStringsReader(XmlPart& part, StringTable& strings, uint64_t size) : part_(part), strings_(strings), size_(size) {}
  void start(std::string_view name, const XmlAttribute* a, size_t n) override {
    if (in_item_) return item_.start(name);
    if (name == "si") {
      in_item_ = true;
      item_.begin();
    } else if (name == "sst") {
      // The count announced is a hint only, bounded by what the part could hold; the text is
      // no longer than the part.
      size_t unique = 0;
      parse_unsigned(find_attribute(a, n, "uniqueCount"), unique);
      strings_.reserve(std::min<size_t>(unique, static_cast<size_t>(size_ / 8)), static_cast<size_t>(size_));
    }
  }
  void end(std::string_view name) override {
    if (!in_item_) return;
    if (name != "si") return item_.end(name);
    in_item_ = false;
    if (!strings_.add(item_.take())) part_.fail("the shared strings hold more than 4 GB of text");
  }
  void text(std::string_view s) override {
    if (in_item_ && !item_.add(s)) part_.fail("a shared string of more than 16 MB is too large");
  }
  void restart() override {
    strings_.clear();
    in_item_ = false;
  }

 private:
  XmlPart& part_;
  StringTable& strings_;
  const uint64_t size_;
  StringItem item_;
  bool in_item_ = false;
};

}  // namespace

bool Workbook::open_package(std::unique_ptr<ZipPackage> package, std::string& error) {
  clear();
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
  WorkbookReader workbook(rels, sheets_, date1904_);
  if (!read_part(pkg, workbook_part, workbook, error)) return false;
  if (!workbook.is_workbook()) {
    error = "it is a zip archive but not an Excel workbook (its main part '" + workbook_part + "' is no workbook)";
    return false;
  }

  // Number formats and cell formats: which cells hold dates.
  // A part the workbook names must be there: without its styles dates would read as numbers.
  if (const Relationship* styles = find_by_type(rels, "styles")) {
    StylesReader reader;
    if (!read_part(pkg, styles->target, reader, error)) return false;
    classify_cell_formats(reader.formats, reader.xf_formats);
  }

  // Shared strings the workbook names but the package lacks: a damaged workbook (opening it
  // as if there were none would drop every text cell).
  if (const Relationship* strings = find_by_type(rels, "sharedStrings")) {
    std::unique_ptr<ByteSource> in = pkg.open_part(strings->target, kMaxOtherPart, error);
    if (!in) return false;
    const uint64_t size = in->size();
    XmlPart xml(std::move(in), strings->target);
    SharedStringsReader reader(xml, sst_, size);
    if (!xml.parse_all(reader)) {
      error = xml.error();
      return false;
    }
  }
  package_ = std::move(package);
  return true;
}

}  // namespace xlsodbc
