// The floor of bench/xls_read: the least any .xls reader must do with the benchmark's file.
// Opens the compound file with libgsf, reads the Workbook stream whole and steps over every
// BIFF record (type and length, no content looked at). Prints elapsed and processor seconds,
// records and peak memory.
//
//   walk_records WORKBOOK
#include <gsf/gsf.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdint>
#include <ctime>
#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: walk_records WORKBOOK\n");
    return 2;
  }
  auto start = std::chrono::steady_clock::now();
  std::clock_t cpu_start = std::clock();   // processor time of the process, user and system
  gsf_init();
  GError* error = nullptr;
  GsfInput* file = gsf_input_stdio_new(argv[1], &error);
  GsfInfile* ole = file ? gsf_infile_msole_new(file, &error) : nullptr;
  GsfInput* stream = ole ? gsf_infile_child_by_name(ole, "Workbook") : nullptr;
  if (!stream) {
    std::fprintf(stderr, "walk_records: %s has no Workbook stream (%s)\n", argv[1], error ? error->message : "");
    return 1;
  }
  std::vector<uint8_t> bytes(static_cast<size_t>(gsf_input_size(stream)));
  if (!gsf_input_read(stream, bytes.size(), bytes.data())) {
    std::fprintf(stderr, "walk_records: the Workbook stream cannot be read\n");
    return 1;
  }
  long records = 0;
  unsigned types = 0;   // folds every type in, so the walk cannot be left out
  for (size_t at = 0; at + 4 <= bytes.size(); ++records) {
    types ^= bytes[at] | bytes[at + 1] << 8;
    at += 4 + (bytes[at + 2] | static_cast<size_t>(bytes[at + 3]) << 8);
  }
  g_object_unref(stream);
  g_object_unref(ole);
  g_object_unref(file);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  double cpu = static_cast<double>(std::clock() - cpu_start) / CLOCKS_PER_SEC;
  rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  std::printf("floor:  %.3f s (cpu %.3f s), %ld records (types folded %04x), peak RSS %.1f MB\n", seconds, cpu, records,
              types & 0xFFFF, usage.ru_maxrss / 1024.0);
  return 0;
}
