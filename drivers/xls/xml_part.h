// Streaming reading of one XML part of a package through libxml2's xmlTextReader: the part is
// inflated and parsed piece by piece, so a worksheet of any size takes no more memory than
// the cells kept from it.
#pragma once

#include "gsf_ref.h"

#include <libxml/xmlreader.h>

#include <string>

namespace xlsodbc {

class XmlPart {
 public:
  // Reads `part` (taking it over) named `name` for messages.
  XmlPart(GRef<GsfInput> part, std::string name);
  ~XmlPart();
  XmlPart(const XmlPart&) = delete;
  XmlPart& operator=(const XmlPart&) = delete;

  // Moves to the next start or end tag, passing over text, comments and processing
  // instructions. False at the end of the part or on an error (then failed() is true).
  bool next_tag();
  bool failed() const { return !error_.empty(); }
  // The reason of the failure, naming the part and line.
  const std::string& error() const { return error_; }

  bool is_start() const { return start_; }
  bool is_end() const { return !start_; }
  // An element written <x/>: no end tag will follow.
  bool is_empty() const { return empty_; }
  int depth() const { return depth_; }
  // The element's name without its namespace prefix.
  const char* name() const { return name_; }
  bool is(const char* local) const;

  // The value of the current start tag's attribute with this local name (any namespace);
  // false when there is none.
  bool attribute(const char* local, std::string& out);
  // The same, as a borrowed pointer valid until the next move; nullptr when there is none.
  const char* attribute(const char* local);
  // Whether the current start tag has an attribute of this local name in a namespace
  // (r:id rather than a plain id).
  const char* namespaced_attribute(const char* local);

  // Calls f(local_name, value) for each attribute of the current start tag: one walk, for
  // elements whose attributes are all wanted (a worksheet's cells).
  template <typename F>
  void for_each_attribute(F f) {
    if (!start_ || xmlTextReaderMoveToFirstAttribute(reader_) != 1) return;
    do {
      const xmlChar* n = xmlTextReaderConstLocalName(reader_);
      const xmlChar* v = xmlTextReaderConstValue(reader_);
      if (n && v) f(reinterpret_cast<const char*>(n), reinterpret_cast<const char*>(v));
    } while (xmlTextReaderMoveToNextAttribute(reader_) == 1);
    xmlTextReaderMoveToElement(reader_);
  }

  // Appends the text inside the current element, up to its end tag, to `out` (nested tags
  // are passed over, their text kept). After it the reader stands on the end tag.
  bool append_text(std::string& out);

  // Marks the part as damaged with a reason of the caller's.
  void fail(const std::string& why);

 private:
  static int read_callback(void* context, char* buffer, int len);
  const char* find_attribute(const char* local, bool namespaced);
  void take_reader_error();

  GRef<GsfInput> part_;
  std::string name_for_messages_;
  xmlTextReaderPtr reader_ = nullptr;
  std::string error_;
  std::string reader_error_;  // the first error libxml2 reported
  bool truncated_ = false;    // the part could not be inflated to its end
  const char* name_ = "";
  int depth_ = 0;
  bool start_ = false;
  bool empty_ = false;
};

}  // namespace xlsodbc
