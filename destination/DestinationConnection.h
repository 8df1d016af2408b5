// The destination connection: the one process-wide connection reference, and the steps with
// which the destination commands make it, query it and let it go.
#pragma once
#include "framework/AdoConnection.h"
#include "framework/AdoRecordset.h"
#include "framework/String.h"

// Made and opened anew for each listing and each conversion run; released at the end of each
// and, if still held, when the program ends.
extern CConnectionPtr g_pConnection;

// Whether a file search finds the path (a directory, or a pattern that matches, counts too).
bool FileExists(CString path);

// Makes a new connection in g_pConnection (5-second login, client-side cursors, read
// committed) and opens it; false when any step fails. Reports nothing.
bool ConnectDestination(const char* server);

// Runs a catalogue query into a new recordset; false when it fails (the recordset stays
// closed). A query whose connection says it is overdue is given up within a few seconds of
// its command timeout: then the recordset and g_pConnection are released, unused.
bool OpenCatalogueQuery(CRecordsetPtr& rs, const CString& sql);

// Closes the recordset and the connection if open, and releases the connection.
void CloseAfterListing(CRecordsetPtr& rs);
