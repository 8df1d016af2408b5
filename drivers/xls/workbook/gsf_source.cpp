#include "gsf_source.h"

namespace xlsodbc {

uint64_t GsfSource::size() const {
  gsf_off_t n = gsf_input_size(input_.get());
  return n > 0 ? static_cast<uint64_t>(n) : 0;
}

bool GsfSource::read(uint64_t offset, size_t n, uint8_t* out) {
  if (offset > size() || n > size() - offset) return false;
  if (n == 0) return true;
  GsfInput* in = input_.get();
  // gsf_input_seek() returns TRUE on failure. A zip part seeks backward by inflating again
  // from its start, so the readers read forward.
  if (gsf_input_tell(in) != static_cast<gsf_off_t>(offset) &&
      gsf_input_seek(in, static_cast<gsf_off_t>(offset), G_SEEK_SET))
    return false;
  return gsf_input_read(in, n, out) != nullptr;
}

}  // namespace xlsodbc
