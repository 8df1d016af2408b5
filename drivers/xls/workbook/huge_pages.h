#pragma once

#include <cstddef>

namespace xlsodbc {

// Asks the kernel to back the whole 2 MB pages inside [data, data + bytes) with huge pages
// when they are first touched. The workbook's big buffers (its stream, a worksheet's cells)
// are filled once from start to end: with 4 KB pages a large workbook spends about a third
// of its reading time in page faults. Call it on memory that is not touched yet; it only
// advises, so memory that is already in use or a system without the advice is left as it is.
// The pages at either end that the range only partly covers keep their size, so the memory
// used does not grow.
void prefer_huge_pages(void* data, size_t bytes);

}  // namespace xlsodbc
