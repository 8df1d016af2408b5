// Fuzz target over the workbook reader (both formats; the bytes decide which): open the bytes,
// load every worksheet, turn every cell into text. A failure must come with a reason; nothing
// may crash, hang or allocate without bound. Built with libFuzzer by fuzz_xlsx.sh and, as a
// replay of the fixtures, by the normal build (fuzz_replay.cpp).
#include "workbook/workbook_file.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  xlsodbc::Workbook wb;
  std::string error;
  if (!xlsodbc::open_workbook_bytes(data, size, wb, error)) {
    if (error.empty()) std::abort();  // refused without a reason
    return 0;
  }
  xlsodbc::CellText text;
  for (size_t i = 0; i < wb.sheets().size(); ++i) {
    if (wb.sheets()[i].type != xlsodbc::SheetType::Worksheet) continue;
    xlsodbc::Worksheet ws;
    error.clear();
    if (!wb.load_sheet(i, ws, error)) {
      if (error.empty()) std::abort();
      continue;
    }
    for (const xlsodbc::Cell& c : ws.cells) {
      if (!wb.cell_text(ws, c, text)) continue;
      // The length a column is described with is the text's (ODBC clients size their buffers
      // by it).
      size_t characters = 0;
      for (unsigned char b : text.text) characters += (b & 0xC0) != 0x80;
      if (text.length != characters) std::abort();
    }
  }
  return 0;
}
