#include "zip_package.h"

#include "gsf_source.h"

#include <gsf/gsf.h>

#include <unordered_map>
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

// The key a part is found by: folders parted by '/' whether the writer used '/' or a backslash,
// no empty steps, ASCII letters in lower case (part names compare without regard to case).
std::string part_key(const std::string& name) {
  std::string key;
  key.reserve(name.size());
  for (char c : name) {
    if (c == '\\') c = '/';
    if (c == '/' && (key.empty() || key.back() == '/')) continue;
    key.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c);
  }
  if (!key.empty() && key.back() == '/') key.pop_back();
  return key;
}

bool is_folder(GsfInput* in) { return GSF_IS_INFILE(in) && gsf_infile_num_children(GSF_INFILE(in)) >= 0; }

}  // namespace

// The archive and where each of its parts lies in libgsf's tree of folders: the child index
// at each level.
struct ZipPackage::Archive {
  GRef<GsfInfile> zip;
  std::unordered_map<std::string, std::vector<int>> parts;

  // Indexes the parts below `dir`; false with the name of a part stored twice.
  bool index(GsfInfile* dir, const std::string& folder, std::vector<int>& at, std::string& twice) {
    int n = gsf_infile_num_children(dir);
    for (int i = 0; i < n; ++i) {
      const char* name = gsf_infile_name_by_index(dir, i);
      GRef<GsfInput> child(gsf_infile_child_by_index(dir, i));
      if (!name || !child) continue;
      at.push_back(i);
      std::string path = folder + name;
      if (is_folder(child.get())) {
        if (!index(GSF_INFILE(child.get()), path + "/", at, twice)) return false;
      } else if (!parts.emplace(part_key(path), at).second) {
        twice = path;
        return false;
      }
      at.pop_back();
    }
    return true;
  }

  GRef<GsfInput> find(const std::string& name) const {
    auto it = parts.find(part_key(name));
    if (it == parts.end()) return GRef<GsfInput>();
    GRef<GsfInput> node(GSF_INPUT(g_object_ref(zip.get())));
    for (int i : it->second) {
      if (!GSF_IS_INFILE(node.get())) return GRef<GsfInput>();
      GsfInput* child = gsf_infile_child_by_index(GSF_INFILE(node.get()), i);
      if (!child) return GRef<GsfInput>();
      node.reset(child);
    }
    return node;
  }
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
  // Two entries of one name: readers differ on which one they take, so the package is
  // ambiguous.
  std::vector<int> at;
  std::string twice;
  if (!archive_->index(archive_->zip.get(), "", at, twice)) {
    error = "the workbook is damaged: its part '" + twice + "' is stored twice";
    return false;
  }
  return true;
}

bool ZipPackage::has_part(const std::string& name) const {
  return archive_ && archive_->parts.count(part_key(name)) > 0;
}

std::unique_ptr<ByteSource> ZipPackage::open_part(const std::string& name, uint64_t limit, std::string& error) const {
  GRef<GsfInput> part = archive_ ? archive_->find(name) : GRef<GsfInput>();
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
