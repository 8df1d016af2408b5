#include "compound_file.h"

#include <gsf/gsf.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

namespace xlsodbc {
namespace {

const uint8_t kOle2Signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

void init_gsf() {
  static std::once_flag once;
  std::call_once(once, [] { gsf_init(); });
}

template <typename T>
struct GObjectRef {
  T* p = nullptr;
  ~GObjectRef() { if (p) g_object_unref(p); }
};

// The stream of the root storage named `name`, compared without regard to case as compound
// files name their entries ("WORKBOOK", "workbook" and "Workbook" are one name); nullptr
// when there is none. Storages of that name are passed over.
GsfInput* child_stream(GsfInfile* root, const char* name) {
  int n = gsf_infile_num_children(root);
  for (int i = 0; i < n; ++i) {
    const char* child = gsf_infile_name_by_index(root, i);
    if (!child || g_ascii_strcasecmp(child, name) != 0) continue;
    GsfInput* in = gsf_infile_child_by_index(root, i);
    if (in && GSF_IS_INFILE(in) && gsf_infile_num_children(GSF_INFILE(in)) >= 0) {
      g_object_unref(in);
      continue;
    }
    if (in) return in;
  }
  return nullptr;
}

bool looks_like_text(const uint8_t* head, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    uint8_t c = head[i];
    if (c == 0 || (c < 0x20 && c != '\t' && c != '\r' && c != '\n' && c != 0x1A)) return false;
  }
  return n > 0;
}

}  // namespace

std::string describe_foreign_file(const uint8_t* head, size_t n) {
  if (n >= 4 && head[0] == 'P' && head[1] == 'K' && head[2] == 3 && head[3] == 4)
    return "it is a ZIP archive (an .xlsx workbook saved under an .xls name?), not an Excel "
           "97-2003 workbook; save it in the Excel 97-2003 (.xls) format";
  if (n >= 4 && head[0] == 0x09 && (head[1] == 0x00 || head[1] == 0x02 || head[1] == 0x04))
    return "it is an Excel 2.x-4.x worksheet file; only Excel 97-2003 (.xls) workbooks can be read";
  if (n >= 5 && std::memcmp(head, "{\\rtf", 5) == 0) return "it is an RTF document, not an Excel workbook";
  if (n >= 5 && (std::memcmp(head, "<?xml", 5) == 0 || std::memcmp(head, "<html", 5) == 0 ||
                 std::memcmp(head, "<HTML", 5) == 0))
    return "it is an XML or HTML file, not an Excel 97-2003 workbook";
  if (looks_like_text(head, n))
    return "it is a text file (CSV or similar), not an Excel 97-2003 workbook";
  return "it is not an Excel 97-2003 workbook (no compound document signature)";
}

bool read_workbook_stream(const std::string& path, std::vector<uint8_t>& out, std::string& error) {
  out.clear();
  struct stat st;
  if (stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) error = "the file does not exist";
    else error = std::string("the file cannot be accessed: ") + std::strerror(errno);
    return false;
  }
  if (S_ISDIR(st.st_mode)) { error = "it is a folder, not a file"; return false; }
  if (!S_ISREG(st.st_mode)) { error = "it is not a regular file"; return false; }
  if (st.st_size == 0) { error = "the file is empty"; return false; }

  // Look at the signature first so that foreign files get a precise message.
  uint8_t head[512];
  size_t nhead = 0;
  {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) { error = std::string("the file cannot be opened: ") + std::strerror(errno); return false; }
    ssize_t r = read(fd, head, sizeof head);
    close(fd);
    if (r < 0) { error = std::string("the file cannot be read: ") + std::strerror(errno); return false; }
    nhead = static_cast<size_t>(r);
  }
  if (nhead < 8 || std::memcmp(head, kOle2Signature, 8) != 0) {
    error = describe_foreign_file(head, nhead);
    return false;
  }
  if (st.st_size < 1024) {
    error = "the workbook is damaged or truncated (the compound document is only " +
            std::to_string(st.st_size) + " bytes long)";
    return false;
  }

  init_gsf();
  GError* gerr = nullptr;
  GObjectRef<GsfInput> input;
  input.p = gsf_input_stdio_new(path.c_str(), &gerr);
  if (!input.p) {
    error = std::string("the file cannot be opened: ") + (gerr ? gerr->message : "unknown error");
    if (gerr) g_error_free(gerr);
    return false;
  }
  GObjectRef<GsfInfile> ole;
  ole.p = gsf_infile_msole_new(input.p, &gerr);
  if (!ole.p) {
    error = std::string("the workbook is damaged or truncated (") +
            (gerr ? gerr->message : "the compound document cannot be read") + ")";
    if (gerr) g_error_free(gerr);
    return false;
  }
  GObjectRef<GsfInput> stream;
  // As Excel looks for it: "Workbook" first, then "Book", in any case.
  stream.p = child_stream(ole.p, "Workbook");
  if (!stream.p) stream.p = child_stream(ole.p, "Book");
  if (!stream.p) {
    bool is_xlsx_encrypted = false;
    GObjectRef<GsfInput> enc;
    enc.p = child_stream(ole.p, "EncryptedPackage");
    is_xlsx_encrypted = enc.p != nullptr;
    if (is_xlsx_encrypted)
      error = "it is a password-protected .xlsx workbook; encrypted workbooks cannot be read";
    else
      error = "it is a compound document without a Workbook stream (another Office document, "
              "not an Excel workbook)";
    return false;
  }
  gsf_off_t size = gsf_input_size(stream.p);
  if (size <= 0) { error = "the workbook stream is empty"; return false; }
  if (size > st.st_size) {
    error = "the workbook is damaged or truncated (its stream claims " + std::to_string(size) +
            " bytes in a file of " + std::to_string(st.st_size) + ")";
    return false;
  }
  try {
    out.resize(static_cast<size_t>(size));
  } catch (const std::bad_alloc&) {
    error = "not enough memory to read the workbook";
    return false;
  }
  if (!gsf_input_read(stream.p, static_cast<size_t>(size), out.data())) {
    out.clear();
    error = "the workbook is damaged or truncated (its stream cannot be read to the end)";
    return false;
  }
  return true;
}

}  // namespace xlsodbc
