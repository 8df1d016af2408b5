// Test helper: .xlsx packages written part by part in memory, for workbooks no writer makes
// (repeated or backslashed part names, values a spreadsheet never writes, damaged parts).
#pragma once

#include <string>
#include <vector>

namespace xlstest {

struct PackagePart {
  std::string name;
  std::string data;
};

// A zip archive of stored entries in the order given, names and repeats kept as they are.
std::string zip_archive(const std::vector<PackagePart>& parts);

// The parts of a workbook of one worksheet, Sheet1: `sheet_data` is the content of its
// <sheetData>, `styles` the whole styles part (none when empty), `strings` the XML of each
// shared string's <si> content (no shared strings part when empty).
std::vector<PackagePart> workbook_parts(const std::string& sheet_data, const std::string& styles = "",
                                        const std::vector<std::string>& strings = {});

// A styles part: `number_formats` the XML of the <numFmt> elements of <numFmts>, `cell_formats`
// the numFmtId of each cell format after the first (General): s="1", s="2", ...; `more`
// comes after <cellXfs> (<dxfs>, <extLst>).
std::string styles_part(const std::string& number_formats, const std::vector<unsigned>& cell_formats,
                        const std::string& more = "");

// Writes `bytes` to a new file in a folder of the test's own; returns its path.
std::string write_temp_file(const std::string& name, const std::string& bytes);

}  // namespace xlstest
