// TDS packets over a socket: an 8-byte header (type, status, big-endian length, SPID, packet
// id, window) before each piece of a message; status bit 0x01 ends the message.
#pragma once
#include <cstdint>
#include <string>

namespace standin {

enum PacketType : uint8_t {
  kSqlBatch = 0x01,
  kRpc = 0x03,
  kTabularResult = 0x04,
  kAttention = 0x06,
  kTransactionManager = 0x0E,
  kLogin7 = 0x10,
  kPrelogin = 0x12,
};

struct Message {
  uint8_t type = 0;
  std::string payload;
};

class PacketStream {
 public:
  explicit PacketStream(int fd) : fd_(fd) {}
  // Reads one whole message; false when the peer closed the connection or sent garbage.
  bool read(Message& message);
  // Sends a message split into packets of at most packet_size bytes.
  bool write(uint8_t type, const std::string& payload);
  void set_packet_size(uint32_t size) { packet_size_ = size < 512 ? 512 : size > 32767 ? 32767 : size; }
  uint32_t packet_size() const { return packet_size_; }
  void set_spid(uint16_t spid) { spid_ = spid; }

 private:
  bool read_exact(char* data, size_t size);
  int fd_;
  uint32_t packet_size_ = 4096;
  uint16_t spid_ = 0;
  std::string buffer_;
};

}  // namespace standin
