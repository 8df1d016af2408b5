// Reading a workbook through the driver in a child process, so that a crash, a hang or a
// runaway allocation of the driver shows as a failed case instead of ending the test program,
// and so that the memory one read takes can be measured on its own.
#pragma once

#include <string>

namespace xlstest {

struct ChildRead {
  bool finished = false;  // the child ended by itself before the time limit
  int exit_status = -1;   // its exit status when it exited, -1 when killed by a signal
  int signal = 0;         // the signal that ended it, 0 when none
  std::string stage;      // where it stopped: "connect", "statement" or "read" (all rows read)
  std::string state;      // SQLSTATE of the failure
  std::string message;    // its message
  long rows = 0, columns = 0;
  bool needle_found = false;  // some column name or value holds the needle
  long rss_growth_kb = 0;     // peak resident memory of the read beyond that at its start
  double seconds = 0;

  // Why the child did not report normally, or "" when it did.
  std::string abnormal() const;
};

// Connects to `fixture_name` (through the driver library, as connect_string() does), selects
// every row of Sheet1 and reads every value, in a child process killed after
// `timeout_seconds`.
ChildRead read_in_child(const std::string& fixture_name, int timeout_seconds, const std::string& needle = "");

}  // namespace xlstest
