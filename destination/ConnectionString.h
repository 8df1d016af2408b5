// The ADO-style connection string of the destination, made from the server name and the
// settings. A value holding ';' or starting with '{' is enclosed in braces ('}' doubled), so
// no typed text can end an attribute or add one; other values go in as typed.
#pragma once
#include "framework/String.h"

CString DestinationConnectionString(const char* server, const char* database, const char* login,
                                    const char* password);
