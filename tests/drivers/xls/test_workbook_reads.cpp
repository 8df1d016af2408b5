// The workbook layer on .xlsx packages written here part by part (package_writer.h): values
// read exactly as written, and packages that are ambiguous or damaged refused with a reason
// that names the fault.
#include "package_writer.h"
#include "workbook/workbook.h"
#include "workbook/workbook_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace xlsodbc;
using namespace xlstest;

namespace {

struct ReadCase {
  const char* name;
  std::vector<PackagePart> parts;
  std::vector<std::string> cells;  // the texts of Sheet1's cells in order ("NULL" for none)
  const char* refusal = nullptr;   // a phrase of the reason when the workbook is refused
};

std::ostream& operator<<(std::ostream& o, const ReadCase& k) { return o << k.name; }

// Reads Sheet1 of the package: the text of every cell in order, or the reason of a refusal.
std::vector<std::string> read_sheet(const std::vector<PackagePart>& parts, std::string& error) {
  std::string bytes = zip_archive(parts);
  Workbook wb;
  std::vector<std::string> texts;
  if (!open_workbook_bytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), wb, error)) return texts;
  int sheet = wb.find_sheet("Sheet1");
  if (sheet < 0) {
    error = "no Sheet1";
    return texts;
  }
  Worksheet ws;
  if (!wb.load_sheet(static_cast<size_t>(sheet), ws, error)) return texts;
  for (const Cell& c : ws.cells) {
    CellText t;
    texts.push_back(wb.cell_text(ws, c, t) ? std::string(t.text) : "NULL");
  }
  return texts;
}

class XlsxReads : public ::testing::TestWithParam<ReadCase> {};

TEST_P(XlsxReads, AsWrittenOrRefusedWithTheReason) {
  const ReadCase& k = GetParam();
  std::string error;
  std::vector<std::string> got = read_sheet(k.parts, error);
  if (k.refusal) {
    EXPECT_NE(error.find(k.refusal), std::string::npos) << "reason: '" << error << "'";
  } else {
    EXPECT_EQ(error, "");
    EXPECT_EQ(got, k.cells);
  }
}

std::string case_name(const ::testing::TestParamInfo<ReadCase>& info) { return info.param.name; }

// One cell A1 holding `value` with cell format `s` (0: General).
std::string a1(const std::string& value, unsigned s = 0, const std::string& type = "") {
  return "<row r=\"1\"><c r=\"A1\" s=\"" + std::to_string(s) + "\"" + (type.empty() ? "" : " t=\"" + type + "\"") +
         "><v>" + value + "</v></c></row>";
}

const char kIsoDate[] = "<numFmt numFmtId=\"164\" formatCode=\"yyyy\\-mm\\-dd\"/>";

std::vector<PackagePart> with_parts_renamed(std::vector<PackagePart> parts, char from, char to) {
  for (PackagePart& p : parts)
    for (char& c : p.name)
      if (c == from) c = to;
  return parts;
}

std::vector<PackagePart> with_part_twice(std::vector<PackagePart> parts, const std::string& name, const std::string& data) {
  parts.push_back({name, data});
  return parts;
}

// Elements nested `depth` deep inside a cell's row.
std::string nested(size_t depth) {
  std::string s;
  for (size_t i = 0; i < depth; ++i) s += "<x>";
  for (size_t i = 0; i < depth; ++i) s += "</x>";
  return "<row r=\"1\">" + s + "<c r=\"A1\"><v>1</v></c></row>";
}

INSTANTIATE_TEST_SUITE_P(
    Values, XlsxReads,
    ::testing::Values(
        // Only numFmts/numFmt defines cell formats: a conditional format's (dxf) or an
        // extension's format of the same id leaves the date a date.
        ReadCase{"dxf_format_of_the_same_id",
                 workbook_parts(a1("45000", 1),
                                styles_part(kIsoDate, {164},
                                            "<dxfs count=\"1\"><dxf><numFmt numFmtId=\"164\" formatCode=\"0.00\"/></dxf></dxfs>")),
                 {"2023-03-15"}},
        ReadCase{"extension_format_of_the_same_id",
                 workbook_parts(a1("45000", 1),
                                styles_part(kIsoDate, {164},
                                            "<extLst><ext uri=\"x\"><numFmts><numFmt numFmtId=\"164\" formatCode=\"0\"/>"
                                            "</numFmts><cellXfs><xf numFmtId=\"0\"/></cellXfs></ext></extLst>")),
                 {"2023-03-15"}},
        // A time 0.5 microseconds short of the half second stays in its second.
        ReadCase{"time_rounded_once", workbook_parts(a1("40293.57903356481", 1), styles_part("", {22})),
                 {"2010-04-25 13:53:48"}},
        // Style 65535 is a style index like any other: no date without a date format.
        ReadCase{"style_65535", workbook_parts(a1("45000", 65535), styles_part("", {})), {"45000"}},
        // ISO 8601 date cells (t="d"): checked, and an empty one is no value.
        ReadCase{"iso_dates", workbook_parts("<row r=\"1\"><c r=\"A1\" t=\"d\"><v>2024-05-01T13:05:00</v></c>"
                                             "<c r=\"B1\" t=\"d\"><v></v></c><c r=\"C1\" t=\"d\"/>"
                                             "<c r=\"D1\" t=\"d\"><v>2024-02-29</v></c></row>"),
                 {"2024-05-01 13:05:00", "2024-02-29"}},
        ReadCase{"iso_time_out_of_range", workbook_parts(a1("2024-05-01T25:99:00", 0, "d")), {}, "where a date belongs"},
        ReadCase{"iso_date_out_of_range", workbook_parts(a1("2023-02-29", 0, "d")), {}, "where a date belongs"},
        ReadCase{"iso_date_trailing_text", workbook_parts(a1("2024-05-01xyz", 0, "d")), {}, "where a date belongs"},
        // Excel never writes inf or nan: such a value is damage, not a number.
        ReadCase{"value_inf", workbook_parts(a1("inf")), {}, "where a number belongs"},
        ReadCase{"value_nan", workbook_parts(a1("nan")), {}, "where a number belongs"},
        ReadCase{"value_minus_infinity", workbook_parts(a1("-Infinity")), {}, "where a number belongs"},
        // Part names written with backslashes are the same names.
        ReadCase{"backslashed_part_names", with_parts_renamed(workbook_parts(a1("7")), '/', '\\'), {"7"}},
        // Two entries of one name: which one is meant cannot be told.
        ReadCase{"part_twice",
                 with_part_twice(workbook_parts(a1("1")), "xl/worksheets/sheet1.xml", "<worksheet/>"), {},
                 "xl/worksheets/sheet1.xml"},
        ReadCase{"part_twice_other_case",
                 with_part_twice(workbook_parts(a1("1")), "XL/Worksheets/Sheet1.xml", "<worksheet/>"), {},
                 "stored twice"},
        // Nesting far beyond any real part is refused, not followed.
        ReadCase{"nested_deep", workbook_parts(nested(100000)), {}, "nested"},
        ReadCase{"nested_some", workbook_parts(nested(50)), {"1"}},
        // A namespace prefix nobody declared makes the part malformed, whatever else it holds.
        ReadCase{"undeclared_prefix", workbook_parts("<x:row/>" + a1("1")), {}, "malformed XML"},
        ReadCase{"declared_prefix",
                 workbook_parts("<x:row xmlns:x=\"urn:x\" x:a=\"1\"/>" + a1("1")), {"1"}}),
    case_name);

}  // namespace
