#include "child_read.h"

#include "odbc_client.h"

#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <sstream>

namespace xlstest {
namespace {

long peak_rss_kb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

std::string one_line(std::string s) {
  for (char& c : s)
    if (c == '\n' || c == '\r') c = ' ';
  return s;
}

bool holds(const Table& t, const std::string& needle) {
  if (needle.empty()) return false;
  for (const auto& n : t.names)
    if (n.find(needle) != std::string::npos) return true;
  for (const auto& r : t.rows)
    for (const auto& v : r)
      if (v && v->find(needle) != std::string::npos) return true;
  return false;
}

// The child's side: one read, reported on `fd` as lines (stage, state, message, rows,
// columns, needle found, memory growth).
[[noreturn]] void child(int fd, const std::string& fixture_name, const std::string& needle) {
  long start_kb = peak_rss_kb();
  std::string stage, state, message;
  long rows = 0, columns = 0;
  bool found = false;
  {
    Connection c;
    if (!SQL_SUCCEEDED(c.connect(connect_string(fixture_name)))) {
      auto d = c.diag();
      stage = "connect";
      if (!d.empty()) state = d[0].state, message = d[0].message;
    } else {
      Table t;
      std::vector<Diag> err;
      if (!c.query("select * from [Sheet1$]", t, &err)) {
        stage = "statement";
        if (!err.empty()) state = err[0].state, message = err[0].message;
      } else {
        stage = "read";
        rows = static_cast<long>(t.rows.size());
        columns = static_cast<long>(t.names.size());
        found = holds(t, needle);
      }
    }
  }
  std::ostringstream out;
  out << stage << '\n' << state << '\n' << one_line(message) << '\n' << rows << '\n' << columns << '\n' << found
      << '\n' << (peak_rss_kb() - start_kb) << '\n';
  std::string s = out.str();
  for (size_t at = 0; at < s.size();) {
    ssize_t n = write(fd, s.data() + at, s.size() - at);
    if (n <= 0) break;
    at += static_cast<size_t>(n);
  }
  close(fd);
  // Leave without running the parent's exit handlers (the test framework's among them).
  _exit(0);
}

}  // namespace

std::string ChildRead::abnormal() const {
  if (!finished) return "no answer within the time limit (hang?)";
  if (signal) return "killed by signal " + std::to_string(signal);
  if (exit_status != 0) return "exited with status " + std::to_string(exit_status);
  if (stage.empty()) return "no report";
  return "";
}

ChildRead read_in_child(const std::string& fixture_name, int timeout_seconds, const std::string& needle) {
  ChildRead r;
  int fds[2];
  if (pipe(fds) != 0) return r;
  auto started = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    child(fds[1], fixture_name, needle);
  }
  close(fds[1]);
  std::string report;
  auto deadline = started + std::chrono::seconds(timeout_seconds);
  bool timed_out = false;
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      timed_out = true;
      break;
    }
    pollfd p{fds[0], POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
    char buf[4096];
    ssize_t n = read(fds[0], buf, sizeof buf);
    if (n <= 0) break;
    report.append(buf, static_cast<size_t>(n));
  }
  close(fds[0]);
  if (timed_out) kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
  r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  r.finished = !timed_out;
  if (WIFEXITED(status)) r.exit_status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) r.signal = WTERMSIG(status);
  std::istringstream in(report);
  std::string rows, columns, found, growth;
  std::getline(in, r.stage);
  std::getline(in, r.state);
  std::getline(in, r.message);
  std::getline(in, rows);
  std::getline(in, columns);
  std::getline(in, found);
  std::getline(in, growth);
  r.rows = std::atol(rows.c_str());
  r.columns = std::atol(columns.c_str());
  r.needle_found = found == "1";
  r.rss_growth_kb = std::atol(growth.c_str());
  return r;
}

}  // namespace xlstest
