#include "refusals.h"

namespace standin {

namespace {
constexpr char kControl[] = "-- standin refuse:";
}

bool Refusals::control(const std::string& batch) {
  if (batch.compare(0, sizeof kControl - 1, kControl) != 0) return false;
  std::string text = batch.substr(sizeof kControl - 1);
  text.erase(0, text.find_first_not_of(" \t"));
  text.erase(text.find_last_not_of(" \t\r\n") + 1);
  std::lock_guard<std::mutex> lock(mutex_);
  text_ = text;
  return true;
}

bool Refusals::refuses(const std::string& batch) {
  std::lock_guard<std::mutex> lock(mutex_);
  return !text_.empty() && batch.find(text_) != std::string::npos;
}

}  // namespace standin
