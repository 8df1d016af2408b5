// The fast XML scanner against libxml2 on the same documents: where the scanner reads a
// document, it must report exactly the elements, attributes and text libxml2 reports, and
// libxml2 must find the document well formed; where libxml2 finds a fault, the scanner must
// give the document up (the driver then lets libxml2 name the fault). Every document is fed
// whole, a byte at a time and in pieces of seven bytes, so that tokens cut at any place are
// covered.
#include "xml_event_log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace xlstest;

namespace {

// `scanner_must_read`: the scanner reads the document itself rather than leave it to libxml2.
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

// Faults, and the rare forms the scanner leaves to libxml2.
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
           // Found by fuzzing: a second byte order mark, a NUL in the declaration.
           std::string("\xEF\xBB\xBF\xEF\xBB\xBF<a/>"), std::string("<?xml\0version=\"1.0\"?><a/>", 25),
           // A prefixed name whose local part is no name: libxml2 reads it whole, unprefixed.
           std::string("<a xml:3pace=\"x\"/>"),
       })
    expect_agreement(doc, false);
}

TEST(XmlScanner, LeavesOtherEncodingsToLibxml2) {
  std::vector<std::string> got;
  EXPECT_FALSE(read_with_scanner("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xE9</a>", 0, got));
  EXPECT_FALSE(read_with_scanner(std::string("\xFF\xFE<\0a\0/\0>\0", 8), 0, got));
}

}  // namespace
