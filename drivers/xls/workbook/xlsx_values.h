// The small texts of SpreadsheetML: cell references, numbers in attributes, escaped strings,
// ISO 8601 dates; and the sizes an .xlsx part may have.
#pragma once

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

namespace xlsodbc {

// The largest part accepted: a worksheet of a million rows of ten columns is about 0.5 GB of
// XML; the other parts are far smaller.
constexpr uint64_t kMaxSheetPart = uint64_t(8) << 30;
constexpr uint64_t kMaxOtherPart = uint64_t(1) << 30;

// A whole unsigned decimal number, nothing before or after it.
template <typename T>
bool parse_unsigned(std::string_view s, T& out) {
  if (s.empty()) return false;
  auto r = std::from_chars(s.data(), s.data() + s.size(), out);
  return r.ec == std::errc() && r.ptr == s.data() + s.size();
}
template <typename T>
bool parse_unsigned(const char* s, T& out) {
  return s && parse_unsigned(std::string_view(s), out);
}

// Decodes the _xHHHH_ escapes with which SpreadsheetML writes UTF-16 units XML cannot carry
// (control characters; "_x005F_" is a literal underscore).
void unescape_xstring(std::string& s);

// The serial number of an ISO 8601 date cell (t="d": "2024-05-01", "2024-05-01T13:05:00",
// "13:05:00"), in the workbook's date system; false when the text is not such a date.
bool iso_date_serial(const std::string& s, bool date1904, double& serial);

// The longest text of one cell or shared string accepted. A cell holds at most 32,767
// characters; anything far beyond is a damaged or hostile part, not text to keep in memory.
constexpr size_t kMaxCellText = 16u << 20;

// The text of a string item (<si> of the shared strings, <is> of an inline string) as its
// elements go by: its <t>, or its rich-text runs' <t> joined; phonetic runs (<rPh>, the
// reading of East Asian text) are left out.
class StringItem {
 public:
  void begin() {
    text_.clear();
    collecting_ = false;
    phonetic_ = 0;
  }
  void start(std::string_view name) {
    if (name == "rPh") ++phonetic_;
    else if (name == "t" && phonetic_ == 0) collecting_ = true;
  }
  void end(std::string_view name) {
    if (name == "t") collecting_ = false;
    else if (name == "rPh" && phonetic_ > 0) --phonetic_;
  }
  // False when the text grows beyond kMaxCellText.
  bool add(std::string_view s) {
    if (!collecting_) return true;
    if (text_.size() + s.size() > kMaxCellText) return false;
    text_.append(s);
    return true;
  }
  // The text, escapes decoded; valid until the next begin().
  const std::string& take() {
    unescape_xstring(text_);
    return text_;
  }

 private:
  std::string text_;
  bool collecting_ = false;
  int phonetic_ = 0;
};

}  // namespace xlsodbc
