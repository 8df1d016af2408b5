#include "charset.h"

#include <cerrno>
#include <iconv.h>
#include <vector>

namespace xlsodbc {
namespace {

// Decodes one code point at s[i]; advances i. Invalid sequences give U+FFFD and one byte.
uint32_t next_code_point(const std::string& s, size_t& i) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  if (c < 0x80) { ++i; return c; }
  int len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 0;
  if (len == 0 || c > 0xF4 || i + len > s.size()) { ++i; return 0xFFFD; }
  uint32_t cp = c & (0x3F >> (len - 1));
  for (int k = 1; k < len; ++k) {
    unsigned char d = static_cast<unsigned char>(s[i + k]);
    if ((d & 0xC0) != 0x80) { ++i; return 0xFFFD; }
    cp = (cp << 6) | (d & 0x3F);
  }
  static const uint32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) { ++i; return 0xFFFD; }
  i += len;
  return cp;
}

// Runs iconv over the whole input. Returns 0 on success, EILSEQ/EINVAL on a bad character
// (with *consumed = bytes of input converted before it).
int run_iconv(void* cd, const char* in, size_t n, std::string& out, size_t* consumed) {
  iconv(static_cast<iconv_t>(cd), nullptr, nullptr, nullptr, nullptr);
  char* src = const_cast<char*>(in);
  size_t left = n;
  char buf[4096];
  while (left > 0) {
    char* dst = buf;
    size_t room = sizeof buf;
    size_t r = iconv(static_cast<iconv_t>(cd), &src, &left, &dst, &room);
    out.append(buf, dst - buf);
    if (r == static_cast<size_t>(-1) && errno != E2BIG) {
      if (consumed) *consumed = n - left;
      return errno;
    }
  }
  char* dst = buf;
  size_t room = sizeof buf;
  iconv(static_cast<iconv_t>(cd), nullptr, nullptr, &dst, &room);
  out.append(buf, dst - buf);
  return 0;
}

}  // namespace

void put_utf8(uint32_t cp, std::string& out) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

void append_utf16_as_utf8(const char16_t* u, size_t n, std::string& out) {
  for (size_t i = 0; i < n; ++i) {
    uint32_t c = u[i];
    if (c < 0x80) { out.push_back(static_cast<char>(c)); continue; }
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && u[i + 1] >= 0xDC00 && u[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (u[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    put_utf8(c, out);
  }
}

std::u32string utf8_to_code_points(const std::string& in) {
  std::u32string out;
  out.reserve(in.size());
  for (size_t i = 0; i < in.size();) out.push_back(next_code_point(in, i));
  return out;
}

std::u16string utf8_to_utf16(const std::string& in) {
  std::u16string out;
  out.reserve(in.size());
  for (size_t i = 0; i < in.size();) {
    uint32_t cp = next_code_point(in, i);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

size_t utf8_length(std::string_view s) {
  size_t n = 0;
  for (unsigned char c : s) n += (c & 0xC0) != 0x80;
  return n;
}

std::string utf8_prefix(const std::string& s, size_t chars) {
  size_t i = 0;
  for (; i < s.size(); ++i) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) continue;
    if (chars == 0) break;
    --chars;
  }
  return s.substr(0, i);
}

bool is_ascii(const char* s, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (static_cast<unsigned char>(s[i]) >= 0x80) return false;
  return true;
}

std::string fold_case(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      out.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : static_cast<char>(c));
      ++i;
      continue;
    }
    uint32_t cp = next_code_point(s, i);
    // Latin-1 and the Greek/Cyrillic basic ranges, the letters users put in headers.
    if ((cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) || (cp >= 0x391 && cp <= 0x3AB) ||
        (cp >= 0x410 && cp <= 0x42F))
      cp += 0x20;
    else if (cp >= 0xFF21 && cp <= 0xFF3A)  // full-width Latin capitals
      cp += 0x20;
    put_utf8(cp, out);
  }
  return out;
}

std::string iconv_charset_name(const std::string& name) {
  std::string up;
  for (char c : name) if (c != ' ') up.push_back(static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c));
  if (up.empty() || up == "UTF-8" || up == "UTF8" || up == "65001" || up == "CP65001") return "UTF-8";
  if (up == "GBK" || up == "CP936" || up == "936" || up == "GB2312" || up == "MS936") return "CP936";
  if (up.find_first_not_of("0123456789") == std::string::npos) return "CP" + up;
  return name;
}

ClientCharset::~ClientCharset() { close(); }

void ClientCharset::close() {
  if (to_utf8_) iconv_close(static_cast<iconv_t>(to_utf8_));
  if (from_utf8_) iconv_close(static_cast<iconv_t>(from_utf8_));
  to_utf8_ = from_utf8_ = nullptr;
}

bool ClientCharset::set(const std::string& name, std::string& error) {
  std::string iname = iconv_charset_name(name);
  if (iname == "UTF-8") {
    close();
    name_ = "UTF-8";
    iconv_name_ = iname;
    utf8_ = true;
    return true;
  }
  iconv_t to = iconv_open("UTF-8", iname.c_str());
  iconv_t from = iconv_open(iname.c_str(), "UTF-8");
  if (to == reinterpret_cast<iconv_t>(-1) || from == reinterpret_cast<iconv_t>(-1)) {
    if (to != reinterpret_cast<iconv_t>(-1)) iconv_close(to);
    if (from != reinterpret_cast<iconv_t>(-1)) iconv_close(from);
    error = "unknown character set '" + name + "'";
    return false;
  }
  close();
  to_utf8_ = to;
  from_utf8_ = from;
  name_ = (iname == "CP936") ? "GBK" : name;
  iconv_name_ = iname;
  utf8_ = false;
  return true;
}

bool ClientCharset::to_utf8(const char* in, size_t n, std::string& out) {
  out.clear();
  if (utf8_ || is_ascii(in, n)) {
    out.assign(in, n);
    return true;
  }
  return run_iconv(to_utf8_, in, n, out, nullptr) == 0;
}

bool ClientCharset::from_utf8(const std::string& in, std::string& out, uint32_t* bad) {
  out.clear();
  if (utf8_ || is_ascii(in.data(), in.size())) {
    out = in;
    return true;
  }
  size_t consumed = 0;
  if (run_iconv(from_utf8_, in.data(), in.size(), out, &consumed) == 0) return true;
  if (bad) {
    size_t i = consumed < in.size() ? consumed : 0;
    *bad = next_code_point(in, i);
  }
  return false;
}

std::string ClientCharset::from_utf8_lossy(const std::string& in) {
  if (utf8_ || is_ascii(in.data(), in.size())) return in;
  std::string out;
  for (size_t i = 0; i < in.size();) {
    size_t start = i;
    next_code_point(in, i);
    std::string one;
    if (run_iconv(from_utf8_, in.data() + start, i - start, one, nullptr) == 0) out += one;
    else out.push_back('?');
  }
  return out;
}

size_t ClientCharset::whole_chars_prefix(const char* s, size_t size, size_t limit) const {
  if (limit >= size) return size;
  size_t end = limit;
  if (utf8_) {
    while (end > 0 && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80) --end;
    return end;
  }
  // Double-byte code pages (CP936, CP950, CP949): a byte >= 0x81 leads a two-byte character
  // (GB18030 four-byte sequences are not produced by CP936). Other code pages: byte-wise.
  bool dbcs = iconv_name_ == "CP936" || iconv_name_ == "CP949" || iconv_name_ == "CP950" ||
              iconv_name_ == "GBK" || iconv_name_ == "BIG5";
  if (!dbcs) return limit;
  size_t i = 0;
  while (i < size) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t next = i + ((c >= 0x81 && c != 0xFF) ? 2 : 1);
    if (next > limit) break;
    i = next;
  }
  return i;
}

}  // namespace xlsodbc
