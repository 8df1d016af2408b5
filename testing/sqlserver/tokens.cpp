#include "tokens.h"

#include "text.h"

namespace standin {

namespace {
// The token types this writer sends.
constexpr uint8_t kEnvChangeToken = 0xE3;
constexpr uint8_t kLoginAckToken = 0xAD;
constexpr uint8_t kInfoToken = 0xAB;
constexpr uint8_t kErrorToken = 0xAA;
constexpr uint8_t kColMetadataToken = 0x81;
constexpr uint8_t kRowToken = 0xD1;
constexpr uint8_t kDoneToken = 0xFD;

const char* const kServerName = "STANDIN";
constexpr uint16_t kMaxInlineChars = 4000;  // nvarchar(4000); longer values go as nvarchar(max)
}  // namespace

void TokenWriter::u16(uint16_t v) {
  u8(v & 0xFF);
  u8(v >> 8);
}

void TokenWriter::u32(uint32_t v) {
  u16(v & 0xFFFF);
  u16(v >> 16);
}

void TokenWriter::u64(uint64_t v) {
  u32(v & 0xFFFFFFFF);
  u32(v >> 32);
}

void TokenWriter::b_varchar(const std::string& utf8) {
  std::string w = utf8_to_utf16le(utf8);
  if (w.size() > 510) w.resize(510);
  u8(static_cast<uint8_t>(w.size() / 2));
  out_ += w;
}

void TokenWriter::us_varchar(const std::string& utf8) {
  std::string w = utf8_to_utf16le(utf8);
  if (w.size() > 131070) w.resize(131070);
  u16(static_cast<uint16_t>(w.size() / 2));
  out_ += w;
}

void TokenWriter::collation() {
  // Chinese_PRC_CI_AS: LCID 0x0804, ignore case, kana and width; sort id 0.
  u8(0x04);
  u8(0x08);
  u8(0xD0);
  u8(0x00);
  u8(0x00);
}

void TokenWriter::env_change(uint8_t type, const std::string& body) {
  u8(kEnvChangeToken);
  u16(static_cast<uint16_t>(body.size() + 1));
  u8(type);
  out_ += body;
}

void TokenWriter::env_database(const std::string& now, const std::string& before) {
  TokenWriter body(tds_version_);
  body.b_varchar(now);
  body.b_varchar(before);
  env_change(1, body.out_);
}

void TokenWriter::env_language(const std::string& now) {
  TokenWriter body(tds_version_);
  body.b_varchar(now);
  body.b_varchar("");
  env_change(2, body.out_);
}

void TokenWriter::env_collation() {
  TokenWriter body(tds_version_);
  body.u8(5);
  body.collation();
  body.u8(0);
  env_change(7, body.out_);
}

void TokenWriter::env_packet_size(uint32_t now, uint32_t before) {
  TokenWriter body(tds_version_);
  body.b_varchar(std::to_string(now));
  body.b_varchar(std::to_string(before));
  env_change(4, body.out_);
}

void TokenWriter::login_ack(const std::string& program) {
  TokenWriter body(tds_version_);
  body.u8(1);  // SQL_TSQL
  body.u8(tds_version_ >> 24);
  body.u8((tds_version_ >> 16) & 0xFF);
  body.u8((tds_version_ >> 8) & 0xFF);
  body.u8(tds_version_ & 0xFF);
  body.b_varchar(program);
  body.u8(10);  // version 10.50.1600 (SQL Server 2008 R2 numbering)
  body.u8(50);
  body.u8(0x06);
  body.u8(0x40);
  u8(kLoginAckToken);
  u16(static_cast<uint16_t>(body.out_.size()));
  out_ += body.out_;
}

void TokenWriter::message(uint8_t token, int number, int state, int severity,
                          const std::string& text) {
  TokenWriter body(tds_version_);
  body.u32(static_cast<uint32_t>(number));
  body.u8(static_cast<uint8_t>(state));
  body.u8(static_cast<uint8_t>(severity));
  body.us_varchar(text);
  body.b_varchar(kServerName);
  body.b_varchar("");
  if (modern())
    body.u32(1);
  else
    body.u16(1);
  u8(token);
  u16(static_cast<uint16_t>(body.out_.size()));
  out_ += body.out_;
}

void TokenWriter::info(int number, int state, int severity, const std::string& text) {
  message(kInfoToken, number, state, severity, text);
}

void TokenWriter::error(int number, int state, int severity, const std::string& text) {
  message(kErrorToken, number, state, severity, text);
}

void TokenWriter::result(const ResultSet& result) {
  // Text columns holding a value longer than nvarchar(4000) go as nvarchar(max) (TDS 7.2+).
  std::vector<bool> plp(result.columns.size(), false);
  for (size_t c = 0; c < result.columns.size(); ++c)
    if (result.columns[c].type == ResultColumn::Type::NVarChar)
      for (const auto& row : result.rows)
        if (!row[c].null && utf16_length(row[c].text) > kMaxInlineChars) plp[c] = modern();
  u8(kColMetadataToken);
  u16(static_cast<uint16_t>(result.columns.size()));
  for (size_t c = 0; c < result.columns.size(); ++c) {
    const ResultColumn& col = result.columns[c];
    if (modern())
      u32(0);
    else
      u16(0);
    u16(0x0001);  // nullable
    switch (col.type) {
      case ResultColumn::Type::Int:
      case ResultColumn::Type::BigInt:
        u8(0x26);  // INTN
        u8(col.type == ResultColumn::Type::Int ? 4 : 8);
        break;
      case ResultColumn::Type::NVarChar:
        u8(0xE7);  // NVARCHAR
        u16(plp[c] ? 0xFFFF : kMaxInlineChars * 2);
        collation();
        break;
    }
    b_varchar(col.name);
  }
  for (const auto& row : result.rows) {
    u8(kRowToken);
    for (size_t c = 0; c < result.columns.size(); ++c) {
      const Cell& cell = row[c];
      switch (result.columns[c].type) {
        case ResultColumn::Type::Int:
        case ResultColumn::Type::BigInt: {
          uint8_t width = result.columns[c].type == ResultColumn::Type::Int ? 4 : 8;
          if (cell.null) {
            u8(0);
          } else {
            u8(width);
            if (width == 4)
              u32(static_cast<uint32_t>(cell.integer));
            else
              u64(static_cast<uint64_t>(cell.integer));
          }
          break;
        }
        case ResultColumn::Type::NVarChar: {
          std::string w = cell.null ? "" : utf8_to_utf16le(cell.text);
          if (plp[c]) {
            if (cell.null) {
              u64(~0ULL);
            } else {
              u64(w.size());
              if (!w.empty()) {
                u32(static_cast<uint32_t>(w.size()));
                out_ += w;
              }
              u32(0);
            }
          } else if (cell.null) {
            u16(0xFFFF);
          } else {
            if (w.size() > kMaxInlineChars * 2) w.resize(kMaxInlineChars * 2);
            u16(static_cast<uint16_t>(w.size()));
            out_ += w;
          }
          break;
        }
      }
    }
  }
}

void TokenWriter::done(uint16_t status, uint16_t command, uint64_t count) {
  u8(kDoneToken);
  u16(status);
  u16(command);
  if (modern())
    u64(count);
  else
    u32(static_cast<uint32_t>(count));
}

}  // namespace standin
