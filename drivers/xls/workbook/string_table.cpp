#include "string_table.h"

#include "charset.h"

#include <limits>

namespace xlsodbc {

void StringTable::reserve(size_t strings, size_t bytes) {
  starts_.reserve(strings + 1);
  chars_.reserve(bytes);
}

void StringTable::clear() {
  chars_.clear();
  starts_.assign(1, 0);
}

bool StringTable::add(std::string_view s) {
  if (chars_.size() + s.size() > std::numeric_limits<uint32_t>::max()) return false;
  chars_.insert(chars_.end(), s.begin(), s.end());
  starts_.push_back(static_cast<uint32_t>(chars_.size()));
  return true;
}

uint32_t StringTable::length(uint32_t i) const {
  return static_cast<uint32_t>(utf8_length(at(i)));
}

}  // namespace xlsodbc
