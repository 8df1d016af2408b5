#include "biff_records.h"

#include "charset.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace xlsodbc {

double get_f64(const uint8_t* p) {
  uint64_t bits = static_cast<uint64_t>(get_u32(p)) | (static_cast<uint64_t>(get_u32(p + 4)) << 32);
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

double decode_rk(uint32_t rk) {
  double d;
  if (rk & 2) {
    d = static_cast<double>(static_cast<int32_t>(rk) >> 2);
  } else {
    uint64_t bits = static_cast<uint64_t>(rk & 0xFFFFFFFCu) << 32;
    std::memcpy(&d, &bits, sizeof d);
  }
  return (rk & 1) ? d / 100.0 : d;
}

bool RecordReader::next(Record& r) {
  if (pos_ + 4 > size_) {
    if (pos_ < size_) truncated_ = true;
    return false;
  }
  uint16_t type = get_u16(data_ + pos_);
  uint16_t len = get_u16(data_ + pos_ + 2);
  if (pos_ + 4 + len > size_) {
    truncated_ = true;
    return false;
  }
  r.type = type;
  r.size = len;
  r.data = data_ + pos_ + 4;
  r.offset = pos_;
  pos_ += 4 + static_cast<size_t>(len);
  return true;
}

bool RecordReader::peek(uint16_t& type) const {
  if (pos_ + 4 > size_) return false;
  type = get_u16(data_ + pos_);
  return true;
}

CodePageDecoder::~CodePageDecoder() {
  if (cd_) iconv_close(static_cast<iconv_t>(cd_));
}

void CodePageDecoder::set_code_page(uint16_t cp) {
  if (cp == cp_) return;
  if (cd_) iconv_close(static_cast<iconv_t>(cd_));
  cd_ = nullptr;
  tried_ = false;
  cp_ = cp;
}

void CodePageDecoder::append(const uint8_t* b, size_t n, std::string& out) {
  if (is_ascii(reinterpret_cast<const char*>(b), n) || cp_ == 1200) {
    out.append(reinterpret_cast<const char*>(b), n);
    return;
  }
  if (!tried_) {
    tried_ = true;
    std::string name = cp_ == 0x8000 ? "MACINTOSH" : cp_ == 367 ? "ASCII" : "CP" + std::to_string(cp_);
    iconv_t cd = iconv_open("UTF-8", name.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) cd = iconv_open("UTF-8", "CP1252");
    cd_ = cd == reinterpret_cast<iconv_t>(-1) ? nullptr : cd;
  }
  if (!cd_) {  // Latin-1 as the last resort
    std::u16string u(b, b + n);
    append_utf16_as_utf8(u.data(), u.size(), out);
    return;
  }
  iconv(static_cast<iconv_t>(cd_), nullptr, nullptr, nullptr, nullptr);
  char* src = reinterpret_cast<char*>(const_cast<uint8_t*>(b));
  size_t left = n;
  char buf[1024];
  while (left > 0) {
    char* dst = buf;
    size_t room = sizeof buf;
    size_t r = iconv(static_cast<iconv_t>(cd_), &src, &left, &dst, &room);
    out.append(buf, dst - buf);
    if (r == static_cast<size_t>(-1) && errno != E2BIG) {  // undefined byte: skip it
      out += "\xEF\xBF\xBD";
      ++src;
      --left;
    }
  }
}

bool ContinuedReader::next_segment() {
  uint16_t type;
  if (!records_.peek(type) || type != rec::kContinue) return false;
  Record r;
  if (!records_.next(r)) return false;
  cur_ = r.data;
  left_ = r.size;
  return true;
}

bool ContinuedReader::u8(uint8_t& v) {
  while (left_ == 0)
    if (!next_segment()) return false;
  v = *cur_++;
  --left_;
  return true;
}

bool ContinuedReader::u16(uint16_t& v) {
  if (left_ >= 2) {
    v = get_u16(cur_);
    cur_ += 2;
    left_ -= 2;
    return true;
  }
  uint8_t a, b;
  if (!u8(a) || !u8(b)) return false;
  v = static_cast<uint16_t>(a | (b << 8));
  return true;
}

bool ContinuedReader::u32(uint32_t& v) {
  uint16_t lo, hi;
  if (!u16(lo) || !u16(hi)) return false;
  v = lo | (static_cast<uint32_t>(hi) << 16);
  return true;
}

bool ContinuedReader::skip(size_t n) {
  while (n > 0) {
    while (left_ == 0)
      if (!next_segment()) return false;
    size_t k = n < left_ ? n : left_;
    cur_ += k;
    left_ -= k;
    n -= k;
  }
  return true;
}

bool ContinuedReader::chars(size_t count, bool high, std::string& out) {
  if (count == 0) return true;
  units_.clear();
  bool all_compressed = true;
  while (count > 0) {
    if (left_ == 0) {
      if (!next_segment() || left_ == 0) return false;
      uint8_t flags = *cur_++;
      --left_;
      high = flags & 1;
    }
    size_t avail = high ? left_ / 2 : left_;
    if (avail == 0) return false;  // a lone byte of a UTF-16 character
    size_t k = count < avail ? count : avail;
    if (high) {
      all_compressed = false;
      for (size_t i = 0; i < k; ++i) units_.push_back(static_cast<char16_t>(get_u16(cur_ + 2 * i)));
      cur_ += 2 * k;
      left_ -= 2 * k;
    } else {
      if (all_compressed && is_ascii(reinterpret_cast<const char*>(cur_), k) && units_.empty()) {
        // The common case: plain ASCII text in one piece.
        if (k == count) {
          out.append(reinterpret_cast<const char*>(cur_), k);
          cur_ += k;
          left_ -= k;
          return true;
        }
      }
      for (size_t i = 0; i < k; ++i) units_.push_back(cur_[i]);
      cur_ += k;
      left_ -= k;
    }
    count -= k;
  }
  append_utf16_as_utf8(units_.data(), units_.size(), out);
  return true;
}

bool ContinuedReader::unicode_string(std::string& out) {
  uint16_t cch;
  uint8_t flags;
  if (!u16(cch) || !u8(flags)) return false;
  uint16_t runs = 0;
  uint32_t ext = 0;
  if ((flags & 0x08) && !u16(runs)) return false;
  if ((flags & 0x04) && !u32(ext)) return false;
  if (!chars(cch, flags & 1, out)) return false;
  return skip(4u * runs) && skip(ext);
}

bool ContinuedReader::short_unicode_string(std::string& out) {
  uint8_t cch, flags;
  if (!u8(cch) || !u8(flags)) return false;
  return chars(cch, flags & 1, out);
}

bool ContinuedReader::byte_string(bool count16, CodePageDecoder& cp, std::string& out) {
  size_t n;
  if (count16) {
    uint16_t c;
    if (!u16(c)) return false;
    n = c;
  } else {
    uint8_t c;
    if (!u8(c)) return false;
    n = c;
  }
  if (n > left_) return false;
  cp.append(cur_, n, out);
  cur_ += n;
  left_ -= n;
  return true;
}

}  // namespace xlsodbc
