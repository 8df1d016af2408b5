// One stand-in server for the whole test program, started on first use.
#pragma once
#include "odbc_client.h"
#include "standin_process.h"

StandinProcess& shared_standin();

// A client connected to `database` on the shared server; fails the test when it cannot connect.
struct Connected {
  explicit Connected(const std::string& database);
  OdbcClient client;
  Outcome login;
};
