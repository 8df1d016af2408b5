#include "connect_string.h"

namespace xlsodbc {
namespace {

std::string trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r\n"), e = s.find_last_not_of(" \t\r\n");
  return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

std::string upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return s;
}

}  // namespace

const std::string* ConnectAttributes::find(const std::string& key) const {
  std::string k = upper(key);
  for (auto it = items.rbegin(); it != items.rend(); ++it)
    if (it->first == k) return &it->second;
  return nullptr;
}

ConnectAttributes parse_connect_string(const std::string& s) {
  ConnectAttributes out;
  size_t i = 0;
  while (i < s.size()) {
    size_t eq = s.find_first_of("=;", i);
    if (eq == std::string::npos) break;
    if (s[eq] == ';') {  // a piece without '=' ("ODBC")
      i = eq + 1;
      continue;
    }
    std::string key = upper(trim(s.substr(i, eq - i)));
    size_t v = eq + 1;
    while (v < s.size() && (s[v] == ' ' || s[v] == '\t')) ++v;
    std::string value;
    if (v < s.size() && s[v] == '{') {
      size_t k = v + 1;
      for (;;) {
        if (k >= s.size()) break;
        if (s[k] == '}') {
          if (k + 1 < s.size() && s[k + 1] == '}') {
            value.push_back('}');
            k += 2;
            continue;
          }
          ++k;
          break;
        }
        value.push_back(s[k++]);
      }
      size_t semi = s.find(';', k);
      i = semi == std::string::npos ? s.size() : semi + 1;
    } else {
      size_t semi = s.find(';', v);
      value = trim(s.substr(v, (semi == std::string::npos ? s.size() : semi) - v));
      i = semi == std::string::npos ? s.size() : semi + 1;
    }
    if (!key.empty()) out.items.emplace_back(key, value);
  }
  return out;
}

}  // namespace xlsodbc
