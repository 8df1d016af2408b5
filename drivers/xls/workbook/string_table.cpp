#include "string_table.h"

#include "charset.h"

#include <limits>

namespace xlsodbc {

void StringTable::reserve(size_t strings, size_t bytes) {
  starts_.reserve(strings + 1);
  lengths_.reserve(strings);
  chars_.reserve(bytes);
}

void StringTable::clear() {
  chars_.clear();
  starts_.assign(1, 0);
  lengths_.clear();
}

bool StringTable::add(std::string_view s) {
  if (chars_.size() + s.size() > std::numeric_limits<uint32_t>::max()) return false;
  chars_.insert(chars_.end(), s.begin(), s.end());
  starts_.push_back(static_cast<uint32_t>(chars_.size()));
  lengths_.push_back(static_cast<uint32_t>(utf8_length(s)));
  return true;
}

}  // namespace xlsodbc
