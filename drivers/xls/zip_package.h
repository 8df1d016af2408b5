// An Office Open XML package (.xlsx, .xlsm): a zip archive whose parts are named by paths
// such as "xl/worksheets/sheet1.xml", read through libgsf.
#pragma once

#include "gsf_ref.h"

#include <string>

namespace xlsodbc {

class ZipPackage {
 public:
  // Opens the zip directory of `file` (takes its own reference). False with a readable
  // reason when the archive is damaged or truncated.
  bool open(GsfInput* file, std::string& error);

  // Whether a part of this name exists (names compare without regard to case, as in the
  // package format).
  bool has_part(const std::string& name) const;

  // The part `name` ready to read from its start, or nothing with a readable reason: missing,
  // or declaring a size no sane workbook part has (a zip bomb is refused before a byte of it
  // is inflated). `limit` is the largest size accepted for this kind of part.
  GRef<GsfInput> open_part(const std::string& name, gsf_off_t limit, std::string& error) const;

  gsf_off_t file_size() const { return file_size_; }

 private:
  GRef<GsfInput> find(const std::string& name) const;

  GRef<GsfInfile> zip_;
  gsf_off_t file_size_ = 0;
};

// Resolves a relationship target against the folder of the part that holds it: "/xl/a.xml"
// is absolute, "worksheets/sheet1.xml" from "xl/workbook.xml" is "xl/worksheets/sheet1.xml",
// ".." climbs. The result has no leading slash.
std::string resolve_part_name(const std::string& source_part, const std::string& target);

// The relationships part of a part: "xl/workbook.xml" -> "xl/_rels/workbook.xml.rels".
std::string relationships_part(const std::string& part);

}  // namespace xlsodbc
