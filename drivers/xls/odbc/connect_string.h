// ODBC connection strings: "DRIVER={name};DBQ=path", with an optional leading "ODBC;" and
// attributes such as DSN='' that are ignored.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace xlsodbc {

struct ConnectAttributes {
  std::vector<std::pair<std::string, std::string>> items;  // keys upper-cased
  // The value of a key (case-insensitive), or nullptr.
  const std::string* find(const std::string& key) const;
};

// Splits on ';' into KEY=VALUE pairs. A value in braces keeps ';' and '='; "}}" inside braces
// stands for '}'. Pieces without '=' (such as the leading "ODBC") are skipped.
ConnectAttributes parse_connect_string(const std::string& s);

}  // namespace xlsodbc
