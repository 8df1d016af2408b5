#include "package_writer.h"

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

namespace xlstest {
namespace {

const char kMain[] = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const char kRel[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const char kPkgRel[] = "http://schemas.openxmlformats.org/package/2006/relationships";
const char kHead[] = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";

void put16(std::string& s, unsigned v) {
  s.push_back(static_cast<char>(v & 0xFF));
  s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void put32(std::string& s, uint32_t v) {
  put16(s, v & 0xFFFF);
  put16(s, v >> 16);
}

}  // namespace

std::string zip_archive(const std::vector<PackagePart>& parts) {
  std::string out, directory;
  for (const PackagePart& p : parts) {
    uint32_t crc = static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(p.data.data()), static_cast<uInt>(p.data.size())));
    uint32_t offset = static_cast<uint32_t>(out.size());
    auto header = [&](std::string& s, bool central) {
      put32(s, central ? 0x02014b50 : 0x04034b50);
      if (central) put16(s, 20);  // made by
      put16(s, 20);               // version needed
      put16(s, 0);                // flags
      put16(s, 0);                // stored
      put16(s, 0);                // time
      put16(s, 0x21);             // date: 1980-01-01
      put32(s, crc);
      put32(s, static_cast<uint32_t>(p.data.size()));
      put32(s, static_cast<uint32_t>(p.data.size()));
      put16(s, static_cast<unsigned>(p.name.size()));
      put16(s, 0);  // extra
      if (central) {
        put16(s, 0);  // comment
        put16(s, 0);  // disk
        put16(s, 0);  // internal attributes
        put32(s, 0);  // external attributes
        put32(s, offset);
      }
      s += p.name;
    };
    header(out, false);
    out += p.data;
    header(directory, true);
  }
  uint32_t at = static_cast<uint32_t>(out.size());
  out += directory;
  put32(out, 0x06054b50);
  put16(out, 0);
  put16(out, 0);
  put16(out, static_cast<unsigned>(parts.size()));
  put16(out, static_cast<unsigned>(parts.size()));
  put32(out, static_cast<uint32_t>(directory.size()));
  put32(out, at);
  put16(out, 0);
  return out;
}

std::vector<PackagePart> workbook_parts(const std::string& sheet_data, const std::string& styles,
                                        const std::vector<std::string>& strings) {
  std::string types = std::string(kHead) +
      "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
      "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
      "<Default Extension=\"xml\" ContentType=\"application/xml\"/></Types>";
  std::string package_rels = std::string(kHead) + "<Relationships xmlns=\"" + kPkgRel + "\">" +
      "<Relationship Id=\"rId1\" Type=\"" + kRel + "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>";
  std::string workbook = std::string(kHead) + "<workbook xmlns=\"" + kMain + "\" xmlns:r=\"" + kRel + "\">" +
      "<sheets><sheet name=\"Sheet1\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>";
  std::string rels = std::string(kHead) + "<Relationships xmlns=\"" + kPkgRel + "\">" +
      "<Relationship Id=\"rId1\" Type=\"" + kRel + "/worksheet\" Target=\"worksheets/sheet1.xml\"/>";
  if (!styles.empty()) rels += std::string("<Relationship Id=\"rId2\" Type=\"") + kRel + "/styles\" Target=\"styles.xml\"/>";
  if (!strings.empty())
    rels += std::string("<Relationship Id=\"rId3\" Type=\"") + kRel + "/sharedStrings\" Target=\"sharedStrings.xml\"/>";
  rels += "</Relationships>";
  std::string sheet = std::string(kHead) + "<worksheet xmlns=\"" + kMain + "\" xmlns:r=\"" + kRel + "\"><sheetData>" +
      sheet_data + "</sheetData></worksheet>";
  std::vector<PackagePart> parts = {{"[Content_Types].xml", types},
                                    {"_rels/.rels", package_rels},
                                    {"xl/workbook.xml", workbook},
                                    {"xl/_rels/workbook.xml.rels", rels},
                                    {"xl/worksheets/sheet1.xml", sheet}};
  if (!styles.empty()) parts.push_back({"xl/styles.xml", styles});
  if (!strings.empty()) {
    std::string sst = std::string(kHead) + "<sst xmlns=\"" + kMain + "\">";
    for (const std::string& s : strings) sst += "<si>" + s + "</si>";
    parts.push_back({"xl/sharedStrings.xml", sst + "</sst>"});
  }
  return parts;
}

std::string styles_part(const std::string& number_formats, const std::vector<unsigned>& cell_formats,
                        const std::string& more) {
  std::string xfs = "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>";
  for (unsigned id : cell_formats)
    xfs += "<xf numFmtId=\"" + std::to_string(id) + "\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\"/>";
  return std::string(kHead) + "<styleSheet xmlns=\"" + kMain + "\">" +
         (number_formats.empty() ? "" : "<numFmts>" + number_formats + "</numFmts>") +
         "<fonts count=\"1\"><font><sz val=\"11\"/></font></fonts>"
         "<fills count=\"1\"><fill><patternFill patternType=\"none\"/></fill></fills>"
         "<borders count=\"1\"><border/></borders>"
         "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
         "<cellXfs>" + xfs + "</cellXfs>" + more + "</styleSheet>";
}

std::string write_temp_file(const std::string& name, const std::string& bytes) {
  static std::string folder = [] {
    std::string templ = (std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + std::string("/xlstest.XXXXXX");
    if (!mkdtemp(templ.data())) throw std::runtime_error("cannot make a temporary folder");
    return templ;
  }();
  std::string path = folder + "/" + name;
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

}  // namespace xlstest
