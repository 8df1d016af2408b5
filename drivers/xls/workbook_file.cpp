#include "workbook_file.h"

#include "compound_file.h"
#include "gsf_ref.h"

#include <libxml/parser.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <sys/stat.h>

namespace xlsodbc {
namespace {

bool has_zip_signature(const uint8_t* head, size_t n) {
  return n >= 4 && head[0] == 'P' && head[1] == 'K' && head[2] == 3 && head[3] == 4;
}

// Reads the workbook from `file`, by the kind its first bytes show.
bool open_input(GsfInput* file, Workbook& wb, std::string& error) {
  uint8_t head[512];
  size_t n = static_cast<size_t>(std::min<gsf_off_t>(gsf_input_size(file), sizeof head));
  if (n == 0) { error = "the file is empty"; return false; }
  if (!gsf_input_read(file, n, head) || gsf_input_seek(file, 0, G_SEEK_SET)) {
    error = "the file cannot be read";
    return false;
  }
  if (has_zip_signature(head, n)) {
    auto package = std::make_unique<ZipPackage>();
    if (!package->open(file, error)) return false;
    return wb.open_package(std::move(package), error);
  }
  if (has_compound_signature(head, n)) {
    std::vector<uint8_t> stream;
    if (!read_workbook_stream(file, stream, error)) return false;
    return wb.open(std::move(stream), error);
  }
  error = describe_foreign_file(head, n);
  return false;
}

}  // namespace

void init_readers() {
  static std::once_flag once;
  std::call_once(once, [] {
    gsf_init();
    xmlInitParser();
  });
}

std::string take_error(GError* err, const char* fallback) {
  std::string text = err && err->message ? err->message : fallback;
  if (err) g_error_free(err);
  return text;
}

bool open_workbook_file(const std::string& path, Workbook& wb, std::string& error) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) error = "the file does not exist";
    else error = std::string("the file cannot be accessed: ") + std::strerror(errno);
    return false;
  }
  if (S_ISDIR(st.st_mode)) { error = "it is a folder, not a file"; return false; }
  if (!S_ISREG(st.st_mode)) { error = "it is not a regular file"; return false; }
  if (st.st_size == 0) { error = "the file is empty"; return false; }
  init_readers();
  GError* err = nullptr;
  GRef<GsfInput> file(gsf_input_stdio_new(path.c_str(), &err));
  if (!file) {
    error = "the file cannot be opened: " + take_error(err, "unknown error");
    return false;
  }
  return open_input(file.get(), wb, error);
}

bool open_workbook_bytes(const uint8_t* data, size_t size, Workbook& wb, std::string& error) {
  if (size == 0) { error = "the file is empty"; return false; }
  init_readers();
  GRef<GsfInput> file(gsf_input_memory_new_clone(data, static_cast<gsf_off_t>(size)));
  if (!file) { error = "not enough memory to read the workbook"; return false; }
  return open_input(file.get(), wb, error);
}

}  // namespace xlsodbc
