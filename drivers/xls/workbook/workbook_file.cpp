#include "workbook_file.h"

#include "compound_file.h"
#include "gsf_ref.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace xlsodbc {
namespace {

bool has_zip_signature(const uint8_t* head, size_t n) {
  return n >= 4 && head[0] == 'P' && head[1] == 'K' && head[2] == 3 && head[3] == 4;
}

bool looks_like_text(const uint8_t* head, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    uint8_t c = head[i];
    if (c == 0 || (c < 0x20 && c != '\t' && c != '\r' && c != '\n' && c != 0x1A)) return false;
  }
  return n > 0;
}

// What a file that is neither a compound document nor a zip package looks like, from its
// first bytes.
std::string describe_foreign_file(const uint8_t* head, size_t n) {
  if (n >= 4 && head[0] == 0x09 && (head[1] == 0x00 || head[1] == 0x02 || head[1] == 0x04))
    return "it is an Excel 2.x-4.x worksheet file; only Excel 97-2003 (.xls) and Excel 2007 and "
           "later (.xlsx) workbooks can be read";
  if (n >= 5 && std::memcmp(head, "{\\rtf", 5) == 0) return "it is an RTF document, not an Excel workbook";
  if (n >= 5 && (std::memcmp(head, "<?xml", 5) == 0 || std::memcmp(head, "<html", 5) == 0 ||
                 std::memcmp(head, "<HTML", 5) == 0))
    return "it is an XML or HTML file, not an Excel workbook";
  if (looks_like_text(head, n))
    return "it is a text file (CSV or similar), not an Excel workbook";
  return "it is not an Excel workbook (neither a compound document nor a zip package)";
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
