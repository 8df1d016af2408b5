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

std::vector<std::string> read_statement_log(std::istream& in) {
  std::vector<std::string> batches;
  std::string line;
  while (std::getline(in, line)) {
    std::string batch(std::stoul(line), '\0');
    if (!in.read(&batch[0], static_cast<std::streamsize>(batch.size())) || in.get() != '\n') break;
    batches.push_back(batch);
  }
  return batches;
}

}  // namespace standin
