// Test-only refusals (sqlserver-standin --test-refusals, off by default): a test names a piece
// of text, and every later batch holding it is refused with an error, whichever client sends
// it, until the test names another or none. Lets a test make one of a client's queries fail
// while the others succeed.
//
// A batch that consists of the control comment sets the text:
//   -- standin refuse: TEXT      refuse batches holding TEXT from now on
//   -- standin refuse:           refuse nothing
#pragma once
#include <mutex>
#include <string>

namespace standin {

class Refusals {
 public:
  // True when `batch` is the control comment (the text is then taken); safe from every
  // session's thread.
  bool control(const std::string& batch);
  // True when `batch` holds the text being refused.
  bool refuses(const std::string& batch);

 private:
  std::mutex mutex_;
  std::string text_;
};

// The error number of a refused batch (the number SQL Server gives errors raised by a user).
constexpr int kRefusedError = 50000;

}  // namespace standin
