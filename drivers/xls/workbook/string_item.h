// The text of a string item of SpreadsheetML (a shared string, an inline string).
#pragma once

#include "xlsx_limits.h"
#include "xstring_escapes.h"

#include <string>
#include <string_view>

namespace xlsodbc {

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
