// Answers the dialogs and message boxes that one action shows one after another (the
// settings dialog, then a warning ...), also when one opens while another is being answered.
#pragma once
#include "support/ModalDriver.h"
#include <functional>
#include <vector>

using DialogHandler = std::function<void(HWND)>;

struct DialogSequenceResult {
    int handled = 0;      // dialogs given to a handler
    int unexpected = 0;   // further dialogs, closed without a handler
};

// Runs `action`; the n-th new dialog window of this thread goes to handlers[n], which must
// close it. Dialogs beyond the handlers are counted and closed.
DialogSequenceResult RunDialogSequence(const std::function<void()>& action, std::vector<DialogHandler> handlers);

// A handler that reads a message box into `seen` and presses OK.
DialogHandler ReadMessageBox(MessageBoxSeen& seen);
// A handler that answers the open-file dialog by typing `path` into its file name box and
// pressing Open.
DialogHandler ChooseFile(const CString& path);
