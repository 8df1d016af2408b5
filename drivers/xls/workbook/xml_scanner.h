// A fast scanner for the plain form of XML that spreadsheet writers produce (UTF-8, no
// document type), used for worksheet parts, where libxml2 spends about 80 instructions a
// byte: 2,800 a cell. It checks what makes a document well formed (matching tags, quoted
// attributes, known entities, legal characters, valid UTF-8, one root) and gives up on
// anything else (an undeclared namespace prefix, nesting deeper than kMaxXmlDepth among them):
// a document it declines or finds at fault is parsed again by libxml2, which then reads it or
// names its fault. So it never accepts what libxml2 would refuse, nor reports a fault of its
// own.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace xlsodbc {

// The deepest nesting of elements a part may have: real parts stay below 10 levels, and a
// limit keeps a small hostile part from holding millions of open elements in memory.
constexpr size_t kMaxXmlDepth = 1000;

struct XmlAttribute {
  std::string_view name;   // local name, without a namespace prefix
  std::string_view value;  // decoded: entities replaced, white space normalised
};

// The value of the attribute with this local name; a view without data (nullptr) when the
// tag has none.
inline std::string_view find_attribute(const XmlAttribute* attributes, size_t count, std::string_view name) {
  for (size_t i = 0; i < count; ++i)
    if (attributes[i].name == name) return attributes[i].value;
  return std::string_view();
}

// Receives a document's elements and text, from the scanner or from libxml2.
class XmlHandler {
 public:
  virtual void start(std::string_view name, const XmlAttribute* attributes, size_t count) = 0;
  virtual void end(std::string_view name) = 0;
  virtual void text(std::string_view text) = 0;
  // Everything received so far is void: the document is read again from its start.
  virtual void restart() = 0;

 protected:
  ~XmlHandler() = default;
};

class XmlScanner {
 public:
  explicit XmlScanner(XmlHandler& handler) : handler_(handler) {}

  // Scans the next piece of the document; `last` marks its end. False when the scanner gives
  // the document up (see above); nothing more may be fed then.
  bool feed(const char* data, size_t n, bool last);

 private:
  enum class Step { Done, NeedMore, GiveUp };
  Step scan(bool last);
  Step markup(size_t& at, bool last);
  Step start_tag(size_t at, size_t& next);
  Step end_tag(size_t at, size_t close);
  // Whether the prefixes of a start tag's names are declared, taking in its own declarations
  // (kept until the element ends); libxml2 refuses a document that uses an undeclared one.
  bool namespaces_declared(std::string_view qname, bool empty);
  // Forgets the declarations of the elements at `depth` and deeper, which have ended.
  void end_declarations(size_t depth);
  bool text_run(std::string_view raw, bool in_root);
  bool decode(std::string_view raw, bool attribute, std::string& out);

  XmlHandler& handler_;
  std::string buffer_;    // unscanned input
  std::string names_;     // qualified names of the open elements, each ended by '\0'
  std::vector<size_t> open_;  // where each open element's name starts in names_
  // The current start tag's attributes, their qualified names (to find repeats) and where
  // each decoded value lies in text_ (SIZE_MAX: the value is its raw text).
  std::vector<XmlAttribute> attributes_;
  std::vector<std::string_view> raw_names_;
  std::vector<std::pair<std::string_view, size_t>> prefixed_;  // the tag's prefixed names, local lengths
  std::vector<std::pair<std::string, size_t>> prefixes_;  // declared, with their element's depth
  size_t declarations_end_ = 0;  // 1 + the depth of the last one: ended above that depth
  std::vector<std::pair<size_t, size_t>> spans_;
  std::string text_;  // decoded text or attribute values
  bool bom_checked_ = false;  // the first bytes were looked at for a byte order mark
  bool at_start_ = true;      // nothing scanned yet: the place of the XML declaration
  bool epilog_ = false;   // after it
};

}  // namespace xlsodbc
