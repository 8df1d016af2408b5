// libFuzzer's custom mutator for the workbook fuzz target: a zip input is unpacked with
// libgsf, one of its parts mutated and the package written again (parts stored, CRCs right),
// so that mutations reach the XML readers instead of stopping at the zip's own checks. Other
// inputs, and one mutation in four, are mutated as raw bytes (the zip and compound-file
// structure).
#include <gsf/gsf.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <vector>

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t max_size);

namespace {

struct Part {
  std::string name;  // full path in the package
  std::vector<uint8_t> bytes;
};

void collect(GsfInfile* dir, const std::string& prefix, std::vector<Part>& out) {
  for (int i = 0; i < gsf_infile_num_children(dir); ++i) {
    GsfInput* child = gsf_infile_child_by_index(dir, i);
    if (!child) continue;
    std::string name = prefix + gsf_infile_name_by_index(dir, i);
    if (GSF_IS_INFILE(child) && gsf_infile_num_children(GSF_INFILE(child)) >= 0) {
      collect(GSF_INFILE(child), name + "/", out);
    } else if (gsf_input_size(child) <= (1 << 20)) {  // the size is what the zip declares
      Part p{name, std::vector<uint8_t>(static_cast<size_t>(gsf_input_size(child)))};
      if (gsf_input_read(child, p.bytes.size(), p.bytes.data())) out.push_back(std::move(p));
    }
    g_object_unref(child);
  }
}

bool unpack(const uint8_t* data, size_t size, std::vector<Part>& parts) {
  GsfInput* mem = gsf_input_memory_new(data, static_cast<gsf_off_t>(size), FALSE);
  GError* err = nullptr;
  GsfInfile* zip = gsf_infile_zip_new(mem, &err);
  g_object_unref(mem);
  if (err) g_error_free(err);
  if (!zip) return false;
  collect(zip, "", parts);
  g_object_unref(zip);
  return !parts.empty();
}

bool pack(const std::vector<Part>& parts, std::vector<uint8_t>& out) {
  GsfOutput* mem = gsf_output_memory_new();
  GError* err = nullptr;
  GsfOutfile* zip = gsf_outfile_zip_new(mem, &err);
  if (err) g_error_free(err);
  if (!zip) {
    g_object_unref(mem);
    return false;
  }
  std::map<std::string, GsfOutfile*> dirs{{"", zip}};
  for (const Part& p : parts) {
    // The folders on the way, each created once.
    GsfOutfile* dir = zip;
    size_t start = 0;
    for (size_t slash; (slash = p.name.find('/', start)) != std::string::npos; start = slash + 1) {
      std::string path = p.name.substr(0, slash);
      auto it = dirs.find(path);
      if (it == dirs.end()) {
        GsfOutput* d = gsf_outfile_new_child(dir, p.name.substr(start, slash - start).c_str(), TRUE);
        it = dirs.emplace(path, GSF_OUTFILE(d)).first;
      }
      dir = it->second;
    }
    GsfOutput* child = gsf_outfile_new_child_full(dir, p.name.c_str() + start, FALSE, "compression-level",
                                                  GSF_ZIP_STORED, nullptr);
    gsf_output_write(child, p.bytes.size(), p.bytes.data());
    gsf_output_close(child);
    g_object_unref(child);
  }
  for (auto it = dirs.rbegin(); it != dirs.rend(); ++it) {
    gsf_output_close(GSF_OUTPUT(it->second));
    if (it->second != zip) g_object_unref(it->second);
  }
  g_object_unref(zip);
  const guint8* bytes = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(mem));
  out.assign(bytes, bytes + gsf_output_size(mem));
  g_object_unref(mem);
  return true;
}

}  // namespace

// libgsf warns on stderr about every damaged input it meets: thousands a second.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_log_set_default_handler([](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
  return 0;
}

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t max_size, unsigned int seed) {
  static std::once_flag once;
  std::call_once(once, [] { gsf_init(); });
  std::minstd_rand rng(seed);
  std::vector<Part> parts;
  if (rng() % 4 == 0 || !unpack(data, size, parts)) return LLVMFuzzerMutate(data, size, max_size);
  Part& p = parts[rng() % parts.size()];
  size_t used = p.bytes.size();
  p.bytes.resize(used + 256);
  p.bytes.resize(LLVMFuzzerMutate(p.bytes.data(), used, p.bytes.size()));
  std::vector<uint8_t> packed;
  if (!pack(parts, packed) || packed.size() > max_size) return LLVMFuzzerMutate(data, size, max_size);
  std::memcpy(data, packed.data(), packed.size());
  return packed.size();
}
