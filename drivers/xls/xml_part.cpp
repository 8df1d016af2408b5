#include "xml_part.h"

#include <algorithm>
#include <cstring>

namespace xlsodbc {
namespace {

// How much of a part is inflated and parsed at a time.
constexpr size_t kChunk = 64 * 1024;
// The longest text of one element accepted. A cell holds at most 32,767 characters; anything
// far beyond is a damaged or hostile part, not text to keep in memory.
constexpr size_t kMaxText = 16u << 20;

XmlPart* self_of(void* ctx) { return static_cast<XmlPart*>(static_cast<xmlParserCtxtPtr>(ctx)->_private); }

}  // namespace

XmlPart::XmlPart(GRef<GsfInput> part, std::string name) : part_(std::move(part)), name_for_messages_(std::move(name)) {
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
    return;
  }
  parser_->_private = this;
  // Entities are replaced so that attribute values come decoded ("&amp;" as "&"). That is
  // safe only because a part with a document type, the one place entities could be declared,
  // is refused before its declarations are read (on_doctype); no network in any case.
  xmlCtxtUseOptions(parser_, XML_PARSE_NONET | XML_PARSE_NOENT);
  events_.push_back(Event());  // the position before the first tag
  chars_.assign(1, '\0');
}

XmlPart::~XmlPart() {
  if (parser_) xmlFreeParserCtxt(parser_);
}

void XmlPart::fail(const std::string& why) {
  if (error_.empty()) error_ = "the workbook is damaged: part '" + name_for_messages_ + "': " + why;
  if (parser_) xmlStopParser(parser_);
}

uint32_t XmlPart::store(const char* s, size_t n) {
  uint32_t at = static_cast<uint32_t>(chars_.size());
  chars_.append(s, n);
  chars_.push_back('\0');
  return at;
}

void XmlPart::on_start(void* ctx, const xmlChar* local, const xmlChar*, const xmlChar*, int, const xmlChar**,
                       int nb_attributes, int, const xmlChar** attributes) {
  XmlPart* self = self_of(ctx);
  if (self->handler_) {
    self->handler_attributes_.clear();
    for (int i = 0; i < nb_attributes; ++i) {
      const xmlChar* const* a = attributes + 5 * i;  // local name, prefix, URI, value, value end
      self->handler_attributes_.push_back(
          XmlAttribute{reinterpret_cast<const char*>(a[0]),
                       std::string_view(reinterpret_cast<const char*>(a[3]), static_cast<size_t>(a[4] - a[3]))});
    }
    return self->handler_->start(reinterpret_cast<const char*>(local), self->handler_attributes_.data(),
                                 self->handler_attributes_.size());
  }
  Event e;
  e.kind = Event::Start;
  e.depth = self->open_elements_++;
  e.name = reinterpret_cast<const char*>(local);
  e.first_attr = static_cast<uint32_t>(self->attrs_.size());
  for (int i = 0; i < nb_attributes; ++i) {
    const xmlChar* const* a = attributes + 5 * i;  // local name, prefix, URI, value, value end
    Attr attr;
    attr.name = reinterpret_cast<const char*>(a[0]);
    attr.value = self->store(reinterpret_cast<const char*>(a[3]), static_cast<size_t>(a[4] - a[3]));
    attr.namespaced = a[2] != nullptr;
    self->attrs_.push_back(attr);
  }
  e.end_attr = static_cast<uint32_t>(self->attrs_.size());
  self->events_.push_back(e);
}

void XmlPart::on_end(void* ctx, const xmlChar* local, const xmlChar*, const xmlChar*) {
  XmlPart* self = self_of(ctx);
  if (self->handler_) return self->handler_->end(reinterpret_cast<const char*>(local));
  Event e;
  e.kind = Event::End;
  e.depth = --self->open_elements_;
  e.name = reinterpret_cast<const char*>(local);
  self->events_.push_back(e);
}

void XmlPart::on_text(void* ctx, const xmlChar* text, int len) {
  XmlPart* self = self_of(ctx);
  const char* t = reinterpret_cast<const char*>(text);
  if (self->handler_) return self->handler_->text(std::string_view(t, static_cast<size_t>(len)));
  Event& last = self->events_.back();
  // Text arrives in pieces (around entities, at chunk ends): one event per run of text.
  if (last.kind == Event::Text && last.text + last.size + 1 == self->chars_.size()) {
    self->chars_.pop_back();
    self->chars_.append(t, static_cast<size_t>(len));
    self->chars_.push_back('\0');
    last.size += static_cast<uint32_t>(len);
    return;
  }
  Event e;
  e.kind = Event::Text;
  e.depth = self->open_elements_;
  e.text = self->store(t, static_cast<size_t>(len));
  e.size = static_cast<uint32_t>(len);
  self->events_.push_back(e);
}

void XmlPart::on_doctype(void* ctx, const xmlChar*, const xmlChar*, const xmlChar*) {
  self_of(ctx)->fail("malformed XML: a document type, which workbook parts never hold");
}

void XmlPart::on_error(void* ctx, xmlErrorPtr err) {
  if (!ctx || !err || err->level < XML_ERR_ERROR) return;
  XmlPart* self = self_of(ctx);
  if (!self->parser_error_.empty()) return;
  std::string text = err->message ? err->message : "unknown error";
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  for (char& c : text)
    if (c == '\n') c = ' ';
  self->parser_error_ = text + " (line " + std::to_string(err->line) + ")";
}

bool XmlPart::parse_more(bool keep_current) {
  // Drop the events already passed; the current one stays first, its strings kept only
  // when asked (a look ahead from a start tag still in use).
  events_.erase(events_.begin(), events_.begin() + static_cast<std::ptrdiff_t>(pos_));
  pos_ = 0;
  if (!keep_current) {
    chars_.assign(1, '\0');
    attrs_.clear();
    Event& e = events_.front();
    e.text = 0;
    e.size = 0;
    e.first_attr = e.end_attr = 0;
  }
  char buffer[kChunk];
  gsf_off_t left = gsf_input_remaining(part_.get());
  size_t n = static_cast<size_t>(std::min<gsf_off_t>(left, kChunk));
  if (n > 0 && !gsf_input_read(part_.get(), n, reinterpret_cast<guint8*>(buffer))) {
    error_ = "the workbook is damaged or truncated: part '" + name_for_messages_ + "' cannot be inflated to its end";
    return false;
  }
  finished_ = gsf_input_remaining(part_.get()) <= 0;
  int rc = xmlParseChunk(parser_, buffer, static_cast<int>(n), finished_ ? 1 : 0);
  if (failed()) return false;
  if (rc != 0 || !parser_error_.empty()) {
    fail("malformed XML: " + (parser_error_.empty() ? std::string("the document ends early") : parser_error_));
    return false;
  }
  return true;
}

bool XmlPart::advance() {
  while (pos_ + 1 >= events_.size()) {
    if (failed() || !parser_ || finished_) return false;
    if (!parse_more(false)) return false;
  }
  ++pos_;
  return true;
}

bool XmlPart::next_tag() {
  while (advance())
    if (current().kind != Event::Text) return true;
  return false;
}

bool XmlPart::is_empty() {
  if (!is_start()) return false;
  while (pos_ + 1 >= events_.size()) {
    if (failed() || !parser_ || finished_) return false;
    if (!parse_more(true)) return false;
  }
  const Event& next = events_[pos_ + 1];
  return next.kind == Event::End && next.depth == current().depth;
}

bool XmlPart::is(const char* local) const { return std::strcmp(current().name, local) == 0; }

const char* XmlPart::find_attribute(const char* local, bool namespaced_only) const {
  const Event& e = current();
  for (uint32_t i = e.first_attr; i < e.end_attr; ++i) {
    const Attr& a = attrs_[i];
    if ((a.namespaced || !namespaced_only) && std::strcmp(a.name, local) == 0) return chars_.data() + a.value;
  }
  return nullptr;
}

const char* XmlPart::attribute(const char* local) const { return find_attribute(local, false); }

const char* XmlPart::namespaced_attribute(const char* local) const { return find_attribute(local, true); }

bool XmlPart::attribute(const char* local, std::string& out) const {
  const char* v = attribute(local);
  if (!v) return false;
  out = v;
  return true;
}

bool XmlPart::append_text(std::string& out) {
  if (!is_start()) return true;
  const int element_depth = depth();
  while (advance()) {
    const Event& e = current();
    if (e.kind == Event::Text) {
      if (out.size() + e.size > kMaxText) {
        fail("a text of more than " + std::to_string(kMaxText) + " bytes is too large for a cell");
        return false;
      }
      out.append(chars_.data() + e.text, e.size);
    } else if (e.kind == Event::End && e.depth == element_depth) {
      return true;
    }
  }
  if (!failed()) fail("malformed XML: the document ends inside an element");
  return false;
}

bool XmlPart::parse_all(XmlHandler& handler) {
  {
    XmlScanner scanner(handler);
    std::vector<char> buffer(kChunk);
    bool last = false;
    while (!last) {
      gsf_off_t left = gsf_input_remaining(part_.get());
      size_t n = static_cast<size_t>(std::min<gsf_off_t>(std::max<gsf_off_t>(left, 0), kChunk));
      if (n > 0 && !gsf_input_read(part_.get(), n, reinterpret_cast<guint8*>(buffer.data()))) {
        error_ = "the workbook is damaged or truncated: part '" + name_for_messages_ + "' cannot be inflated to its end";
        return false;
      }
      last = n == static_cast<size_t>(std::max<gsf_off_t>(left, 0));
      bool scanned = scanner.feed(buffer.data(), n, last);
      if (failed()) return false;  // the handler found a fault
      if (!scanned) break;
      if (last) return true;
    }
  }
  if (failed()) return false;
  // The scanner gave the part up: libxml2 reads it from the start, and names its fault if
  // it has one.
  handler.restart();
  if (gsf_input_seek(part_.get(), 0, G_SEEK_SET)) {  // TRUE on failure
    error_ = "the workbook is damaged or truncated: part '" + name_for_messages_ + "' cannot be read again";
    return false;
  }
  handler_ = &handler;
  while (!failed() && parser_ && !finished_)
    if (!parse_more(false)) break;
  handler_ = nullptr;
  return !failed();
}

}  // namespace xlsodbc
