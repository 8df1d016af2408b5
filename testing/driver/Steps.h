// What a user does in the main dialog, one function per step, through real window messages.
// Each step waits until the program shows its outcome and fails (DriverFailure) otherwise.
#pragma once
#include <string>
#include <vector>

class TargetProgram;

// Chooses the workbook through the open-file dialog; returns the field list.
std::vector<std::string> OpenWorkbook(const TargetProgram& program, const std::string& path);

// Types the server, fills the settings dialog and confirms it; returns the table list.
std::vector<std::string> ConnectDestination(const TargetProgram& program, const std::string& server,
                                            const std::string& database, const std::string& login,
                                            const std::string& password);

// Chooses the table in the table list; returns its column list.
std::vector<std::string> ChooseTable(const TargetProgram& program, const std::string& table);

// Pairs every field with the column of the same name (selecting both, then the create
// button). Returns the names paired; fields without such a column stay unpaired.
std::vector<std::string> PairSameNames(const TargetProgram& program);

struct ConversionOutcome {
    std::string status;   // the status line at the end
    bool completed;       // the completion text, not the stopped one
    int rows;             // the count the status line gives
    double seconds;       // from the click to the final status line
};

// Clicks the convert button and waits for the final status line.
ConversionOutcome Convert(const TargetProgram& program, int timeoutSeconds);
