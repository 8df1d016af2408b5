// The events of an XML document as lines of text, read by the fast scanner or by libxml2 set
// up as the driver sets it up: the two readings are compared by the scanner's tests and its
// differential fuzzer.
#pragma once

#include "workbook/xml_scanner.h"

#include <libxml/parser.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace xlstest {

using xlsodbc::XmlAttribute;
using xlsodbc::XmlHandler;
using xlsodbc::XmlScanner;

// One line per element or run of text: "<name a=v>", "</name>", "'text'".
class Log : public XmlHandler {
 public:
  void start(std::string_view name, const XmlAttribute* a, size_t n) override {
    flush();
    std::string line = "<" + std::string(name);
    for (size_t i = 0; i < n; ++i) line += " " + std::string(a[i].name) + "=" + std::string(a[i].value);
    lines.push_back(line + ">");
  }
  void end(std::string_view name) override {
    flush();
    lines.push_back("</" + std::string(name) + ">");
  }
  void text(std::string_view t) override { pending_ += t; }  // libxml2 cuts text at entities
  void restart() override { lines.clear(), pending_.clear(); }
  std::vector<std::string> done() {
    flush();
    return lines;
  }

  std::vector<std::string> lines;

 private:
  void flush() {
    if (!pending_.empty()) lines.push_back("'" + pending_ + "'");
    pending_.clear();
  }
  std::string pending_;
};

// libxml2's reading, as the driver sets it up; false when it finds the document malformed.
inline bool read_with_libxml2(const std::string& doc, std::vector<std::string>& out) {
  Log log;
  xmlSAXHandler sax;
  std::memset(&sax, 0, sizeof sax);
  sax.initialized = XML_SAX2_MAGIC;
  sax.startElementNs = [](void* ctx, const xmlChar* local, const xmlChar*, const xmlChar*, int, const xmlChar**, int n,
                          int, const xmlChar** a) {
    std::vector<XmlAttribute> attrs;
    for (int i = 0; i < n; ++i)
      attrs.push_back({reinterpret_cast<const char*>(a[5 * i]),
                       std::string_view(reinterpret_cast<const char*>(a[5 * i + 3]), static_cast<size_t>(a[5 * i + 4] - a[5 * i + 3]))});
    static_cast<Log*>(static_cast<xmlParserCtxtPtr>(ctx)->_private)->start(reinterpret_cast<const char*>(local), attrs.data(), attrs.size());
  };
  sax.endElementNs = [](void* ctx, const xmlChar* local, const xmlChar*, const xmlChar*) {
    static_cast<Log*>(static_cast<xmlParserCtxtPtr>(ctx)->_private)->end(reinterpret_cast<const char*>(local));
  };
  sax.characters = sax.cdataBlock = sax.ignorableWhitespace = [](void* ctx, const xmlChar* t, int n) {
    static_cast<Log*>(static_cast<xmlParserCtxtPtr>(ctx)->_private)->text(std::string_view(reinterpret_cast<const char*>(t), static_cast<size_t>(n)));
  };
  sax.serror = [](void*, xmlErrorPtr) {};
  xmlParserCtxtPtr parser = xmlCreatePushParserCtxt(&sax, nullptr, nullptr, 0, "test");
  parser->_private = &log;
  xmlCtxtUseOptions(parser, XML_PARSE_NONET | XML_PARSE_NOENT);
  int rc = xmlParseChunk(parser, doc.data(), static_cast<int>(doc.size()), 1);
  bool well_formed = rc == 0 && parser->wellFormed;
  xmlFreeParserCtxt(parser);
  out = log.done();
  return well_formed;
}

// The scanner's reading in pieces of `piece` bytes (0: whole); false when it gives up.
inline bool read_with_scanner(const std::string& doc, size_t piece, std::vector<std::string>& out) {
  Log log;
  XmlScanner scanner(log);
  size_t step = piece ? piece : std::max<size_t>(doc.size(), 1);
  for (size_t at = 0;; at += step) {
    size_t n = std::min(step, doc.size() - std::min(at, doc.size()));
    bool last = at + n >= doc.size();
    if (!scanner.feed(doc.data() + std::min(at, doc.size()), n, last)) return false;
    if (last) break;
  }
  out = log.done();
  return true;
}

}  // namespace xlstest
