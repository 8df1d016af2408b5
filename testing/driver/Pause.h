// Pauses at agreed points so that a script can look at the program (take a screenshot):
// the driver writes DIR\NAME.ready, holding the main window's handle, and waits until the
// script creates DIR\NAME.go. Both files are removed before the driver goes on.
#pragma once
#include <windows.h>
#include <string>

void PauseAt(const std::string& dir, const std::string& name, HWND main);
