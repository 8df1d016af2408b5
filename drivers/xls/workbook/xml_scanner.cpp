#include "xml_scanner.h"

#include "charset.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace xlsodbc {
namespace {

// The longest tag, and the most input held while looking for the end of a token; beyond
// them the document is left to libxml2, which has limits of its own.
constexpr size_t kMaxTag = 1u << 20;
constexpr size_t kMaxPending = 32u << 20;

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool name_start(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool name_char(unsigned char c) { return name_start(c) || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == ':'; }

// The end of a qualified name starting at `p` (ASCII names only; others go to libxml2):
// `end` when the name may go on past the input at hand, `p` itself when there is no name.
// At most one ':', with a name on either side.
const char* scan_name(const char* p, const char* end) {
  if (p == end) return end;
  if (!name_start(static_cast<unsigned char>(*p))) return p;
  const char* q = p + 1;
  int colons = 0;
  while (q < end && name_char(static_cast<unsigned char>(*q))) colons += *q++ == ':';
  if (q == end) return end;
  if (colons > 1) return p;
  if (colons == 1) {
    // Both parts of a prefixed name are names: the local part starts as a name does.
    const char* colon = static_cast<const char*>(std::memchr(p, ':', static_cast<size_t>(q - p)));
    if (colon + 1 == q || !name_start(static_cast<unsigned char>(colon[1]))) return p;
  }
  return q;
}

std::string_view local_part(std::string_view qname) {
  for (size_t i = 0; i < qname.size(); ++i)
    if (qname[i] == ':') return qname.substr(i + 1);
  return qname;
}

// Appends the UTF-8 form of a character that XML allows; false for any other.
bool append_char(uint32_t c, std::string& out) {
  bool legal = c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
               (c >= 0x10000 && c <= 0x10FFFF);
  if (!legal) return false;
  put_utf8(c, out);
  return true;
}

// The length of the well-formed UTF-8 sequence of a legal XML character at `p`, or 0.
size_t utf8_sequence(const unsigned char* p, const unsigned char* end) {
  unsigned char c = p[0];
  size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
  if (n == 0 || c > 0xF4 || static_cast<size_t>(end - p) < n) return 0;
  uint32_t v = c & (0x7F >> n);
  for (size_t i = 1; i < n; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    v = (v << 6) | (p[i] & 0x3F);
  }
  if ((n == 3 && v < 0x800) || (n == 4 && (v < 0x10000 || v > 0x10FFFF))) return 0;  // overlong, too large
  if ((v >= 0xD800 && v <= 0xDFFF) || v == 0xFFFE || v == 0xFFFF) return 0;
  return n;
}

// The character a reference between '&' and ';' stands for, appended; false for any entity
// but the five predefined ones and for character references to illegal characters.
bool append_reference(std::string_view ref, std::string& out) {
  if (ref == "lt") return out.push_back('<'), true;
  if (ref == "gt") return out.push_back('>'), true;
  if (ref == "amp") return out.push_back('&'), true;
  if (ref == "quot") return out.push_back('"'), true;
  if (ref == "apos") return out.push_back('\''), true;
  if (ref.size() < 2 || ref[0] != '#' || ref.size() > 10) return false;
  bool hex = ref[1] == 'x';
  size_t i = hex ? 2 : 1;
  if (i == ref.size()) return false;
  uint32_t v = 0;
  for (; i < ref.size(); ++i) {
    char c = ref[i];
    unsigned d;
    if (c >= '0' && c <= '9') d = static_cast<unsigned>(c - '0');
    else if (hex && (c | 0x20) >= 'a' && (c | 0x20) <= 'f') d = static_cast<unsigned>((c | 0x20) - 'a' + 10);
    else return false;
    v = v * (hex ? 16 : 10) + d;
    if (v > 0x10FFFF) return false;
  }
  return append_char(v, out);
}

// Whether `s` holds legal XML characters only, in well-formed UTF-8 (comments, processing
// instructions).
bool legal_text(std::string_view s) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(s.data());
  const unsigned char* end = p + s.size();
  while (p < end) {
    if (*p >= 0x80) {
      size_t n = utf8_sequence(p, end);
      if (n == 0) return false;
      p += n;
    } else if (*p < 0x20 && !is_space(static_cast<char>(*p))) {
      return false;
    } else {
      ++p;
    }
  }
  return true;
}

// The pseudo-attributes of an XML declaration after "<?xml", in the one form writers use:
// version="1.0", then optionally encoding="UTF-8" (any case) and standalone="yes" or "no",
// each after white space, in that order. Anything else is left to libxml2.
bool declaration(std::string_view d) {
  size_t i = 0;
  auto pseudo = [&](std::string_view name, std::string_view& value) {
    size_t j = i;
    if (j >= d.size() || !is_space(d[j])) return false;
    while (j < d.size() && is_space(d[j])) ++j;
    if (d.substr(j, name.size()) != name) return false;
    j += name.size();
    while (j < d.size() && is_space(d[j])) ++j;
    if (j >= d.size() || d[j] != '=') return false;
    ++j;
    while (j < d.size() && is_space(d[j])) ++j;
    if (j >= d.size() || (d[j] != '"' && d[j] != '\'')) return false;
    size_t close = d.find(d[j], j + 1);
    if (close == std::string_view::npos) return false;
    value = d.substr(j + 1, close - j - 1);
    i = close + 1;
    return true;
  };
  std::string_view v;
  if (!pseudo("version", v) || v != "1.0") return false;
  if (pseudo("encoding", v)) {
    if (v.size() != 5 || (v[0] | 0x20) != 'u' || (v[1] | 0x20) != 't' || (v[2] | 0x20) != 'f' || v[3] != '-' || v[4] != '8')
      return false;
  }
  if (pseudo("standalone", v) && v != "yes" && v != "no") return false;
  while (i < d.size() && is_space(d[i])) ++i;
  return i == d.size();
}

}  // namespace

bool XmlScanner::feed(const char* data, size_t n, bool last) {
  buffer_.append(data, n);
  Step s = scan(last);
  if (s == Step::GiveUp) return false;
  if (s == Step::NeedMore && (last || buffer_.size() > kMaxPending)) return false;
  if (last && (!epilog_ || !buffer_.empty())) return false;  // no root, or one left open
  return true;
}

// Decodes text or an attribute value into `out`: references replaced, line ends made "\n"
// (in an attribute every white space character a space, as XML normalises them), every
// character checked. False for anything libxml2 would refuse.
bool XmlScanner::decode(std::string_view raw, bool attribute, std::string& out) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(raw.data());
  const unsigned char* end = p + raw.size();
  while (p < end) {
    unsigned char c = *p;
    if (c >= 0x80) {
      size_t n = utf8_sequence(p, end);
      if (n == 0) return false;
      out.append(reinterpret_cast<const char*>(p), n);
      p += n;
    } else if (c == '&') {
      const unsigned char* semi = static_cast<const unsigned char*>(std::memchr(p, ';', static_cast<size_t>(end - p)));
      if (!semi || !append_reference(std::string_view(reinterpret_cast<const char*>(p + 1), static_cast<size_t>(semi - p - 1)), out))
        return false;
      p = semi + 1;
    } else if (c == '\r') {
      out.push_back(attribute ? ' ' : '\n');
      p += (p + 1 < end && p[1] == '\n') ? 2 : 1;
    } else if (c == '\n' || c == '\t') {
      out.push_back(attribute ? ' ' : static_cast<char>(c));
      ++p;
    } else if (c < 0x20 || (attribute && c == '<')) {
      return false;
    } else {
      if (!attribute && c == ']' && end - p >= 3 && p[1] == ']' && p[2] == '>') return false;
      out.push_back(static_cast<char>(c));
      ++p;
    }
  }
  return true;
}

// Whether `raw` can be passed on as it is: plain printable ASCII, nothing to decode.
static bool plain(std::string_view raw, bool attribute) {
  for (char ch : raw) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c >= 0x80 || c == '&' || c == ']' || (attribute && c == '<')) return false;
  }
  return true;
}

bool XmlScanner::text_run(std::string_view raw, bool in_root) {
  if (!in_root) {
    for (char c : raw)
      if (!is_space(c)) return false;  // text outside the root element
    return true;
  }
  if (plain(raw, false)) {
    handler_.text(raw);
    return true;
  }
  text_.clear();
  if (!decode(raw, false, text_)) return false;
  handler_.text(text_);
  return true;
}

// A start tag at `at`, scanned in one pass; `next` is set past its '>'. NeedMore when the tag
// does not end within the buffer.
XmlScanner::Step XmlScanner::start_tag(size_t at, size_t& next) {
  if (epilog_) return Step::GiveUp;  // a second root
  const char* p = buffer_.data() + at + 1;
  const char* const end = buffer_.data() + buffer_.size();
  const char* name_end = scan_name(p, end);
  if (name_end == end) return Step::NeedMore;
  if (name_end == p) return Step::GiveUp;
  std::string_view qname(p, static_cast<size_t>(name_end - p));
  attributes_.clear();
  raw_names_.clear();
  text_.clear();  // decoded values; their places are kept as offsets until every value is in
  spans_.clear();
  if (!prefixed_.empty()) prefixed_.clear();
  p = name_end;
  bool empty = false;
  for (;;) {
    const char* before = p;
    while (p < end && is_space(*p)) ++p;
    if (p == end) return Step::NeedMore;
    if (*p == '>') break;
    if (*p == '/') {
      if (p + 1 == end) return Step::NeedMore;
      if (p[1] != '>') return Step::GiveUp;
      empty = true;
      ++p;
      break;
    }
    if (p == before) return Step::GiveUp;  // attributes are separated by white space
    const char* an = p;
    const char* an_end = scan_name(p, end);
    if (an_end == end) return Step::NeedMore;
    if (an_end == an) return Step::GiveUp;
    p = an_end;
    while (p < end && is_space(*p)) ++p;
    if (p == end) return Step::NeedMore;
    if (*p != '=') return Step::GiveUp;
    ++p;
    while (p < end && is_space(*p)) ++p;
    if (p == end) return Step::NeedMore;
    if (*p != '"' && *p != '\'') return Step::GiveUp;
    const char quote = *p++;
    const char* v_end = static_cast<const char*>(std::memchr(p, quote, static_cast<size_t>(end - p)));
    if (!v_end) return Step::NeedMore;
    std::string_view attr_qname(an, static_cast<size_t>(an_end - an));
    std::string_view raw(p, static_cast<size_t>(v_end - p));
    p = v_end + 1;
    // A repeated attribute (by qualified name) makes the tag malformed.
    for (std::string_view seen : raw_names_)
      if (seen == attr_qname) return Step::GiveUp;
    raw_names_.push_back(attr_qname);
    // Namespace declarations are not attributes to the reader, as with libxml2.
    bool declaration = attr_qname.size() >= 5 && attr_qname.substr(0, 5) == "xmlns" &&
                       (attr_qname.size() == 5 || attr_qname[5] == ':');
    if (declaration && attr_qname.size() > 5 && raw.empty()) return Step::GiveUp;  // a prefix for no namespace
    std::string_view attr_local = local_part(attr_qname);
    if (attr_local.size() != attr_qname.size()) prefixed_.emplace_back(attr_qname, attr_local.size());
    if (plain(raw, true)) {
      if (!declaration) {
        attributes_.push_back(XmlAttribute{attr_local, raw});
        spans_.emplace_back(SIZE_MAX, 0);
      }
    } else {
      size_t from = text_.size();
      if (!decode(raw, true, text_)) return Step::GiveUp;
      if (!declaration) {
        attributes_.push_back(XmlAttribute{attr_local, std::string_view()});
        spans_.emplace_back(from, text_.size() - from);
      }
    }
  }
  for (size_t i = 0; i < attributes_.size(); ++i)
    if (spans_[i].first != SIZE_MAX) attributes_[i].value = std::string_view(text_.data() + spans_[i].first, spans_[i].second);
  next = static_cast<size_t>(p + 1 - buffer_.data());

  if (open_.size() >= kMaxXmlDepth) return Step::GiveUp;
  std::string_view local = local_part(qname);
  // Prefixes need looking at only in a tag that has one (the root element, mostly).
  if ((!prefixed_.empty() || local.size() != qname.size()) && !namespaces_declared(qname, empty)) return Step::GiveUp;
  handler_.start(local, attributes_.data(), attributes_.size());
  if (empty) {
    handler_.end(local);
    if (open_.empty()) epilog_ = true;
  } else {
    open_.push_back(names_.size());
    names_.append(qname.data(), qname.size());
    names_.push_back('\0');
  }
  return Step::Done;
}

bool XmlScanner::namespaces_declared(std::string_view qname, bool empty) {
  const size_t depth = open_.size();
  auto prefix_of = [](const std::pair<std::string_view, size_t>& name) {
    return name.first.substr(0, name.first.size() - name.second - 1);
  };
  for (const auto& name : prefixed_) {
    if (prefix_of(name) != "xmlns") continue;
    std::string_view prefix = name.first.substr(6);
    // libxml2 refuses the reserved prefixes' rebinding.
    if (prefix == "xml" || prefix == "xmlns") return false;
    prefixes_.emplace_back(std::string(prefix), depth);
  }
  auto declared = [this](std::string_view prefix) {
    for (auto it = prefixes_.rbegin(); it != prefixes_.rend(); ++it)
      if (it->first == prefix) return true;
    return false;
  };
  std::string_view local = local_part(qname);
  bool ok = local.size() == qname.size() || declared(qname.substr(0, qname.size() - local.size() - 1));
  for (size_t i = 0; ok && i < prefixed_.size(); ++i) {
    std::string_view prefix = prefix_of(prefixed_[i]);
    if (prefix == "xmlns") continue;
    ok = prefix == "xml" || declared(prefix);
    // Two prefixed attributes of one local name may be one attribute twice (two prefixes of
    // one namespace): left to libxml2.
    std::string_view local_i = prefixed_[i].first.substr(prefixed_[i].first.size() - prefixed_[i].second);
    for (size_t j = 0; ok && j < i; ++j)
      ok = prefix_of(prefixed_[j]) == "xmlns" ||
           prefixed_[j].first.substr(prefixed_[j].first.size() - prefixed_[j].second) != local_i;
  }
  declarations_end_ = prefixes_.empty() ? 0 : prefixes_.back().second + 1;
  if (empty) end_declarations(depth);
  return ok;
}

void XmlScanner::end_declarations(size_t depth) {
  while (!prefixes_.empty() && prefixes_.back().second >= depth) prefixes_.pop_back();
  declarations_end_ = prefixes_.empty() ? 0 : prefixes_.back().second + 1;
}

XmlScanner::Step XmlScanner::end_tag(size_t at, size_t close) {
  if (open_.empty()) return Step::GiveUp;
  const char* p = buffer_.data() + at + 2;
  const char* end = buffer_.data() + close;
  while (end > p && is_space(end[-1])) --end;
  std::string_view qname(p, static_cast<size_t>(end - p));
  size_t top = open_.back();
  if (std::string_view(names_.data() + top, names_.size() - top - 1) != qname) return Step::GiveUp;
  open_.pop_back();
  names_.resize(top);
  if (open_.size() < declarations_end_) end_declarations(open_.size());
  handler_.end(local_part(qname));
  if (open_.empty()) epilog_ = true;
  return Step::Done;
}

XmlScanner::Step XmlScanner::markup(size_t& at, bool last) {
  const std::string& b = buffer_;
  const size_t size = b.size();
  auto need = [&](size_t from) { return (last || size - from > kMaxTag) ? Step::GiveUp : Step::NeedMore; };
  if (at + 1 >= size) return need(at);
  char c = b[at + 1];
  if (c == '?') {
    size_t close = b.find("?>", at + 2);
    if (close == std::string::npos) return need(at);
    std::string_view pi(b.data() + at + 2, close - at - 2);
    if (at_start_ && pi.substr(0, 3) == "xml" && (pi.size() == 3 || is_space(pi[3]))) {
      if (!declaration(pi.substr(3))) return Step::GiveUp;
    } else {
      // A processing instruction: a plain name, not one beginning with "xml" in any case,
      // then white space and legal characters.
      const char* name_end = scan_name(pi.data(), pi.data() + pi.size());
      std::string_view target(pi.data(), static_cast<size_t>(name_end - pi.data()));
      if (target.empty() || target.find(':') != std::string_view::npos ||
          (target.size() >= 3 && (target[0] | 0x20) == 'x' && (target[1] | 0x20) == 'm' && (target[2] | 0x20) == 'l'))
        return Step::GiveUp;
      std::string_view rest = pi.substr(target.size());
      if (!rest.empty() && !is_space(rest[0])) return Step::GiveUp;
      if (!legal_text(rest)) return Step::GiveUp;
    }
    at = close + 2;
    return Step::Done;
  }
  if (c == '!') {
    if (size - at < 9 && !last) return Step::NeedMore;
    if (b.compare(at, 4, "<!--") == 0) {
      size_t close = b.find("-->", at + 4);
      if (close == std::string::npos) return need(at);
      if (b.find("--", at + 4) != close) return Step::GiveUp;  // "--" inside a comment
      if (!legal_text(std::string_view(b.data() + at + 4, close - at - 4))) return Step::GiveUp;
      at = close + 3;
      return Step::Done;
    }
    if (b.compare(at, 9, "<![CDATA[") == 0 && !open_.empty()) {
      size_t close = b.find("]]>", at + 9);
      if (close == std::string::npos) return need(at);
      text_.clear();
      // Character data as it stands: no references, but line ends and characters as in text.
      std::string_view raw(b.data() + at + 9, close - at - 9);
      for (size_t i = 0; i < raw.size(); ++i) {
        size_t amp = raw.find('&', i);
        if (amp == std::string_view::npos) amp = raw.size();
        if (!decode(raw.substr(i, amp - i), false, text_)) return Step::GiveUp;
        if (amp < raw.size()) text_.push_back('&');
        i = amp;
      }
      handler_.text(text_);
      at = close + 3;
      return Step::Done;
    }
    return Step::GiveUp;  // a document type, or CDATA outside the root
  }
  if (c == '/') {
    const void* gt = std::memchr(b.data() + at + 2, '>', size - at - 2);
    if (!gt) return need(at);
    size_t close = static_cast<size_t>(static_cast<const char*>(gt) - b.data());
    Step s = end_tag(at, close);
    if (s == Step::Done) at = close + 1;
    return s;
  }
  size_t next = at;
  Step s = start_tag(at, next);
  if (s == Step::NeedMore) return need(at);
  if (s == Step::Done) at = next;
  return s;
}

XmlScanner::Step XmlScanner::scan(bool last) {
  size_t pos = 0;
  Step result = Step::Done;
  if (!bom_checked_) {
    if (buffer_.size() < 3 && !last) return Step::NeedMore;
    bom_checked_ = true;
    if (buffer_.size() >= 3 && static_cast<unsigned char>(buffer_[0]) == 0xEF &&
        static_cast<unsigned char>(buffer_[1]) == 0xBB && static_cast<unsigned char>(buffer_[2]) == 0xBF)
      pos = 3;  // the UTF-8 byte order mark, once, before anything else
  }
  while (pos < buffer_.size()) {
    if (buffer_[pos] == '<') {
      result = markup(pos, last);
      if (result != Step::Done) break;
    } else {
      const void* lt = std::memchr(buffer_.data() + pos, '<', buffer_.size() - pos);
      if (!lt && !last) {
        result = Step::NeedMore;
        break;
      }
      size_t stop = lt ? static_cast<size_t>(static_cast<const char*>(lt) - buffer_.data()) : buffer_.size();
      if (!text_run(std::string_view(buffer_.data() + pos, stop - pos), !open_.empty())) return Step::GiveUp;
      pos = stop;
    }
    at_start_ = false;
  }
  if (result == Step::GiveUp) return result;
  buffer_.erase(0, pos);
  return result;
}

}  // namespace xlsodbc
