#include "statement_log.h"

namespace standin {

bool StatementLog::open(const std::string& path) {
  file_ = std::fopen(path.c_str(), "wb");
  return file_ != nullptr;
}

StatementLog::~StatementLog() {
  if (file_) std::fclose(file_);
}

void StatementLog::write(const std::string& batch) {
  if (!file_) return;
  std::lock_guard<std::mutex> lock(mutex_);
  std::fprintf(file_, "%zu\n", batch.size());
  std::fwrite(batch.data(), 1, batch.size(), file_);
  std::fputc('\n', file_);
  std::fflush(file_);
}

}  // namespace standin
