#include "compound_file.h"

#include "gsf_ref.h"
#include "huge_pages.h"

#include <gsf/gsf.h>

#include <cstring>

namespace xlsodbc {
namespace {

const uint8_t kOle2Signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

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

}  // namespace

bool has_compound_signature(const uint8_t* head, size_t n) {
  return n >= 8 && std::memcmp(head, kOle2Signature, 8) == 0;
}

bool read_workbook_stream(GsfInput* file, std::vector<uint8_t>& out, std::string& error) {
  out.clear();
  const gsf_off_t file_size = gsf_input_size(file);
  if (file_size < 1024) {
    error = "the workbook is damaged or truncated (the compound document is only " +
            std::to_string(file_size) + " bytes long)";
    return false;
  }
  init_readers();
  GError* gerr = nullptr;
  GRef<GsfInfile> ole(gsf_infile_msole_new(file, &gerr));
  if (!ole) {
    error = "the workbook is damaged or truncated (" +
            take_error(gerr, "the compound document cannot be read") + ")";
    return false;
  }
  // As Excel looks for it: "Workbook" first, then "Book", in any case.
  GRef<GsfInput> stream(child_stream(ole.get(), "Workbook"));
  if (!stream) stream.reset(child_stream(ole.get(), "Book"));
  if (!stream) {
    // An encrypted .xlsx is a compound document holding the encrypted zip package.
    GRef<GsfInput> encrypted(child_stream(ole.get(), "EncryptedPackage"));
    if (encrypted)
      error = "it is an .xlsx workbook protected with a password (encrypted); open it in Excel, "
              "remove the password and save it again";
    else
      error = "it is a compound document without a Workbook stream (another Office document, "
              "not an Excel workbook)";
    return false;
  }
  gsf_off_t size = gsf_input_size(stream.get());
  if (size <= 0) { error = "the workbook stream is empty"; return false; }
  if (size > file_size) {
    error = "the workbook is damaged or truncated (its stream claims " + std::to_string(size) +
            " bytes in a file of " + std::to_string(file_size) + ")";
    return false;
  }
  try {
    out.reserve(static_cast<size_t>(size));
    prefer_huge_pages(out.data(), out.capacity());
    out.resize(static_cast<size_t>(size));
  } catch (const std::bad_alloc&) {
    error = "not enough memory to read the workbook";
    return false;
  }
  if (!gsf_input_read(stream.get(), static_cast<size_t>(size), out.data())) {
    out.clear();
    error = "the workbook is damaged or truncated (its stream cannot be read to the end)";
    return false;
  }
  return true;
}

}  // namespace xlsodbc
