// Reading one XML part of a package: streamed a chunk at a time through a handler, first by
// the fast scanner and, for a part it declines, by libxml2's SAX2 push parser. A worksheet of
// any size takes no more memory than the cells kept from it.
#pragma once

#include "byte_source.h"
#include "xml_scanner.h"

#include <libxml/parser.h>

#include <exception>
#include <memory>
#include <string>
#include <vector>

namespace xlsodbc {

class XmlPart {
 public:
  // Reads `part` (taking it over) named `name` for messages.
  XmlPart(std::unique_ptr<ByteSource> part, std::string name);
  ~XmlPart();
  XmlPart(const XmlPart&) = delete;
  XmlPart& operator=(const XmlPart&) = delete;

  // Reads the whole part into `handler`: with the fast scanner, and when it gives the part
  // up, again from the start with libxml2. False on an error (see error()).
  bool parse_all(XmlHandler& handler);

  bool failed() const { return !error_.empty(); }
  // The reason of the failure, naming the part.
  const std::string& error() const { return error_; }
  // Marks the part as damaged with a reason of the handler's; reading stops.
  void fail(const std::string& why);

 private:
  bool parse_with_libxml2(XmlHandler& handler);
  // Reads the next chunk of the part into `buffer`; false when it cannot be inflated.
  bool read_chunk(std::vector<char>& buffer, size_t& n, bool& last);

  // Runs a handler's work inside a libxml2 callback. No C++ exception may pass through
  // libxml2's C frames (they would skip its clean-up): a lack of memory is kept, the parser
  // stopped and the exception thrown again once libxml2 has returned; any other exception
  // marks the part as damaged.
  template <typename F>
  void within_callback(F&& work);

  static void on_start(void* ctx, const xmlChar* local, const xmlChar* prefix, const xmlChar* uri, int nb_ns,
                       const xmlChar** ns, int nb_attributes, int nb_defaulted, const xmlChar** attributes);
  static void on_end(void* ctx, const xmlChar* local, const xmlChar* prefix, const xmlChar* uri);
  static void on_text(void* ctx, const xmlChar* text, int len);
  static void on_doctype(void* ctx, const xmlChar* name, const xmlChar* external_id, const xmlChar* system_id);
  static void on_error(void* ctx, xmlErrorPtr err);

  std::unique_ptr<ByteSource> part_;
  uint64_t offset_ = 0;  // where the next chunk starts
  std::string name_for_messages_;
  xmlParserCtxtPtr parser_ = nullptr;
  XmlHandler* handler_ = nullptr;
  size_t depth_ = 0;  // of the open elements (libxml2's push parser does not bound it)
  std::vector<XmlAttribute> attributes_;
  std::string error_;
  std::string parser_error_;
  std::exception_ptr out_of_memory_;  // caught in a callback, thrown again after it
};

}  // namespace xlsodbc
