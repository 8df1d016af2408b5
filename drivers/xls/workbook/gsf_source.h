// A byte source over a libgsf input: how the compound-file and zip readers hand their
// streams to the rest of the workbook layer.
#pragma once

#include "byte_source.h"
#include "gsf_ref.h"

namespace xlsodbc {

class GsfSource : public ByteSource {
 public:
  explicit GsfSource(GRef<GsfInput> input) : input_(std::move(input)) {}
  uint64_t size() const override;
  bool read(uint64_t offset, size_t n, uint8_t* out) override;

 private:
  GRef<GsfInput> input_;
};

}  // namespace xlsodbc
