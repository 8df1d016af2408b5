// sheetmover-driver: operates a running SheetMover from outside, the way a person does, with
// window messages: chooses the workbook, connects to the destination, chooses the table,
// pairs the fields with the columns of the same names and converts. Prints what it sees, and
// the time from the convert click to the final status line; exits 1 on any failure (a message
// box, a step whose outcome does not show, a run that stops).
#include "testing/driver/Console.h"
#include "testing/driver/Failure.h"
#include "testing/driver/Options.h"
#include "testing/driver/Pause.h"
#include "testing/driver/Steps.h"
#include "testing/driver/TargetProgram.h"
#include <cstdio>

namespace {
std::string Joined(const std::vector<std::string>& items)
{
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : ", ") + item;
    return text;
}

int Drive(const DriverOptions& options, TargetProgram& program)
{
    if (options.exe.empty()) program.Attach();
    else program.Start(options.exe);
    char handle[32];
    std::snprintf(handle, sizeof handle, "%p", static_cast<void*>(program.Main()));
    PrintLine(std::string("main window: ") + handle);

    PrintLine("fields: " + Joined(OpenWorkbook(program, options.workbook)));
    PrintLine("tables: " + Joined(ConnectDestination(program, options.server, options.database, options.login,
                                                     options.password)));
    PrintLine("columns: " + Joined(ChooseTable(program, options.table)));
    std::vector<std::string> paired = PairSameNames(program);
    if (paired.empty()) throw DriverFailure("no field has a column of the same name in table " + options.table);
    PrintLine("paired: " + Joined(paired));

    PauseAt(options.pauseDir, "before", program.Main());
    ConversionOutcome outcome = Convert(program, options.timeoutSeconds);
    char seconds[64];
    std::snprintf(seconds, sizeof seconds, "convert-seconds: %.3f", outcome.seconds);
    PrintLine("status: " + outcome.status);
    PrintLine("rows: " + std::to_string(outcome.rows));
    PrintLine(seconds);
    PauseAt(options.pauseDir, "after", program.Main());
    if (!outcome.completed) throw DriverFailure("the conversion stopped: " + outcome.status);
    return 0;
}
}

int main(int argc, char** argv)
{
    DriverOptions options;
    std::string error;
    if (!ParseDriverOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        PrintError("sheetmover-driver: " + error);
        PrintError(kDriverUsage);
        return 2;
    }
    TargetProgram program;
    int code = 1;
    try {
        code = Drive(options, program);
    } catch (const DriverFailure& e) {
        PrintError(std::string("sheetmover-driver: failed: ") + e.what());
    }
    if (options.leaveOpen) program.Release();
    else program.Close();
    return code;
}
