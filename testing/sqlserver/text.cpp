#include "text.h"

#include <iconv.h>

#include <cstring>
#include <mutex>

namespace standin {

namespace {

void append_utf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes one code point at text[i], advancing i.
uint32_t next_code_point(const std::string& text, size_t& i) {
  auto byte = [&](size_t k) { return static_cast<uint8_t>(text[k]); };
  uint8_t b = byte(i);
  int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
  if (extra < 0 || i + extra >= text.size() + (extra == 0 ? 1 : 0)) {
    ++i;
    return 0xFFFD;
  }
  uint32_t cp = extra == 0 ? b : b & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    uint8_t c = byte(i + k);
    if ((c & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    cp = (cp << 6) | (c & 0x3F);
  }
  i += extra + 1;
  return cp;
}

}  // namespace

std::string utf16le_to_utf8(const uint8_t* data, size_t bytes) {
  std::string out;
  out.reserve(bytes);
  for (size_t i = 0; i + 1 < bytes; i += 2) {
    uint32_t u = data[i] | (data[i + 1] << 8);
    if (u >= 0xD800 && u < 0xDC00 && i + 3 < bytes) {
      uint32_t lo = data[i + 2] | (data[i + 3] << 8);
      if (lo >= 0xDC00 && lo < 0xE000) {
        append_utf8(out, 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00));
        i += 2;
        continue;
      }
    }
    append_utf8(out, u >= 0xD800 && u < 0xE000 ? 0xFFFD : u);
  }
  return out;
}

std::string utf8_to_utf16le(const std::string& text) {
  std::string out;
  out.reserve(text.size() * 2);
  auto unit = [&](uint32_t u) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
  };
  for (size_t i = 0; i < text.size();) {
    uint32_t cp = next_code_point(text, i);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      unit(0xD800 + (cp >> 10));
      unit(0xDC00 + (cp & 0x3FF));
    } else {
      unit(cp);
    }
  }
  return out;
}

size_t utf16_length(const std::string& text) {
  size_t n = 0;
  for (size_t i = 0; i < text.size();) n += next_code_point(text, i) >= 0x10000 ? 2 : 1;
  return n;
}

size_t codepage_length(const std::string& text) {
  size_t n = 0;
  for (size_t i = 0; i < text.size();) n += next_code_point(text, i) < 0x80 ? 1 : 2;
  return n;
}

std::string ascii_lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

std::string ascii_upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

bool iequals(const std::string& a, const std::string& b) {
  return a.size() == b.size() && ascii_lower(a) == ascii_lower(b);
}

namespace {

std::string gbk_key(const std::string& text) {
  static std::mutex lock;
  static iconv_t cd = iconv_open("GBK//TRANSLIT", "UTF-8");
  std::string lowered = ascii_lower(text);
  if (cd == reinterpret_cast<iconv_t>(-1)) return lowered;
  std::lock_guard<std::mutex> guard(lock);
  std::string out(lowered.size() * 2 + 8, '\0');
  char* in = lowered.data();
  size_t in_left = lowered.size();
  char* o = out.data();
  size_t out_left = out.size();
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  while (in_left > 0) {
    if (iconv(cd, &in, &in_left, &o, &out_left) == static_cast<size_t>(-1)) {
      if (out_left < 2) break;
      // A character GBK lacks sorts after every GBK character.
      *o++ = '\xFE';
      --out_left;
      ++in;
      --in_left;
    }
  }
  out.resize(out.size() - out_left);
  return out;
}

}  // namespace

bool collation_less(const std::string& a, const std::string& b) {
  std::string ka = gbk_key(a), kb = gbk_key(b);
  int c = std::memcmp(ka.data(), kb.data(), std::min(ka.size(), kb.size()));
  if (c != 0) return c < 0;
  if (ka.size() != kb.size()) return ka.size() < kb.size();
  return a < b;
}

}  // namespace standin
