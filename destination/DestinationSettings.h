// The destination database settings that outlive the settings dialog: database name, login
// and password, for the whole run of the program. The server name is the main dialog's.
#pragma once
#include "framework/String.h"

namespace DestinationSettings {
extern CString database;
extern CString login;
extern CString password;

// Database empty, login "sa", password empty.
void SetDefaults();
}
