// sqlserver-standin: a loopback SQL Server for SheetMover's tests and demo. It speaks TDS 7.x
// to FreeTDS and keeps each database as DIR/<name>.sqlite.
//
//   sqlserver-standin [--port N] [--data DIR] [--user U] [--password P] [--ready-file F]
//                     [--log-statements FILE]   (every batch received, see statement_log.h)
//                     [--test-refusals]         (batches refused on a test's request, see refusals.h)
//   sqlserver-standin --data DIR --script DB FILE   (runs a T-SQL file in DB, creating it)
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "executor.h"
#include "refusals.h"
#include "server.h"
#include "statement_log.h"

namespace {

int g_stop_pipe[2] = {-1, -1};

void on_signal(int) {
  char c = 1;
  ssize_t ignored = ::write(g_stop_pipe[1], &c, 1);
  (void)ignored;
}

struct Ready {
  std::string file;
};

void announce(int port, void* data) {
  const Ready* ready = static_cast<const Ready*>(data);
  if (!ready->file.empty()) {
    std::string tmp = ready->file + ".tmp";
    std::ofstream(tmp) << port << "\n";
    std::rename(tmp.c_str(), ready->file.c_str());
  }
  std::printf("sqlserver-standin: ready on 127.0.0.1:%d\n", port);
  std::fflush(stdout);
}

int usage() {
  std::fprintf(stderr,
               "usage: sqlserver-standin [--port N] [--data DIR] [--user U] [--password P] "
               "[--ready-file F] [--log-statements FILE] [--test-refusals]\n"
               "       sqlserver-standin [--data DIR] --script DATABASE FILE\n");
  return 2;
}

// Runs FILE's batches (separated by lines holding only GO) in DATABASE, creating it.
int run_script(const standin::ServerConfig& config, const std::string& db,
               const std::string& file) {
  std::ifstream in(file);
  if (!in) {
    std::fprintf(stderr, "sqlserver-standin: cannot read %s\n", file.c_str());
    return 1;
  }
  standin::Executor executor(config, 1);
  standin::TokenWriter ignored(0x74000004);
  if (standin::database_file(config.data_dir, db).empty())
    executor.run_batch("create database [" + db + "]", ignored);
  executor.use(db);
  std::string line, batch;
  int failures = 0;
  auto flush = [&] {
    for (const auto& e : executor.run_batch(batch, ignored)) {
      std::fprintf(stderr, "sqlserver-standin: %s: error %d: %s\n", file.c_str(), e.number,
                   e.what());
      ++failures;
    }
    ignored.clear();
    batch.clear();
  };
  while (std::getline(in, line)) {
    std::string word = line;
    word.erase(0, word.find_first_not_of(" \t\r"));
    word.erase(word.find_last_not_of(" \t\r") + 1);
    if (word == "GO" || word == "go" || word == "Go") {
      flush();
    } else {
      batch += line + "\n";
    }
  }
  flush();
  return failures ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  standin::ServerConfig config;
  config.data_dir = "standin-data";
  int port = 1433;
  Ready ready;
  std::string script_db, script_file, statement_log;
  bool test_refusals = false;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) {
        usage();
        std::exit(2);
      }
      return argv[++i];
    };
    if (a == "--port")
      port = std::atoi(value().c_str());
    else if (a == "--data")
      config.data_dir = value();
    else if (a == "--user")
      config.user = value();
    else if (a == "--password")
      config.password = value();
    else if (a == "--ready-file")
      ready.file = value();
    else if (a == "--log-statements")
      statement_log = value();
    else if (a == "--test-refusals")
      test_refusals = true;
    else if (a == "--script") {
      script_db = value();
      script_file = value();
    } else
      return usage();
  }
  ::mkdir(config.data_dir.c_str(), 0755);
  if (!script_db.empty()) return run_script(config, script_db, script_file);
  standin::StatementLog log;
  if (!statement_log.empty()) {
    if (!log.open(statement_log)) {
      std::fprintf(stderr, "sqlserver-standin: cannot write %s\n", statement_log.c_str());
      return 1;
    }
    config.statement_log = &log;
  }
  standin::Refusals refusals;
  if (test_refusals) config.refusals = &refusals;

  if (::pipe(g_stop_pipe) != 0) return 1;
  struct sigaction sa {};
  sa.sa_handler = on_signal;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGTERM, &sa, nullptr);
  sigaction(SIGINT, &sa, nullptr);
  signal(SIGPIPE, SIG_IGN);
  bool ok = standin::serve(port, config, g_stop_pipe[0], announce, &ready);
  if (!ready.file.empty()) std::remove(ready.file.c_str());
  std::printf("sqlserver-standin: stopped\n");
  return ok ? 0 : 1;
}
