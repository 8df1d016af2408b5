#include "standin_process.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <thread>

StandinProcess::StandinProcess(const std::string& data_dir, const std::vector<std::string>& options)
    : data_dir_(data_dir) {
  if (data_dir_.empty()) {
    char tmpl[] = "/tmp/standin-test-XXXXXX";
    if (!mkdtemp(tmpl)) throw std::runtime_error("mkdtemp failed");
    data_dir_ = tmpl;
  }
  std::string ready = data_dir_ + "/ready";
  pid_ = fork();
  if (pid_ == 0) {
    std::vector<const char*> argv = {STANDIN_EXE, "--port", "0", "--data", data_dir_.c_str(),
                                     "--ready-file", ready.c_str()};
    for (const std::string& option : options) argv.push_back(option.c_str());
    argv.push_back(nullptr);
    execv(STANDIN_EXE, const_cast<char* const*>(argv.data()));
    _exit(127);
  }
  // Wait for the ready file that carries the port.
  for (int i = 0; i < 500 && port_ == 0; ++i) {
    std::ifstream in(ready);
    if (!(in >> port_)) {
      port_ = 0;
      int status;
      if (waitpid(pid_, &status, WNOHANG) == pid_) throw std::runtime_error("stand-in exited");
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  if (port_ == 0) throw std::runtime_error("stand-in did not start");
}

StandinProcess::~StandinProcess() {
  stop();
  std::string cmd = "rm -rf '" + data_dir_ + "'";
  if (data_dir_.rfind("/tmp/standin-test-", 0) == 0 && std::system(cmd.c_str()) != 0)
    std::fprintf(stderr, "could not remove %s\n", data_dir_.c_str());
}

std::string StandinProcess::connection_string(const std::string& database,
                                              const std::string& password,
                                              const std::string& user) const {
  return "DRIVER={FreeTDS};SERVER=127.0.0.1;PORT=" + std::to_string(port_) + ";UID=" + user +
         ";PWD=" + password + ";TDS_Version=7.4;DATABASE=" + database + ";ClientCharset=UTF-8";
}

void StandinProcess::run_script(const std::string& database, const std::string& sql) const {
  std::string file = data_dir_ + "/script.sql";
  std::ofstream(file) << sql;
  std::string cmd = std::string(STANDIN_EXE) + " --data '" + data_dir_ + "' --script '" +
                    database + "' '" + file + "'";
  if (std::system(cmd.c_str()) != 0) throw std::runtime_error("script failed: " + sql);
}

int StandinProcess::stop() {
  if (pid_ <= 0) return -1;
  kill(pid_, SIGTERM);
  int status = 0;
  waitpid(pid_, &status, 0);
  pid_ = -1;
  return status;
}
