// A record of every SQL batch the server receives, in arrival order, for the benchmarks that
// replay what a client sent. Each batch is written as its length in bytes on a line of its
// own, then its UTF-8 text and a newline, so that texts holding newlines come back whole.
#pragma once
#include <cstdio>
#include <istream>
#include <mutex>
#include <string>
#include <vector>

namespace standin {

class StatementLog {
 public:
  // Opens (truncates) the file; false when it cannot be written.
  bool open(const std::string& path);
  ~StatementLog();

  // Appends one batch; safe from every session's thread. Written through at once, so the
  // file is complete while the server still runs.
  void write(const std::string& batch);

 private:
  std::mutex mutex_;
  std::FILE* file_ = nullptr;
};

// The batches of a log, in order. A batch cut short (a log still being written) is left out.
std::vector<std::string> read_statement_log(std::istream& in);

}  // namespace standin
