// Reading an .xlsx / .xlsm workbook (SpreadsheetML in a zip package) into the workbook model:
// the package's relationships lead to the workbook part, the workbook's to its sheets, shared
// strings and styles. Every part is streamed; only the cells and strings are kept.
#include "workbook.h"

#include "charset.h"
#include "xlsx_values.h"
#include "xml_part.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstring>

namespace xlsodbc {
namespace {

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

}  // namespace xlsodbc
