// How large the parts of an .xlsx package and the texts in them may be: far beyond any real
// workbook, so that a damaged or hostile one cannot take the machine's memory.
#pragma once

#include <cstddef>
#include <cstdint>

namespace xlsodbc {

// The largest part accepted: a worksheet of a million rows of ten columns is about 0.5 GB of
// XML; the other parts are far smaller.
constexpr uint64_t kMaxSheetPart = uint64_t(8) << 30;
constexpr uint64_t kMaxOtherPart = uint64_t(1) << 30;

// The longest text of one cell or shared string accepted. A cell holds at most 32,767
// characters; anything far beyond is a damaged or hostile part, not text to keep in memory.
constexpr size_t kMaxCellText = 16u << 20;

}  // namespace xlsodbc
