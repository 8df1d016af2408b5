// The bytes the readers read: a whole file, or one part of a package as it inflates. The
// readers know only this; which library supplies the bytes stays behind it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace xlsodbc {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual uint64_t size() const = 0;
  // Reads `n` bytes at `offset` into `out`. False when they cannot all be read (past the end,
  // damaged, cannot be inflated). Reading forward from where the last read stopped is the
  // fast case.
  virtual bool read(uint64_t offset, size_t n, uint8_t* out) = 0;
};

}  // namespace xlsodbc
