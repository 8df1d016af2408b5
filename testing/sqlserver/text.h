// Text helpers: UTF-8 <-> UTF-16LE (TDS carries UCS-2/UTF-16LE), ASCII case folding and the
// sort key that orders names the way a Chinese_PRC case-insensitive collation does.
#pragma once
#include <cstdint>
#include <string>

namespace standin {

// UTF-16LE bytes to UTF-8; unpaired surrogates become U+FFFD.
std::string utf16le_to_utf8(const uint8_t* data, size_t bytes);
// UTF-8 to UTF-16LE bytes; invalid sequences become U+FFFD.
std::string utf8_to_utf16le(const std::string& text);
// Number of UTF-16 code units of a UTF-8 text.
size_t utf16_length(const std::string& text);
// Bytes the text takes in the server's code page (GBK): one per ASCII character, two otherwise.
size_t codepage_length(const std::string& text);

std::string ascii_lower(std::string text);
std::string ascii_upper(std::string text);
bool iequals(const std::string& a, const std::string& b);

// Orders names as the server's collation does: case-insensitive, Chinese by its GBK code
// (pinyin order for the common characters), ties broken by the exact text.
bool collation_less(const std::string& a, const std::string& b);

}  // namespace standin
