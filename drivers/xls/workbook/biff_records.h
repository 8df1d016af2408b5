// BIFF record reading: the record stream of a workbook, records continued over CONTINUE
// records, and the string layouts of BIFF8 (UTF-16 or compressed) and BIFF5/7 (code page).
#pragma once

#include <cstdint>
#include <string>

namespace xlsodbc {

namespace rec {
enum : uint16_t {
  kFormula = 0x0006, kEof = 0x000A, kDateMode = 0x0022, kFilePass = 0x002F,
  kContinue = 0x003C, kCodePage = 0x0042, kBoundSheet = 0x0085, kMulRk = 0x00BD,
  kMulBlank = 0x00BE, kRString = 0x00D6, kXf = 0x00E0, kSst = 0x00FC, kLabelSst = 0x00FD,
  kBlank = 0x0201, kNumber = 0x0203, kLabel = 0x0204, kBoolErr = 0x0205,
  kString = 0x0207, kRk = 0x027E, kFormula4 = 0x0406, kFormat = 0x041E,
  kBof2 = 0x0009, kBof3 = 0x0209, kBof4 = 0x0409, kBof = 0x0809,
};
inline bool is_bof(uint16_t t) { return t == kBof || t == kBof4 || t == kBof3 || t == kBof2; }
}  // namespace rec

struct Record {
  uint16_t type = 0;
  uint16_t size = 0;
  const uint8_t* data = nullptr;
  size_t offset = 0;  // of the record header in the stream
};

inline uint16_t get_u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t get_u32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
double get_f64(const uint8_t* p);
// An RK number (a compressed double or 30-bit integer, optionally divided by 100).
double decode_rk(uint32_t rk);

// Walks the records of a stream from a given offset.
class RecordReader {
 public:
  RecordReader(const uint8_t* data, size_t size, size_t pos = 0) : data_(data), size_(size), pos_(pos) {}
  // The next record; false at the end of the stream or when the record runs past it
  // (then truncated() is true).
  bool next(Record& r);
  // The type of the next record without consuming it; false at the end.
  bool peek(uint16_t& type) const;
  bool truncated() const { return truncated_; }
  size_t position() const { return pos_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_;
  bool truncated_ = false;
};

// Converts 8-bit text of a BIFF5/7 workbook (in its CODEPAGE) to UTF-8.
class CodePageDecoder {
 public:
  ~CodePageDecoder();
  void set_code_page(uint16_t cp);
  void append(const uint8_t* bytes, size_t n, std::string& out);

 private:
  uint16_t cp_ = 1252;
  void* cd_ = nullptr;  // iconv_t, opened on first use
  bool tried_ = false;
};

// Reads the payload of a record and of the CONTINUE records that follow it as one sequence,
// with the BIFF8 rule that character data split over a record boundary restates its
// compressed/uncompressed flag byte at the start of the continuation.
class ContinuedReader {
 public:
  ContinuedReader(RecordReader& records, const Record& first) : records_(records), cur_(first.data), left_(first.size) {}
  bool u8(uint8_t& v);
  bool u16(uint16_t& v);
  bool u32(uint32_t& v);
  bool skip(size_t n);
  // `count` characters, compressed (1 byte each) or UTF-16LE as `high_byte` says, appended
  // to `out` as UTF-8.
  bool chars(size_t count, bool high_byte, std::string& out);
  // XLUnicodeRichExtendedString / XLUnicodeString (16-bit count).
  bool unicode_string(std::string& out);
  // ShortXLUnicodeString (8-bit count).
  bool short_unicode_string(std::string& out);
  // BIFF5/7 byte string with a 16-bit or 8-bit count.
  bool byte_string(bool count16, CodePageDecoder& cp, std::string& out);

 private:
  bool next_segment();
  RecordReader& records_;
  const uint8_t* cur_;
  size_t left_;
  std::u16string units_;
};

}  // namespace xlsodbc
