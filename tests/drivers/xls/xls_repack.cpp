// Test helper: rewrites the workbook stream of an .xls file into a new compound file with
// libgsf's writer.
//   --mini      drop the writer's padding so that the stream (< 4096 bytes) lives in the
//               compound file's mini stream
//   --filepass  insert a FILEPASS record (an encrypted workbook)
//   --garble    give a record of the first worksheet a length that runs past the stream
// or wraps a whole .xlsx file the way a password-protected one is stored:
//   --encrypted-package  a compound file with the streams "EncryptionInfo" (an agile
//               encryption header) and "EncryptedPackage" (the package's size, then its
//               bytes: not really encrypted, a reader must stop at the header)
#include <gsf/gsf.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

static bool read_stream(const char* path, std::vector<unsigned char>& out) {
  GError* err = nullptr;
  GsfInput* in = gsf_input_stdio_new(path, &err);
  if (!in) return false;
  GsfInfile* ole = gsf_infile_msole_new(in, &err);
  g_object_unref(in);
  if (!ole) return false;
  GsfInput* s = gsf_infile_child_by_name(ole, "Workbook");
  g_object_unref(ole);
  if (!s) return false;
  out.resize(gsf_input_size(s));
  bool ok = gsf_input_read(s, out.size(), out.data()) != nullptr;
  g_object_unref(s);
  return ok;
}

using Stream = std::pair<const char*, std::vector<unsigned char>>;

static bool write_streams(const char* path, const std::vector<Stream>& streams) {
  GError* err = nullptr;
  GsfOutput* out = gsf_output_stdio_new(path, &err);
  if (!out) return false;
  GsfOutfile* ole = gsf_outfile_msole_new(out);
  for (const Stream& s : streams) {
    GsfOutput* child = gsf_outfile_new_child(ole, s.first, FALSE);
    gsf_output_write(child, s.second.size(), s.second.data());
    gsf_output_close(child);
    g_object_unref(child);
  }
  gsf_output_close(GSF_OUTPUT(ole));
  g_object_unref(ole);
  if (!gsf_output_is_closed(out)) gsf_output_close(out);  // closing the compound file closes it
  g_object_unref(out);
  return true;
}

static int encrypted_package(const char* in, const char* out) {
  std::FILE* f = std::fopen(in, "rb");
  if (!f) return 1;
  std::vector<unsigned char> package(8);
  unsigned char buf[4096];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) package.insert(package.end(), buf, buf + n);
  std::fclose(f);
  uint64_t size = package.size() - 8;
  for (int i = 0; i < 8; ++i) package[i] = static_cast<unsigned char>(size >> (8 * i));
  // Version 4.4, flags 0x40 (agile), then the encryption descriptor's XML.
  std::vector<unsigned char> info = {0x04, 0x00, 0x04, 0x00, 0x40, 0x00, 0x00, 0x00};
  const std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
      "<encryption xmlns=\"http://schemas.microsoft.com/office/2006/encryption\">"
      "<keyData saltSize=\"16\" blockSize=\"16\" keyBits=\"256\" hashSize=\"64\" cipherAlgorithm=\"AES\" "
      "cipherChaining=\"ChainingModeCBC\" hashAlgorithm=\"SHA512\" saltValue=\"AAAAAAAAAAAAAAAAAAAAAA==\"/>"
      "</encryption>";
  info.insert(info.end(), xml.begin(), xml.end());
  return write_streams(out, {{"EncryptionInfo", info}, {"EncryptedPackage", package}}) ? 0 : 1;
}

static unsigned u16(const std::vector<unsigned char>& d, size_t p) { return d[p] | (d[p + 1] << 8); }

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s in.xls out.xls --mini|--filepass|--garble\n"
                         "       %s in.xlsx out.xlsx --encrypted-package\n", argv[0], argv[0]);
    return 2;
  }
  gsf_init();
  std::string mode = argv[3];
  if (mode == "--encrypted-package") return encrypted_package(argv[1], argv[2]);
  std::vector<unsigned char> d;
  if (!read_stream(argv[1], d)) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 1;
  }
  if (mode == "--mini") {
    // The stream ends with the last worksheet's EOF record (0A 00 00 00), then zero padding.
    size_t end = d.size();
    while (end > 0 && d[end - 1] == 0) --end;
    if (end == 0 || d[end - 1] != 0x0A) return 1;
    d.resize(end - 1 + 4);
    if (d.size() >= 4096) {
      std::fprintf(stderr, "stream too large for the mini stream (%zu bytes)\n", d.size());
      return 1;
    }
  } else if (mode == "--filepass") {
    size_t bof_len = u16(d, 2);
    std::vector<unsigned char> rec = {0x2F, 0x00, 54, 0x00, 0x01, 0x00, 0x01, 0x00, 0x01, 0x00};
    rec.resize(4 + 54, 0xA5);
    d.insert(d.begin() + 4 + bof_len, rec.begin(), rec.end());
  } else if (mode == "--garble") {
    // The first BOUNDSHEET record gives the first worksheet's offset.
    size_t p = 0, sheet = 0;
    while (p + 4 <= d.size()) {
      unsigned type = u16(d, p), len = u16(d, p + 2);
      if (type == 0x0085) {
        sheet = d[p + 4] | (d[p + 5] << 8) | (d[p + 6] << 16) | (static_cast<size_t>(d[p + 7]) << 24);
        break;
      }
      p += 4 + len;
    }
    if (!sheet) return 1;
    p = sheet;
    for (int i = 0; i < 12 && p + 4 <= d.size(); ++i) p += 4 + u16(d, p + 2);
    d[p + 2] = 0xF0;
    d[p + 3] = 0xFF;
  } else {
    return 2;
  }
  return write_streams(argv[2], {{"Workbook", d}}) ? 0 : 1;
}
