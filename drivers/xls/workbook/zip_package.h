// An Office Open XML package (.xlsx, .xlsm): a zip archive whose parts are named by paths
// such as "xl/worksheets/sheet1.xml". libgsf reads the archive; its parts reach the readers
// as byte sources.
#pragma once

#include "byte_source.h"

#include <memory>
#include <string>

typedef struct _GsfInput GsfInput;  // libgsf's input, as gsf-fwd.h names it

namespace xlsodbc {

class ZipPackage {
 public:
  ZipPackage();
  ~ZipPackage();
  ZipPackage(const ZipPackage&) = delete;
  ZipPackage& operator=(const ZipPackage&) = delete;

  // Opens the zip directory of `file` (takes its own reference). False with a readable
  // reason when the archive is damaged or truncated.
  bool open(GsfInput* file, std::string& error);

  // Whether a part of this name exists (names compare without regard to case, as in the
  // package format).
  bool has_part(const std::string& name) const;

  // The part `name` ready to read, or nothing with a readable reason: missing, or declaring
  // a size no sane workbook part has (a zip bomb is refused before a byte of it is inflated).
  // `limit` is the largest size accepted for this kind of part.
  std::unique_ptr<ByteSource> open_part(const std::string& name, uint64_t limit, std::string& error) const;

  uint64_t file_size() const { return file_size_; }

 private:
  struct Archive;
  std::unique_ptr<Archive> archive_;
  uint64_t file_size_ = 0;
};

// Resolves a relationship target against the folder of the part that holds it: "/xl/a.xml"
// is absolute, "worksheets/sheet1.xml" from "xl/workbook.xml" is "xl/worksheets/sheet1.xml",
// ".." climbs. The result has no leading slash.
std::string resolve_part_name(const std::string& source_part, const std::string& target);

// The relationships part of a part: "xl/workbook.xml" -> "xl/_rels/workbook.xml.rels".
std::string relationships_part(const std::string& part);

}  // namespace xlsodbc
