#include "workbook.h"

#include "biff_records.h"
#include "charset.h"
#include "huge_pages.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>

namespace xlsodbc {
namespace {

std::string damaged(const Record& r, const char* what) {
  return std::string("the workbook is damaged: ") + what + " (record 0x" +
         [&] { char b[8]; snprintf(b, sizeof b, "%04X", r.type); return std::string(b); }() +
         " at offset " + std::to_string(r.offset) + ")";
}

// The number of cells the records of a worksheet (from its BOF) give at most, so that the cells
// are stored in one allocation of the right size: a vector grown by doubling takes twice the
// memory at its peak and copies every cell again at each step.
size_t count_cells(const std::vector<uint8_t>& stream, size_t offset) {
  RecordReader rr(stream.data(), stream.size(), offset);
  Record r;
  size_t n = 0;
  int depth = 0;
  while (rr.next(r)) {
    if (rec::is_bof(r.type)) { ++depth; continue; }
    if (r.type == rec::kEof) { if (--depth <= 0) break; continue; }
    if (depth != 1) continue;
    switch (r.type) {
      case rec::kNumber: case rec::kRk: case rec::kLabelSst: case rec::kLabel: case rec::kRString:
      case rec::kBoolErr: case rec::kFormula: case rec::kFormula4:
        ++n;
        break;
      case rec::kMulRk:
        if (r.size >= 6) n += (r.size - 6) / 6;
        break;
      default:
        break;
    }
  }
  return n;
}

}  // namespace

bool Workbook::open(std::vector<uint8_t> stream, std::string& error) {
  clear();
  stream_ = std::move(stream);
  RecordReader rr(stream_.data(), stream_.size());
  Record r;
  if (!rr.next(r) || !rec::is_bof(r.type)) {
    error = "the workbook stream does not start with a BOF record (damaged or not a workbook)";
    return false;
  }
  if (r.type != rec::kBof || r.size < 4) {
    error = "it is an Excel 2.x-4.x file; only Excel 97-2003 (and 5.0/95) workbooks can be read";
    return false;
  }
  uint16_t vers = get_u16(r.data), dt = get_u16(r.data + 2);
  biff_ = vers == 0x0500 ? 5 : 8;
  if (dt != 0x0005) {
    error = "the workbook stream does not start with the workbook globals (damaged)";
    return false;
  }
  code_page_ = biff_ == 8 ? 1200 : 1252;
  CodePageDecoder cp;
  std::map<unsigned, std::string> formats;
  std::vector<unsigned> xf_formats;
  bool eof = false;
  while (!eof && rr.next(r)) {
    switch (r.type) {
      case rec::kFilePass:
        error = "the workbook is protected with a password (encrypted); open it in Excel, "
                "remove the password and save it again";
        return false;
      case rec::kCodePage:
        if (r.size >= 2) {
          code_page_ = get_u16(r.data);
          cp.set_code_page(code_page_);
        }
        break;
      case rec::kDateMode:
        if (r.size >= 2) date1904_ = get_u16(r.data) != 0;
        break;
      case rec::kBoundSheet: {
        if (r.size < 6) { error = damaged(r, "short sheet entry"); return false; }
        SheetEntry e;
        e.offset = get_u32(r.data);
        e.type = static_cast<SheetType>(r.data[5]);
        ContinuedReader cr(rr, r);
        bool ok = cr.skip(6) && (biff_ == 8 ? cr.short_unicode_string(e.name)
                                            : cr.byte_string(false, cp, e.name));
        if (!ok) { error = damaged(r, "bad sheet name"); return false; }
        sheets_.push_back(std::move(e));
        break;
      }
      case rec::kFormat: {
        if (r.size < 3) break;
        uint16_t ifmt = get_u16(r.data);
        std::string text;
        ContinuedReader cr(rr, r);
        bool ok = cr.skip(2) && (biff_ == 8 ? cr.unicode_string(text) : cr.byte_string(false, cp, text));
        if (ok) formats[ifmt] = std::move(text);
        break;
      }
      case rec::kXf:
        xf_formats.push_back(r.size >= 4 ? get_u16(r.data + 2) : 0);
        break;
      case rec::kSst: {
        if (r.size < 8) { error = damaged(r, "short shared string table"); return false; }
        uint32_t unique = get_u32(r.data + 4);
        ContinuedReader cr(rr, r);
        cr.skip(8);
        sst_.reserve(std::min<size_t>(unique, stream_.size() / 3), stream_.size());
        for (uint32_t i = 0; i < unique; ++i) {
          std::string s;
          if (!cr.unicode_string(s)) {
            if (rr.truncated()) { error = "the workbook is damaged or truncated (shared string table)"; return false; }
            break;  // fewer strings than announced: keep those read
          }
          sst_.add(s);
        }
        break;
      }
      case rec::kEof:
        eof = true;
        break;
      default:
        break;
    }
  }
  if (!eof) {
    error = "the workbook is damaged or truncated (the workbook globals have no end)";
    return false;
  }
  classify_cell_formats(formats, xf_formats);
  return true;
}

bool Workbook::load_biff_sheet(const SheetEntry& entry, Worksheet& ws, std::string& error) const {
  RecordReader rr(stream_.data(), stream_.size(), entry.offset);
  Record r;
  if (entry.offset >= stream_.size() || !rr.next(r) || !rec::is_bof(r.type)) {
    error = "the workbook is damaged: worksheet '" + entry.name + "' does not start where the workbook says";
    return false;
  }
  CodePageDecoder cp;
  cp.set_code_page(code_page_);
  std::vector<Cell>& cells = ws.cells;
  cells.reserve(count_cells(stream_, entry.offset));
  prefer_huge_pages(cells.data(), cells.capacity() * sizeof(Cell));
  size_t pending_string = SIZE_MAX;  // formula cell waiting for its STRING record
  int depth = 1;
  bool eof = false;
  auto add = [&](uint16_t row, uint16_t col, uint16_t xf, uint8_t type) -> Cell& {
    cells.emplace_back();
    Cell& c = cells.back();
    c.row = row;
    c.col = col;
    c.xf = xf;
    c.type = type;
    c.number = 0;
    return c;
  };
  const bool b8 = biff_ == 8;
  while (!eof && rr.next(r)) {
    if (rec::is_bof(r.type)) { ++depth; continue; }
    if (r.type == rec::kEof) { if (--depth == 0) eof = true; continue; }
    if (depth != 1) continue;
    const uint8_t* d = r.data;
    switch (r.type) {
      case rec::kNumber:
        if (r.size >= 14) add(get_u16(d), get_u16(d + 2), get_u16(d + 4), Cell::Number).number = get_f64(d + 6);
        break;
      case rec::kRk:
        if (r.size >= 10) add(get_u16(d), get_u16(d + 2), get_u16(d + 4), Cell::Number).number = decode_rk(get_u32(d + 6));
        break;
      case rec::kMulRk: {
        if (r.size < 6) break;
        uint16_t row = get_u16(d), col = get_u16(d + 2);
        size_t n = (r.size - 6) / 6;
        for (size_t i = 0; i < n; ++i) {
          const uint8_t* p = d + 4 + 6 * i;
          add(row, static_cast<uint16_t>(col + i), get_u16(p), Cell::Number).number = decode_rk(get_u32(p + 2));
        }
        break;
      }
      case rec::kLabelSst:
        if (r.size >= 10) {
          uint32_t isst = get_u32(d + 6);
          if (isst < sst_.size() && !sst_.at(isst).empty())
            add(get_u16(d), get_u16(d + 2), get_u16(d + 4), Cell::SharedText).index = isst;
        }
        break;
      case rec::kLabel:
      case rec::kRString: {
        if (r.size < 8) break;
        uint16_t row = get_u16(d), col = get_u16(d + 2), xf = get_u16(d + 4);
        std::string text;
        ContinuedReader cr(rr, r);
        bool ok = cr.skip(6) && (b8 ? cr.unicode_string(text) : cr.byte_string(true, cp, text));
        if (ok && !text.empty()) {
          add(row, col, xf, Cell::OwnText).index = static_cast<uint32_t>(ws.texts.size());
          ws.texts.push_back(std::move(text));
        }
        break;
      }
      case rec::kBoolErr:
        if (r.size >= 8) {
          bool is_error = d[7] != 0;
          add(get_u16(d), get_u16(d + 2), get_u16(d + 4), is_error ? Cell::Error : Cell::Boolean).number = d[6] ? 1 : 0;
        }
        break;
      case rec::kFormula:
      case rec::kFormula4: {
        if (r.size < 20) break;
        uint16_t row = get_u16(d), col = get_u16(d + 2), xf = get_u16(d + 4);
        const uint8_t* res = d + 6;
        if (get_u16(res + 6) != 0xFFFF) {
          add(row, col, xf, Cell::Number).number = get_f64(res);
        } else if (res[0] == 0) {  // text: the STRING record follows
          add(row, col, xf, Cell::Empty);
          pending_string = cells.size() - 1;
          continue;
        } else if (res[0] == 1) {
          add(row, col, xf, Cell::Boolean).number = res[2] ? 1 : 0;
        } else if (res[0] == 2) {
          add(row, col, xf, Cell::Error);
        }  // 3: empty text
        break;
      }
      case rec::kString: {
        if (pending_string == SIZE_MAX) break;
        std::string text;
        ContinuedReader cr(rr, r);
        bool ok = b8 ? cr.unicode_string(text) : cr.byte_string(true, cp, text);
        if (ok && !text.empty()) {
          Cell& c = cells[pending_string];
          c.type = Cell::OwnText;
          c.index = static_cast<uint32_t>(ws.texts.size());
          ws.texts.push_back(std::move(text));
        }
        break;
      }
      case rec::kFilePass:
        error = "the workbook is protected with a password (encrypted)";
        return false;
      default:
        continue;  // keeps a pending formula text across SHRFMLA / ARRAY / TABLE
    }
    pending_string = SIZE_MAX;
  }
  if (!eof) {
    error = "the workbook is damaged or truncated (worksheet '" + entry.name + "' has no end)";
    return false;
  }

  // Cells beyond the 256 columns of an .xls worksheet are not part of it.
  ws.finish(kMaxBiffCols);
  return true;
}

}  // namespace xlsodbc
