#include "session.h"

#include <cctype>
#include <csignal>

#include <unistd.h>

#include "login.h"
#include "packets.h"
#include "refusals.h"
#include "statement_log.h"
#include "text.h"

namespace standin {

namespace {

constexpr uint32_t kNewestTds = 0x74000004;  // TDS 7.4

// SQL batch text: on TDS 7.2 and later an ALL_HEADERS block comes first.
std::string batch_text(const std::string& payload, bool modern) {
  size_t start = 0;
  if (modern && payload.size() >= 4) {
    uint32_t total = static_cast<uint8_t>(payload[0]) | static_cast<uint8_t>(payload[1]) << 8 |
                     static_cast<uint8_t>(payload[2]) << 16 |
                     static_cast<uint32_t>(static_cast<uint8_t>(payload[3])) << 24;
    if (total >= 4 && total <= payload.size()) start = total;
  }
  return utf16le_to_utf8(reinterpret_cast<const uint8_t*>(payload.data()) + start,
                         payload.size() - start);
}

bool login(PacketStream& stream, Executor& executor, const ServerConfig& config, uint32_t& tds) {
  Message m;
  if (!stream.read(m)) return false;
  if (m.type == kPrelogin) {
    if (!stream.write(kTabularResult, prelogin_reply())) return false;
    if (!stream.read(m)) return false;
  }
  if (m.type != kLogin7) return false;
  auto request = parse_login7(m.payload);
  if (!request) return false;
  tds = std::min(request->tds_version, kNewestTds);
  TokenWriter out(tds);
  auto refuse = [&](int number, int severity, const std::string& text) {
    out.error(number, 1, severity, text);
    if (number != 18456)
      out.error(18456, 1, 14, "Login failed for user '" + request->user + "'.");
    out.done(kDoneError, kCmdNone, 0);
    stream.write(kTabularResult, out.bytes());
    return false;
  };
  if (request->user != config.user || request->password != config.password)
    return refuse(18456, 14, "Login failed for user '" + request->user + "'.");
  try {
    executor.use(request->database);
  } catch (const SqlError&) {
    return refuse(4060, 11,
                  "Cannot open database \"" + request->database +
                      "\" requested by the login. The login failed.");
  } catch (const std::exception& e) {
    return refuse(4060, 11, e.what());
  }
  stream.set_packet_size(request->packet_size ? request->packet_size : 4096);
  out.env_database(executor.current(), "master");
  out.info(5701, 2, 0, "Changed database context to '" + executor.current() + "'.");
  out.env_language("us_english");
  out.info(5703, 1, 0, "Changed language setting to us_english.");
  if (tds >= 0x71000000) out.env_collation();
  out.login_ack("Microsoft SQL Server");
  out.env_packet_size(stream.packet_size(), 4096);
  out.done(kDoneFinal, kCmdNone, 0);
  return stream.write(kTabularResult, out.bytes());
}

// "SHUTDOWN" or "SHUTDOWN WITH NOWAIT", any case, with an optional ';'.
bool is_shutdown(const std::string& text) {
  std::string words;
  for (char c : text) {
    if (c == ';') break;
    if (std::isspace(static_cast<unsigned char>(c))) {
      if (!words.empty() && words.back() != ' ') words += ' ';
    } else {
      words += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
  }
  while (!words.empty() && words.back() == ' ') words.pop_back();
  return words == "shutdown" || words == "shutdown with nowait";
}

}  // namespace

void run_session(int fd, const ServerConfig& config, int spid) {
  PacketStream stream(fd);
  stream.set_spid(static_cast<uint16_t>(spid));
  Executor executor(config, spid);
  uint32_t tds = kNewestTds;
  if (login(stream, executor, config, tds)) {
    Message m;
    while (stream.read(m)) {
      TokenWriter out(tds);
      switch (m.type) {
        case kSqlBatch: {
          std::string text = batch_text(m.payload, out.modern());
          if (config.statement_log) config.statement_log->write(text);
          if (is_shutdown(text)) {
            // SHUTDOWN stops the server, as on SQL Server: this client gets no answer and
            // every connection is closed.
            ::raise(SIGTERM);
            ::close(fd);
            return;
          }
          if (config.refusals && config.refusals->control(text)) {
            out.done(kDoneFinal, kCmdNone, 0);
          } else if (config.refusals && config.refusals->refuses(text)) {
            out.error(kRefusedError, 1, 16, "The stand-in refuses this batch for a test.");
            out.done(kDoneError, kCmdNone, 0);
          } else {
            executor.run_batch(text, out);
          }
          break;
        }
        case kAttention:
          out.done(kDoneAttention, kCmdNone, 0);
          break;
        default:
          out.error(40001, 1, 16,
                    "The stand-in server answers SQL batches only (packet type " +
                        std::to_string(m.type) + ").");
          out.done(kDoneError, kCmdNone, 0);
          break;
      }
      if (!stream.write(kTabularResult, out.bytes())) break;
    }
  }
  ::close(fd);
}

}  // namespace standin
