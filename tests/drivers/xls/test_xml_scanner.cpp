// The fast XML scanner against libxml2 on the same documents: where the scanner reads a
// document, it must report exactly the elements, attributes and text libxml2 reports, and
// libxml2 must find the document well formed; where libxml2 finds a fault, the scanner must
// give the document up (the driver then lets libxml2 name the fault). Every document is fed
// whole, a byte at a time and in pieces of seven bytes, so that tokens cut at any place are
// covered.
#include "xml_scanner.h"

#include <libxml/parser.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace xlsodbc;

namespace {

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
bool read_with_libxml2(const std::string& doc, std::vector<std::string>& out) {
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
bool read_with_scanner(const std::string& doc, size_t piece, std::vector<std::string>& out) {
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

void expect_agreement(const std::string& doc, bool scanner_must_read) {
  std::vector<std::string> reference;
  bool well_formed = read_with_libxml2(doc, reference);
  for (size_t piece : {0, 1, 7}) {
    std::vector<std::string> got;
    bool read = read_with_scanner(doc, piece, got);
    if (read) {
      EXPECT_TRUE(well_formed) << "the scanner read what libxml2 refuses (pieces of " << piece << "): " << doc;
      EXPECT_EQ(got, reference) << "pieces of " << piece << ": " << doc;
    } else {
      EXPECT_FALSE(scanner_must_read) << "the scanner gave up (pieces of " << piece << "): " << doc;
    }
  }
}

TEST(XmlScanner, ReadsWhatWritersProduceAsLibxml2Does) {
  const std::string decl = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";
  for (const std::string& doc : std::vector<std::string>{
           decl + "<worksheet xmlns=\"urn:main\" xmlns:r=\"urn:r\"><sheetData><row r=\"1\"><c r=\"A1\" s=\"3\" t=\"s\"><v>0</v></c>"
                  "<c r='B1'><v>1.5</v></c></row></sheetData></worksheet>",
           // Entities and character references in text and attribute values.
           decl + "<a v=\"x&amp;y&lt;&gt;&quot;&apos;&#65;&#x4E2D;\">1 &amp; 2 &#x1F600; &lt;&#13;</a>",
           // Line ends: CR LF and CR become LF in text; in attributes every white space a space.
           decl + "<a v=\"one\r\ntwo\tthree\nfour\rfive\">l1\r\nl2\rl3\n</a>",
           // CDATA, comments, processing instructions, white space between and after.
           decl + "<!-- c --><?pi data?>\n<a><![CDATA[<b>&amp;]]>x<!-- c2 -->y<?q?></a>\n<!-- end -->\n",
           // Prefixed elements and attributes, an empty element, multi-byte text.
           "<x:a xmlns:x=\"urn:x\" x:id=\"7\"><x:b/><x:c>中文 — ü</x:c></x:a>",
           "\xEF\xBB\xBF<a>with a byte order mark</a>",
           "<a><b></b><b/>  </a>",
       })
    expect_agreement(doc, true);
}

TEST(XmlScanner, GivesUpWhereLibxml2FindsAFault) {
  for (const std::string& doc : std::vector<std::string>{
           std::string("<a><b></a></b>"), std::string("<a>"), std::string("<a></a><b></b>"), std::string("text<a/>"),
           std::string("<a/>text"), std::string(""), std::string("   "), std::string("<a>&foo;</a>"),
           std::string("<a>&#0;</a>"), std::string("<a>&#xD800;</a>"), std::string("<a>&amp</a>"),
           std::string("<a v=x/>"), std::string("<a v=\"1\" v=\"2\"/>"), std::string("<a v=\"<\"/>"),
           std::string("<a>]]></a>"), std::string("<a><!-- a -- b --></a>"), std::string("<a>\x01</a>"),
           std::string("<a>\xFF</a>"), std::string("<a>\xC0\x80</a>"), std::string("<a>\xED\xA0\x80</a>"),
           std::string("<a>\xEF\xBF\xBE</a>"), std::string(" <?xml version=\"1.0\"?><a/>"),
           std::string("<?xml version=\"1.0\"?><?xml version=\"1.0\"?><a/>"), std::string("<a b=\"1\"c=\"2\"/>"),
           std::string("<1a/>"), std::string("<a:/>"), std::string("</a>"), std::string("<a></a >x"),
           std::string("<!DOCTYPE a [<!ENTITY e \"x\">]><a>&e;</a>"),
       })
    expect_agreement(doc, false);
}

TEST(XmlScanner, LeavesOtherEncodingsToLibxml2) {
  std::vector<std::string> got;
  EXPECT_FALSE(read_with_scanner("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xE9</a>", 0, got));
  EXPECT_FALSE(read_with_scanner(std::string("\xFF\xFE<\0a\0/\0>\0", 8), 0, got));
}

}  // namespace
