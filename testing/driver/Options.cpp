#include "testing/driver/Options.h"
#include <cstdlib>

const char kDriverUsage[] =
    "usage: sheetmover-driver [--exe PROGRAM | --attach] --workbook Z:\\path.xls [--server S]\n"
    "         --database DB [--login L] [--password P] --table T [--pause-dir DIR]\n"
    "         [--leave-open] [--timeout SECONDS]\n";

bool ParseDriverOptions(const std::vector<std::string>& args, DriverOptions& options, std::string& error)
{
    bool attach = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--attach") {
            attach = true;
            continue;
        }
        if (a == "--leave-open") {
            options.leaveOpen = true;
            continue;
        }
        std::string* target = nullptr;
        std::string timeout;
        if (a == "--exe") target = &options.exe;
        else if (a == "--workbook") target = &options.workbook;
        else if (a == "--server") target = &options.server;
        else if (a == "--database") target = &options.database;
        else if (a == "--login") target = &options.login;
        else if (a == "--password") target = &options.password;
        else if (a == "--table") target = &options.table;
        else if (a == "--pause-dir") target = &options.pauseDir;
        else if (a == "--timeout") target = &timeout;
        else {
            error = "unknown option " + a;
            return false;
        }
        if (i + 1 >= args.size()) {
            error = a + " needs a value";
            return false;
        }
        *target = args[++i];
        if (target == &timeout) {
            char* end = nullptr;
            long seconds = std::strtol(timeout.c_str(), &end, 10);
            if (timeout.empty() || *end || seconds <= 0) {
                error = "--timeout takes a positive number of seconds";
                return false;
            }
            options.timeoutSeconds = static_cast<int>(seconds);
        }
    }
    if (options.exe.empty() == !attach) {
        error = "give either --exe or --attach";
        return false;
    }
    for (auto [name, value] : {std::pair<const char*, const std::string*>{"--workbook", &options.workbook},
                               {"--database", &options.database}, {"--table", &options.table}}) {
        if (value->empty()) {
            error = std::string(name) + " is required";
            return false;
        }
    }
    return true;
}
