// Character set conversion: UTF-16/UTF-8 helpers and the client character set (GBK, UTF-8,
// any iconv name) in which the driver receives statements and delivers text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace xlsodbc {

// Appends the UTF-8 form of UTF-16 code units (unpaired surrogates become U+FFFD).
void append_utf16_as_utf8(const char16_t* units, size_t n, std::string& out);
// UTF-8 to UTF-16 (host order, as SQLWCHAR); invalid bytes become U+FFFD.
std::u16string utf8_to_utf16(const std::string& in);
// UTF-8 to code points; invalid bytes become U+FFFD.
std::u32string utf8_to_code_points(const std::string& in);
// Number of code points in UTF-8 text.
size_t utf8_length(std::string_view s);
// Appends the UTF-8 form of a code point.
void put_utf8(uint32_t cp, std::string& out);
// The first `chars` code points of UTF-8 text (all of it when it is shorter); never splits a
// character.
std::string utf8_prefix(const std::string& s, size_t chars);
// True when every byte is below 0x80.
bool is_ascii(const char* s, size_t n);
// ASCII-and-Latin case folding of UTF-8 text, for case-insensitive comparison of names.
std::string fold_case(const std::string& utf8);

// A client character set. "UTF-8" (the default) passes text through; any other name is used
// through iconv ("GBK" is taken as CP936, the ANSI code page of Simplified Chinese Windows).
class ClientCharset {
 public:
  ClientCharset() = default;
  ~ClientCharset();
  ClientCharset(const ClientCharset&) = delete;
  ClientCharset& operator=(const ClientCharset&) = delete;

  // Selects the character set; false (with a message) when iconv does not know it.
  bool set(const std::string& name, std::string& error);
  const std::string& name() const { return name_; }
  bool is_utf8() const { return utf8_; }

  // Client bytes to UTF-8. False when the bytes are not valid in the character set.
  bool to_utf8(const char* in, size_t n, std::string& out);
  // UTF-8 to client bytes. False when a character has no form in the client character set;
  // `bad_code_point` then names it.
  bool from_utf8(const std::string& in, std::string& out, uint32_t* bad_code_point);
  // Same, but characters without a form become '?' (only for diagnostic messages).
  std::string from_utf8_lossy(const std::string& in);
  // The number of leading bytes of `client` (text in this charset) that hold whole
  // characters and fit in `limit` bytes.
  size_t whole_chars_prefix(const char* client, size_t n, size_t limit) const;

 private:
  void close();
  std::string name_ = "UTF-8";
  std::string iconv_name_;
  bool utf8_ = true;
  void* to_utf8_ = nullptr;    // iconv_t
  void* from_utf8_ = nullptr;  // iconv_t
};

// Normalises a charset name from odbcinst.ini or the connect string ("GBK" -> "CP936").
std::string iconv_charset_name(const std::string& name);

}  // namespace xlsodbc
