#include "xml_part.h"

#include <algorithm>
#include <cstring>

namespace xlsodbc {
namespace {

const char* text_of(const xmlChar* s) { return reinterpret_cast<const char*>(s); }

// Collects the first error libxml2 reports while parsing a part, instead of its default of
// printing to stderr.
void on_error(void* context, xmlErrorPtr err) {
  auto* message = static_cast<std::string*>(context);
  if (!message->empty() || !err) return;
  std::string text = err->message ? err->message : "unknown error";
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  *message = text + " (line " + std::to_string(err->line) + ")";
}

}  // namespace

XmlPart::XmlPart(GRef<GsfInput> part, std::string name) : part_(std::move(part)), name_for_messages_(std::move(name)) {
  // No network, no external entities; entities stay unexpanded (a workbook part has no DTD
  // and one that brings its own is refused in next_tag()).
  reader_ = xmlReaderForIO(&XmlPart::read_callback, nullptr, this, nullptr, nullptr,
                           XML_PARSE_NONET | XML_PARSE_COMPACT);
  if (!reader_) {
    fail("cannot start reading it");
    return;
  }
  xmlTextReaderSetStructuredErrorHandler(reader_, &on_error, &reader_error_);
}

XmlPart::~XmlPart() {
  if (reader_) xmlFreeTextReader(reader_);
}

int XmlPart::read_callback(void* context, char* buffer, int len) {
  auto* self = static_cast<XmlPart*>(context);
  GsfInput* in = self->part_.get();
  gsf_off_t left = gsf_input_remaining(in);
  if (left <= 0) return 0;
  size_t n = static_cast<size_t>(std::min<gsf_off_t>(left, len));
  if (!gsf_input_read(in, n, reinterpret_cast<guint8*>(buffer))) {
    self->truncated_ = true;
    return -1;
  }
  return static_cast<int>(n);
}

void XmlPart::fail(const std::string& why) {
  if (error_.empty()) error_ = "the workbook is damaged: part '" + name_for_messages_ + "': " + why;
}

void XmlPart::take_reader_error() {
  if (truncated_)
    error_ = "the workbook is damaged or truncated: part '" + name_for_messages_ + "' cannot be inflated to its end";
  else
    fail("malformed XML: " + (reader_error_.empty() ? std::string("the document ends early") : reader_error_));
}

bool XmlPart::next_tag() {
  if (failed() || !reader_) return false;
  for (;;) {
    int r = xmlTextReaderRead(reader_);
    if (r == 0) return false;
    if (r < 0) {
      take_reader_error();
      return false;
    }
    int type = xmlTextReaderNodeType(reader_);
    if (type == XML_READER_TYPE_ELEMENT || type == XML_READER_TYPE_END_ELEMENT) {
      start_ = type == XML_READER_TYPE_ELEMENT;
      empty_ = start_ && xmlTextReaderIsEmptyElement(reader_) == 1;
      depth_ = xmlTextReaderDepth(reader_);
      const char* local = text_of(xmlTextReaderConstLocalName(reader_));
      name_ = local ? local : "";
      return true;
    }
    if (type == XML_READER_TYPE_DOCUMENT_TYPE || type == XML_READER_TYPE_ENTITY_REFERENCE) {
      fail("malformed XML: a document type or entity, which workbook parts never hold");
      return false;
    }
  }
}

bool XmlPart::is(const char* local) const { return std::strcmp(name_, local) == 0; }

const char* XmlPart::find_attribute(const char* local, bool namespaced) {
  if (!start_ || xmlTextReaderMoveToFirstAttribute(reader_) != 1) return nullptr;
  const char* found = nullptr;
  do {
    const char* n = text_of(xmlTextReaderConstLocalName(reader_));
    if (n && std::strcmp(n, local) == 0 && (!namespaced || xmlTextReaderConstNamespaceUri(reader_))) {
      found = text_of(xmlTextReaderConstValue(reader_));
      break;
    }
  } while (xmlTextReaderMoveToNextAttribute(reader_) == 1);
  xmlTextReaderMoveToElement(reader_);
  return found;
}

const char* XmlPart::attribute(const char* local) { return find_attribute(local, false); }

const char* XmlPart::namespaced_attribute(const char* local) { return find_attribute(local, true); }

bool XmlPart::attribute(const char* local, std::string& out) {
  const char* v = attribute(local);
  if (!v) return false;
  out = v;
  return true;
}

bool XmlPart::append_text(std::string& out) {
  if (empty_) return true;
  const int element_depth = depth_;
  for (;;) {
    int r = xmlTextReaderRead(reader_);
    if (r <= 0) {
      if (r < 0) take_reader_error();
      else fail("malformed XML: the document ends inside an element");
      return false;
    }
    int type = xmlTextReaderNodeType(reader_);
    if (type == XML_READER_TYPE_TEXT || type == XML_READER_TYPE_CDATA ||
        type == XML_READER_TYPE_SIGNIFICANT_WHITESPACE || type == XML_READER_TYPE_WHITESPACE) {
      if (const char* t = text_of(xmlTextReaderConstValue(reader_))) out += t;
    } else if (type == XML_READER_TYPE_END_ELEMENT && xmlTextReaderDepth(reader_) == element_depth) {
      start_ = false;
      empty_ = false;
      depth_ = element_depth;
      const char* local = text_of(xmlTextReaderConstLocalName(reader_));
      name_ = local ? local : "";
      return true;
    } else if (type == XML_READER_TYPE_ENTITY_REFERENCE || type == XML_READER_TYPE_DOCUMENT_TYPE) {
      fail("malformed XML: a document type or entity, which workbook parts never hold");
      return false;
    }
  }
}

}  // namespace xlsodbc
