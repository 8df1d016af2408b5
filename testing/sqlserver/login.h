// The two messages before a session starts: PRELOGIN (answered with encryption "not
// supported", so the login travels in clear) and LOGIN7.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace standin {

// The PRELOGIN answer: VERSION, ENCRYPTION = not supported, INSTOPT, THREADID, MARS = off.
std::string prelogin_reply();

struct LoginRequest {
  uint32_t tds_version = 0;  // as the client asks, e.g. 0x74000004 for 7.4
  uint32_t packet_size = 4096;
  std::string host, user, password, app, server, language, database;
};

// Reads a LOGIN7 message; nullopt when it is malformed.
std::optional<LoginRequest> parse_login7(const std::string& payload);

}  // namespace standin
