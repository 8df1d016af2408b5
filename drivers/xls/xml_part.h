// Streaming reading of one XML part of a package through libxml2's SAX2 push parser: the part
// is inflated and parsed a chunk at a time, its events queued, and the caller pulls tags from
// the queue. A worksheet of any size takes no more memory than the cells kept from it.
#pragma once

#include "gsf_ref.h"
#include "xml_scanner.h"

#include <libxml/parser.h>

#include <cstdint>
#include <string>
#include <vector>

namespace xlsodbc {

class XmlPart {
 public:
  // Reads `part` (taking it over) named `name` for messages.
  XmlPart(GRef<GsfInput> part, std::string name);
  ~XmlPart();
  XmlPart(const XmlPart&) = delete;
  XmlPart& operator=(const XmlPart&) = delete;

  // Moves to the next start or end tag, passing over text. False at the end of the part or
  // on an error (then failed() is true).
  bool next_tag();
  bool failed() const { return !error_.empty(); }
  // The reason of the failure, naming the part.
  const std::string& error() const { return error_; }

  bool is_start() const { return current().kind == Event::Start; }
  bool is_end() const { return current().kind == Event::End; }
  // A start tag whose end tag follows at once (<x/> or <x></x>).
  bool is_empty();
  int depth() const { return current().depth; }
  // The element's name without its namespace prefix ("" before the first tag).
  const char* name() const { return current().name; }
  bool is(const char* local) const;

  // The value of the current start tag's attribute with this local name (any namespace),
  // valid until the next move; nullptr when there is none.
  const char* attribute(const char* local) const;
  bool attribute(const char* local, std::string& out) const;
  // The same for an attribute in a namespace only (r:id rather than a plain id).
  const char* namespaced_attribute(const char* local) const;

  // Calls f(local_name, value) for each attribute of the current start tag.
  template <typename F>
  void for_each_attribute(F f) const {
    const Event& e = current();
    for (uint32_t i = e.first_attr; i < e.end_attr; ++i) f(attrs_[i].name, chars_.data() + attrs_[i].value);
  }

  // Appends the text inside the current element, up to its end tag, to `out` (nested tags
  // are passed over, their text kept). After it the reader stands on the end tag.
  bool append_text(std::string& out);

  // Marks the part as damaged with a reason of the caller's.
  void fail(const std::string& why);

  // Reads the whole part into `handler`, for the part read at full speed (a worksheet): first
  // with the fast scanner, and when it gives the part up, again from the start with libxml2.
  // False on an error (see error()). Instead of the pulling functions above, not with them.
  bool parse_all(XmlHandler& handler);

 private:
  struct Event {
    enum Kind : uint8_t { Start, End, Text } kind = End;
    int depth = 0;
    // The parser keeps element names in its dictionary for as long as it lives: no copy.
    const char* name = "";
    uint32_t text = 0;  // offset into chars_ of a Text event's text
    uint32_t size = 0;  // its length
    uint32_t first_attr = 0, end_attr = 0;
  };
  struct Attr {
    const char* name;  // in the parser's dictionary
    uint32_t value;
    bool namespaced;
  };

  const Event& current() const { return events_[pos_]; }
  // Makes the event after the current one available; false at the end or on an error.
  bool advance();
  // Parses the next chunk of the part; `keep_current` keeps the current event's strings.
  bool parse_more(bool keep_current);
  uint32_t store(const char* s, size_t n);
  const char* find_attribute(const char* local, bool namespaced_only) const;

  static void on_start(void* ctx, const xmlChar* local, const xmlChar* prefix, const xmlChar* uri, int nb_ns,
                       const xmlChar** ns, int nb_attributes, int nb_defaulted, const xmlChar** attributes);
  static void on_end(void* ctx, const xmlChar* local, const xmlChar* prefix, const xmlChar* uri);
  static void on_text(void* ctx, const xmlChar* text, int len);
  static void on_doctype(void* ctx, const xmlChar* name, const xmlChar* external_id, const xmlChar* system_id);
  static void on_error(void* ctx, xmlErrorPtr err);

  GRef<GsfInput> part_;
  std::string name_for_messages_;
  xmlParserCtxtPtr parser_ = nullptr;
  XmlHandler* handler_ = nullptr;
  std::vector<XmlAttribute> handler_attributes_;
  bool finished_ = false;  // the whole part has been given to the parser
  std::string error_;
  std::string parser_error_;

  std::vector<Event> events_;  // events_[pos_] is the current one
  std::vector<Attr> attrs_;
  std::string chars_;  // names, attribute values and texts, each ended by NUL
  size_t pos_ = 0;
  int open_elements_ = 0;
};

}  // namespace xlsodbc
