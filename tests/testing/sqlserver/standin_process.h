// Starts the real stand-in server on a free port with a fresh data folder, and stops it.
#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

class StandinProcess {
 public:
  // Starts the server; `data_dir` empty gives a new temporary folder. `options` are added
  // to its command line.
  explicit StandinProcess(const std::string& data_dir = "",
                          const std::vector<std::string>& options = {});
  ~StandinProcess();
  StandinProcess(const StandinProcess&) = delete;
  StandinProcess& operator=(const StandinProcess&) = delete;

  int port() const { return port_; }
  const std::string& data_dir() const { return data_dir_; }
  // DRIVER={FreeTDS};SERVER=127.0.0.1;PORT=..;UID=..;PWD=..;TDS_Version=7.4;DATABASE=..;
  // ClientCharset=UTF-8
  std::string connection_string(const std::string& database,
                                const std::string& password = "SheetMover1",
                                const std::string& user = "sa") const;
  // Runs a T-SQL file through the server's script mode (creates the database).
  void run_script(const std::string& database, const std::string& sql) const;
  // Sends SIGTERM and waits; returns the exit status.
  int stop();

 private:
  std::string data_dir_;
  pid_t pid_ = -1;
  int port_ = 0;
};
