#include "zip_package.h"

#include "gsf_source.h"

#include <gsf/gsf.h>

#include <vector>

namespace xlsodbc {
namespace {

// A part inflating to more than this many times the size of the whole file is a zip bomb:
// deflate reaches about 1000:1 on a run of one byte, while real workbook parts stay far below
// 100:1 (cell references and values differ from cell to cell).
constexpr uint64_t kMaxExpansion = 250;
// Parts smaller than this are never refused for their ratio: tiny packages of repetitive XML
// may compress well.
constexpr uint64_t kRatioFloor = 64 << 20;

std::vector<std::string> split_path(const std::string& name) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= name.size()) {
    size_t slash = name.find('/', start);
    if (slash == std::string::npos) slash = name.size();
    if (slash > start) parts.push_back(name.substr(start, slash - start));
    start = slash + 1;
  }
  return parts;
}

// The child of `dir` named `name` without regard to case; nullptr when there is none.
GsfInput* child_nocase(GsfInfile* dir, const std::string& name) {
  if (GsfInput* exact = gsf_infile_child_by_name(dir, name.c_str())) return exact;
  int n = gsf_infile_num_children(dir);
  for (int i = 0; i < n; ++i) {
    const char* child = gsf_infile_name_by_index(dir, i);
    if (child && g_ascii_strcasecmp(child, name.c_str()) == 0) return gsf_infile_child_by_index(dir, i);
  }
  return nullptr;
}

// The part `name` of the archive, or nothing.
GRef<GsfInput> find_part(GsfInfile* zip, const std::string& name) {
  std::vector<std::string> path = split_path(name);
  if (path.empty() || !zip) return GRef<GsfInput>();
  GRef<GsfInput> node(GSF_INPUT(g_object_ref(zip)));
  for (const std::string& component : path) {
    if (!GSF_IS_INFILE(node.get())) return GRef<GsfInput>();
    GsfInfile* dir = GSF_INFILE(node.get());
    // A folder of a zip archive is an infile with children; a stored part has none (-1).
    if (gsf_infile_num_children(dir) < 0) return GRef<GsfInput>();
    GsfInput* child = child_nocase(dir, component);
    if (!child) return GRef<GsfInput>();
    node.reset(child);
  }
  if (GSF_IS_INFILE(node.get()) && gsf_infile_num_children(GSF_INFILE(node.get())) >= 0) return GRef<GsfInput>();
  return node;
}

}  // namespace

struct ZipPackage::Archive {
  GRef<GsfInfile> zip;
};

ZipPackage::ZipPackage() = default;
ZipPackage::~ZipPackage() = default;

bool ZipPackage::open(GsfInput* file, std::string& error) {
  init_readers();
  gsf_off_t size = gsf_input_size(file);
  file_size_ = size > 0 ? static_cast<uint64_t>(size) : 0;
  GError* err = nullptr;
  archive_ = std::make_unique<Archive>();
  archive_->zip.reset(gsf_infile_zip_new(file, &err));
  if (!archive_->zip) {
    error = "the workbook is damaged or truncated (" + take_error(err, "its zip directory cannot be read") + ")";
    return false;
  }
  return true;
}

bool ZipPackage::has_part(const std::string& name) const {
  return archive_ && static_cast<bool>(find_part(archive_->zip.get(), name));
}

std::unique_ptr<ByteSource> ZipPackage::open_part(const std::string& name, uint64_t limit, std::string& error) const {
  GRef<GsfInput> part = archive_ ? find_part(archive_->zip.get(), name) : GRef<GsfInput>();
  if (!part) {
    error = "the workbook is damaged: its part '" + name + "' is missing";
    return nullptr;
  }
  auto source = std::make_unique<GsfSource>(std::move(part));
  uint64_t size = source->size();
  bool bomb = size > kRatioFloor && size / kMaxExpansion > file_size_;
  if (size > limit || bomb) {
    error = "the workbook's part '" + name + "' is too large: it expands to " + std::to_string(size) +
            " bytes from a file of " + std::to_string(file_size_) + " (damaged, or made to exhaust memory)";
    return nullptr;
  }
  return source;
}

std::string resolve_part_name(const std::string& source_part, const std::string& target) {
  std::vector<std::string> path;
  if (target.empty() || target[0] != '/') {
    path = split_path(source_part);
    if (!path.empty()) path.pop_back();  // the folder of the source part
  }
  for (const std::string& c : split_path(target)) {
    if (c == ".") continue;
    if (c == "..") {
      if (!path.empty()) path.pop_back();
      continue;
    }
    path.push_back(c);
  }
  std::string out;
  for (const std::string& c : path) out += (out.empty() ? "" : "/") + c;
  return out;
}

std::string relationships_part(const std::string& part) {
  size_t slash = part.rfind('/');
  std::string folder = slash == std::string::npos ? "" : part.substr(0, slash + 1);
  std::string file = slash == std::string::npos ? part : part.substr(slash + 1);
  return folder + "_rels/" + file + ".rels";
}

}  // namespace xlsodbc
