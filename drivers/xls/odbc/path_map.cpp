#include "path_map.h"

#include "workbook/charset.h"

#include <dirent.h>
#include <sys/stat.h>
#include <vector>

namespace xlsodbc {
namespace {

bool is_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

std::string strip_long_prefix(const std::string& p) {
  if (p.size() >= 4 && (p.compare(0, 4, "\\\\?\\") == 0 || p.compare(0, 4, "\\??\\") == 0)) return p.substr(4);
  return p;
}

bool exists(const std::string& p) {
  struct stat st;
  return lstat(p.c_str(), &st) == 0;
}

}  // namespace

bool is_windows_path(const std::string& path) {
  std::string p = strip_long_prefix(path);
  return p.size() >= 2 && is_letter(p[0]) && p[1] == ':' && (p.size() == 2 || p[2] == '\\' || p[2] == '/');
}

std::string map_windows_path(const std::string& path, const std::string& wineprefix,
                             const std::string& home, std::string& error) {
  if (!is_windows_path(path)) return path;
  std::string p = strip_long_prefix(path);
  std::string prefix = !wineprefix.empty() ? wineprefix : (home.empty() ? std::string("/root") : home) + "/.wine";
  while (prefix.size() > 1 && prefix.back() == '/') prefix.pop_back();
  char letter = static_cast<char>(p[0] >= 'A' && p[0] <= 'Z' ? p[0] + 32 : p[0]);
  std::string device = prefix + "/dosdevices/" + letter + ":";
  struct stat st;
  if (stat(device.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    error = std::string("drive ") + static_cast<char>(letter - 32) + ": is not mapped to a folder in the Wine prefix (" +
            device + " does not exist)";
    return std::string();
  }
  std::string rest = p.substr(2);
  for (char& c : rest)
    if (c == '\\') c = '/';
  std::string out = device + rest;
  // z: -> "/" gives "/dosdevices/z:/tmp": show and use the link's target when it resolves.
  char* real = realpath(device.c_str(), nullptr);
  if (real) {
    std::string base(real);
    free(real);
    if (base == "/") base.clear();
    out = base + (rest.empty() ? "/" : rest);
  }
  return resolve_case_insensitive(out);
}

std::string resolve_case_insensitive(const std::string& path) {
  if (path.empty() || path[0] != '/' || exists(path)) return path;
  std::vector<std::string> parts;
  size_t i = 1;
  while (i <= path.size()) {
    size_t j = path.find('/', i);
    if (j == std::string::npos) j = path.size();
    if (j > i) parts.push_back(path.substr(i, j - i));
    i = j + 1;
  }
  std::string cur;
  for (const std::string& part : parts) {
    std::string cand = cur + "/" + part;
    if (exists(cand)) { cur = cand; continue; }
    DIR* d = opendir(cur.empty() ? "/" : cur.c_str());
    if (!d) return path;
    std::string key = fold_case(part), found;
    while (dirent* e = readdir(d)) {
      if (fold_case(e->d_name) == key) { found = e->d_name; break; }
    }
    closedir(d);
    if (found.empty()) return path;
    cur += "/" + found;
  }
  return cur;
}

}  // namespace xlsodbc
