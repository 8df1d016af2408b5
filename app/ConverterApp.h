// The application object: checks for an Excel driver, sets the defaults and runs the main
// dialog modally; the program ends when it closes.
#pragma once
#include "framework/WinApp.h"

class CConverterApp : public CWinApp {
public:
    BOOL InitInstance() override;
    int ExitInstance() override;
};
