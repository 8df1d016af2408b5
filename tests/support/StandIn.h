// The SQL Server stand-in the destination tests reach through the real FreeTDS driver.
// scripts/test starts it and names its port in SM_STANDIN_PORT (login sa, password
// SheetMover1); on the next two ports it starts stand-ins whose passwords hold the characters
// a connection string treats specially.
#pragma once
#include "framework/String.h"

constexpr const char kStandInPassword[] = "SheetMover1";
// The passwords of the stand-ins on SM_STANDIN_PORT + 1 and + 2.
constexpr const char kBracedPassword[] = "{pw;1=2'\"";
constexpr const char kClosingBracePassword[] = "pw}1=2'\"";

// The port from SM_STANDIN_PORT; the calling test fails when it is not set.
int StandInPort();
// "127.0.0.1,port".
CString StandInServer(int offset = 0);
// Runs statements on the stand-in as sa, in `database` (the login's default when empty); a
// failure fails the calling test with the server's message.
void StandInExec(const char* database, const char* sql);
// From now on the stand-in on SM_STANDIN_PORT refuses every batch holding `text`, whoever sends
// it; the empty text ends that (scripts/test starts it with --test-refusals).
void StandInRefuse(const char* text);
// Drops the database if it exists and creates it empty.
void CreateFreshDatabase(const char* name);
// Sets the three process-wide destination settings.
void UseSettings(const char* database, const char* login = "sa", const char* password = kStandInPassword);
// A local port on which nothing listens.
int ClosedPort();
