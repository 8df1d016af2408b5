// The driver's command line.
#pragma once
#include <string>
#include <vector>

struct DriverOptions {
    std::string exe;            // program to start; empty: attach to a running one
    std::string workbook;       // Windows path of the .xls file
    std::string server = "(local)";
    std::string database;
    std::string login = "sa";
    std::string password;
    std::string table;
    std::string pauseDir;       // folder of the pause handshake files; empty: no pauses
    bool leaveOpen = false;
    int timeoutSeconds = 600;   // for the conversion; the other steps take at most 60 s
};

// Parses the arguments after the program name. Returns false, with `error` set, on an
// unknown option, a missing value or a missing required option.
bool ParseDriverOptions(const std::vector<std::string>& args, DriverOptions& options, std::string& error);

extern const char kDriverUsage[];
