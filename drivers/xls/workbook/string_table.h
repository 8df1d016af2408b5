// The shared strings of a workbook in one block of text: a million strings as separate
// std::string objects take 32 bytes each before their text, and an allocation each.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace xlsodbc {

class StringTable {
 public:
  // Room for `strings` strings of `bytes` bytes in all (hints: both are bounded by the caller).
  void reserve(size_t strings, size_t bytes);
  void clear();
  // Adds a string; false when the table would pass 4 GiB of text (offsets are 32 bits).
  bool add(std::string_view s);

  size_t size() const { return starts_.size() - 1; }
  // The string at `i` (empty past the end).
  std::string_view at(uint32_t i) const {
    return i < size() ? std::string_view(chars_.data() + starts_[i], starts_[i + 1] - starts_[i]) : std::string_view();
  }
  // Its length in characters, counted when asked: only column sizes need it, and most reads
  // never ask for them.
  uint32_t length(uint32_t i) const;

 private:
  std::vector<char> chars_;
  std::vector<uint32_t> starts_{0};  // starts_[i + 1] ends string i
};

}  // namespace xlsodbc
