#include "login.h"

#include "text.h"

namespace standin {

namespace {

uint32_t le32(const std::string& s, size_t at) {
  return static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8 |
         static_cast<uint8_t>(s[at + 2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(s[at + 3])) << 24;
}

uint16_t le16(const std::string& s, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8);
}

}  // namespace

std::string prelogin_reply() {
  // Option table: token, big-endian offset, big-endian length; then the data.
  struct Option {
    uint8_t token;
    std::string data;
  };
  const Option options[] = {
      {0x00, std::string("\x0A\x32\x06\x40\x00\x00", 6)},  // VERSION 10.50.1600.0
      {0x01, std::string("\x02", 1)},                       // ENCRYPTION: not supported
      {0x02, std::string("\x00", 1)},                       // INSTOPT: default instance
      {0x03, std::string(4, '\0')},                         // THREADID
      {0x04, std::string("\x00", 1)},                       // MARS off
  };
  const size_t count = sizeof options / sizeof options[0];
  std::string table, data;
  size_t offset = count * 5 + 1;
  for (const Option& o : options) {
    table += static_cast<char>(o.token);
    table += static_cast<char>((offset + data.size()) >> 8);
    table += static_cast<char>((offset + data.size()) & 0xFF);
    table += static_cast<char>(o.data.size() >> 8);
    table += static_cast<char>(o.data.size() & 0xFF);
    data += o.data;
  }
  return table + '\xFF' + data;
}

std::optional<LoginRequest> parse_login7(const std::string& p) {
  if (p.size() < 94) return std::nullopt;
  LoginRequest r;
  r.tds_version = le32(p, 4);  // 7.4 arrives as the bytes 04 00 00 74
  r.packet_size = le32(p, 8);
  auto field = [&](size_t at, bool password) -> std::optional<std::string> {
    size_t offset = le16(p, at), chars = le16(p, at + 2);
    if (offset + chars * 2 > p.size()) return std::nullopt;
    std::string raw = p.substr(offset, chars * 2);
    if (password)
      for (char& c : raw) {
        uint8_t b = static_cast<uint8_t>(c) ^ 0xA5;
        c = static_cast<char>(((b & 0x0F) << 4) | (b >> 4));
      }
    return utf16le_to_utf8(reinterpret_cast<const uint8_t*>(raw.data()), raw.size());
  };
  auto host = field(36, false), user = field(40, false), password = field(44, true),
       app = field(48, false), server = field(52, false), language = field(64, false),
       database = field(68, false);
  if (!host || !user || !password || !app || !server || !language || !database)
    return std::nullopt;
  r.host = *host;
  r.user = *user;
  r.password = *password;
  r.app = *app;
  r.server = *server;
  r.language = *language;
  r.database = *database;
  return r;
}

}  // namespace standin
