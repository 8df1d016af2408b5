// Where a handler is in a document: the local names of the open elements from the root, so
// that an element counts only in its place (a <numFmt> of <numFmts>, not one of a
// conditional format's <dxf> or of an extension).
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace xlsodbc {

class ElementPath {
 public:
  void enter(std::string_view name) {
    if (depth_ < names_.size()) names_[depth_].assign(name);
    else names_.emplace_back(name);
    ++depth_;
  }
  void leave() {
    if (depth_ > 0) --depth_;
  }
  void clear() { depth_ = 0; }
  // Whether the open elements are exactly these, from the root.
  bool is(std::initializer_list<std::string_view> path) const {
    if (path.size() != depth_) return false;
    size_t i = 0;
    for (std::string_view name : path)
      if (names_[i++] != name) return false;
    return true;
  }

 private:
  std::vector<std::string> names_;  // kept for reuse beyond depth_
  size_t depth_ = 0;
};

}  // namespace xlsodbc
