// Runs the fuzz target (fuzz_workbook.cpp) over files, as libFuzzer replays a corpus, for
// builds without libFuzzer: each argument is a file or a folder whose files are all read (not
// its subfolders); a folder that does not exist is passed over.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

static bool run(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", file.c_str());
    return false;
  }
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  return true;
}

int main(int argc, char** argv) {
  int count = 0;
  for (int i = 1; i < argc; ++i) {
    fs::path arg(argv[i]);
    std::error_code ec;
    if (fs::is_directory(arg, ec)) {
      for (const auto& e : fs::directory_iterator(arg)) {
        if (!e.is_regular_file()) continue;
        if (!run(e.path())) return 1;
        ++count;
      }
    } else if (fs::exists(arg, ec)) {
      if (!run(arg)) return 1;
      ++count;
    }
  }
  std::printf("%d inputs read\n", count);
  return count > 0 ? 0 : 1;
}
