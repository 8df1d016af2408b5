#include "xml_part.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace xlsodbc {
namespace {

// How much of a part is inflated and parsed at a time.
constexpr size_t kChunk = 64 * 1024;

XmlPart* self_of(void* ctx) { return static_cast<XmlPart*>(static_cast<xmlParserCtxtPtr>(ctx)->_private); }

void ignore_message(void*, const char*, ...) {}

// Some of libxml2's complaints (encoding errors among them) bypass the parser's error handler
// and go to its generic one, which prints to the host program's stderr. While a part is
// parsed they are dropped: the fault itself comes back through the parser. The generic
// handler is the calling thread's own, so other users of libxml2 in the process keep theirs.
class QuietGenericErrors {
 public:
  QuietGenericErrors() : func_(xmlGenericError), context_(xmlGenericErrorContext) {
    xmlSetGenericErrorFunc(nullptr, &ignore_message);
  }
  ~QuietGenericErrors() { xmlSetGenericErrorFunc(context_, func_); }
  QuietGenericErrors(const QuietGenericErrors&) = delete;
  QuietGenericErrors& operator=(const QuietGenericErrors&) = delete;

 private:
  xmlGenericErrorFunc func_;
  void* context_;
};

}  // namespace

XmlPart::XmlPart(std::unique_ptr<ByteSource> part, std::string name) : part_(std::move(part)), name_for_messages_(std::move(name)) {}

XmlPart::~XmlPart() {
  if (parser_) xmlFreeParserCtxt(parser_);
}

void XmlPart::fail(const std::string& why) {
  if (error_.empty()) error_ = "the workbook is damaged: part '" + name_for_messages_ + "': " + why;
  if (parser_) xmlStopParser(parser_);
}

bool XmlPart::read_chunk(std::vector<char>& buffer, size_t& n, bool& last) {
  uint64_t left = part_->size() - std::min(offset_, part_->size());
  n = static_cast<size_t>(std::min<uint64_t>(left, buffer.size()));
  last = n == left;
  if (n > 0 && !part_->read(offset_, n, reinterpret_cast<uint8_t*>(buffer.data()))) {
    error_ = "the workbook is damaged or truncated: part '" + name_for_messages_ + "' cannot be inflated to its end";
    return false;
  }
  offset_ += n;
  return true;
}

bool XmlPart::parse_all(XmlHandler& handler) {
  std::vector<char> buffer(kChunk);
  XmlScanner scanner(handler);
  for (bool last = false; !last;) {
    size_t n;
    if (!read_chunk(buffer, n, last)) return false;
    bool scanned = scanner.feed(buffer.data(), n, last);
    if (failed()) return false;  // the handler found a fault
    if (!scanned) {
      // The scanner gave the part up: libxml2 reads it from the start, and names its fault
      // if it has one.
      handler.restart();
      offset_ = 0;
      return parse_with_libxml2(handler);
    }
  }
  return true;
}

bool XmlPart::parse_with_libxml2(XmlHandler& handler) {
  xmlSAXHandler sax;
  std::memset(&sax, 0, sizeof sax);
  sax.initialized = XML_SAX2_MAGIC;
  sax.startElementNs = &XmlPart::on_start;
  sax.endElementNs = &XmlPart::on_end;
  sax.characters = &XmlPart::on_text;
  sax.cdataBlock = &XmlPart::on_text;
  sax.ignorableWhitespace = &XmlPart::on_text;
  sax.internalSubset = &XmlPart::on_doctype;
  sax.serror = &XmlPart::on_error;
  parser_ = xmlCreatePushParserCtxt(&sax, nullptr, nullptr, 0, name_for_messages_.c_str());
  if (!parser_) {
    fail("cannot start reading it");
    return false;
  }
  parser_->_private = this;
  // Entities are replaced so that attribute values come decoded ("&amp;" as "&"). That is
  // safe only because a part with a document type, the one place entities could be declared,
  // is refused before its declarations are read (on_doctype); no network in any case.
  xmlCtxtUseOptions(parser_, XML_PARSE_NONET | XML_PARSE_NOENT);
  QuietGenericErrors quiet;
  handler_ = &handler;
  depth_ = 0;
  std::vector<char> buffer(kChunk);
  for (bool last = false; !last && !failed();) {
    size_t n;
    if (!read_chunk(buffer, n, last)) break;
    int rc = xmlParseChunk(parser_, buffer.data(), static_cast<int>(n), last ? 1 : 0);
    if (out_of_memory_) {
      handler_ = nullptr;
      std::rethrow_exception(std::exchange(out_of_memory_, nullptr));
    }
    if (failed()) break;
    if (rc != 0 || !parser_error_.empty())
      fail("malformed XML: " + (parser_error_.empty() ? std::string("the document ends early") : parser_error_));
  }
  handler_ = nullptr;
  return !failed();
}

template <typename F>
void XmlPart::within_callback(F&& work) {
  if (out_of_memory_) return;
  try {
    work();
  } catch (const std::bad_alloc&) {
    out_of_memory_ = std::current_exception();
    if (parser_) xmlStopParser(parser_);
  } catch (const std::exception& e) {
    try {
      fail(std::string("cannot be read: ") + e.what());
    } catch (const std::bad_alloc&) {
      out_of_memory_ = std::current_exception();
      if (parser_) xmlStopParser(parser_);
    }
  }
}

void XmlPart::on_start(void* ctx, const xmlChar* local, const xmlChar*, const xmlChar*, int, const xmlChar**,
                       int nb_attributes, int, const xmlChar** attributes) {
  XmlPart* self = self_of(ctx);
  self->within_callback([&] {
    if (++self->depth_ > kMaxXmlDepth) {
      self->fail("elements nested more than " + std::to_string(kMaxXmlDepth) + " deep");
      return;
    }
    self->attributes_.clear();
    for (int i = 0; i < nb_attributes; ++i) {
      const xmlChar* const* a = attributes + 5 * i;  // local name, prefix, URI, value, value end
      self->attributes_.push_back(
          XmlAttribute{reinterpret_cast<const char*>(a[0]),
                       std::string_view(reinterpret_cast<const char*>(a[3]), static_cast<size_t>(a[4] - a[3]))});
    }
    self->handler_->start(reinterpret_cast<const char*>(local), self->attributes_.data(), self->attributes_.size());
  });
}

void XmlPart::on_end(void* ctx, const xmlChar* local, const xmlChar*, const xmlChar*) {
  XmlPart* self = self_of(ctx);
  if (self->failed()) return;
  --self->depth_;
  self->within_callback([&] { self->handler_->end(reinterpret_cast<const char*>(local)); });
}

void XmlPart::on_text(void* ctx, const xmlChar* text, int len) {
  XmlPart* self = self_of(ctx);
  self->within_callback(
      [&] { self->handler_->text(std::string_view(reinterpret_cast<const char*>(text), static_cast<size_t>(len))); });
}

void XmlPart::on_doctype(void* ctx, const xmlChar*, const xmlChar*, const xmlChar*) {
  XmlPart* self = self_of(ctx);
  self->within_callback([&] { self->fail("malformed XML: a document type, which workbook parts never hold"); });
}

void XmlPart::on_error(void* ctx, xmlErrorPtr err) {
  if (!ctx || !err || err->level < XML_ERR_ERROR) return;
  XmlPart* self = self_of(ctx);
  if (!self->parser_error_.empty()) return;
  self->within_callback([&] {
    std::string text = err->message ? err->message : "unknown error";
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    for (char& c : text)
      if (c == '\n') c = ' ';
    self->parser_error_ = text + " (line " + std::to_string(err->line) + ")";
  });
}

}  // namespace xlsodbc
