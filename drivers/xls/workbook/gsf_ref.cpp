#include "gsf_ref.h"

#include <libxml/parser.h>

#include <mutex>

namespace xlsodbc {

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

}  // namespace xlsodbc
