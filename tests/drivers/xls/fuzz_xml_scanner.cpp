// Differential fuzzing of the worksheet scanner: for any input, when the scanner reads it
// (whole or in pieces of a size the input chooses), libxml2 must find it well formed and
// report the same elements, attributes and text. Built by fuzz_xlsx.sh with libFuzzer.
#include "xml_event_log.h"

#include <cstdint>
#include <cstdlib>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t piece = data[0] % 16;  // 0: whole
  const std::string doc(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::vector<std::string> scanned, reference;
  if (!xlstest::read_with_scanner(doc, piece, scanned)) return 0;
  bool well_formed = xlstest::read_with_libxml2(doc, reference);
  if (!well_formed || scanned != reference) {
    std::fprintf(stderr, "the scanner and libxml2 disagree (libxml2 %s it)\n", well_formed ? "reads" : "refuses");
    for (const auto& l : scanned) std::fprintf(stderr, "  scanner: %s\n", l.c_str());
    for (const auto& l : reference) std::fprintf(stderr, "  libxml2: %s\n", l.c_str());
    std::abort();
  }
  return 0;
}
