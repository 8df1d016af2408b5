#include "like_pattern.h"

#include "workbook/charset.h"

#include <vector>

namespace xlsodbc {
namespace {

struct PatternItem {
  enum Kind { Plain, One, Any } kind;
  char32_t c;
};

std::vector<PatternItem> pattern_items(const std::u32string& p) {
  std::vector<PatternItem> items;
  for (size_t i = 0; i < p.size(); ++i) {
    if (p[i] == U'\\' && i + 1 < p.size()) items.push_back({PatternItem::Plain, p[++i]});
    else if (p[i] == U'%') items.push_back({PatternItem::Any, 0});
    else if (p[i] == U'_') items.push_back({PatternItem::One, 0});
    else items.push_back({PatternItem::Plain, p[i]});
  }
  return items;
}

}  // namespace

bool like_match(const std::string& pattern_utf8, const std::string& name_utf8) {
  const std::vector<PatternItem> pattern = pattern_items(utf8_to_code_points(fold_case(pattern_utf8)));
  const std::u32string name = utf8_to_code_points(fold_case(name_utf8));
  // Greedy, going back only to the last '%' seen: what an earlier '%' could take instead,
  // the last one can take as well, so no other choice needs trying.
  size_t p = 0, n = 0;
  size_t last_any = pattern.size(), resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p].kind == PatternItem::Any) {
      last_any = p++;
      resume = n;
    } else if (p < pattern.size() && (pattern[p].kind == PatternItem::One || pattern[p].c == name[n])) {
      ++p;
      ++n;
    } else if (last_any < pattern.size()) {
      p = last_any + 1;  // the last '%' takes one character more
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p].kind == PatternItem::Any) ++p;
  return p == pattern.size();
}

}  // namespace xlsodbc
