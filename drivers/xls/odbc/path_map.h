// Windows paths as a program under Wine passes them ("Z:\tmp\a.xls", "C:\users\...") to
// Linux paths through the Wine prefix's dosdevices links. Linux paths pass unchanged.
#pragma once

#include <string>

namespace xlsodbc {

// `wineprefix` is $WINEPREFIX (may be empty: then `home`/.wine). Returns the Linux path, or
// an empty string with `error` set when the drive letter is not mapped.
std::string map_windows_path(const std::string& path, const std::string& wineprefix,
                             const std::string& home, std::string& error);

// True for "X:\..." / "X:/..." and "\\?\X:\..." forms.
bool is_windows_path(const std::string& path);

// When `path` does not exist, looks for it with each component matched case-insensitively
// (as Windows would find it); returns the existing spelling or `path` unchanged.
std::string resolve_case_insensitive(const std::string& path);

}  // namespace xlsodbc
