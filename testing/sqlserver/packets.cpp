#include "packets.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace standin {

bool PacketStream::read_exact(char* data, size_t size) {
  while (size > 0) {
    ssize_t n = ::recv(fd_, data, size, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool PacketStream::read(Message& message) {
  message.payload.clear();
  while (true) {
    unsigned char header[8];
    if (!read_exact(reinterpret_cast<char*>(header), sizeof header)) return false;
    size_t length = (header[2] << 8) | header[3];
    if (length < 8) return false;
    message.type = header[0];
    size_t body = length - 8;
    size_t old = message.payload.size();
    message.payload.resize(old + body);
    if (!read_exact(&message.payload[old], body)) return false;
    if (header[1] & 0x01) return true;
  }
}

bool PacketStream::write(uint8_t type, const std::string& payload) {
  const size_t chunk = packet_size_ - 8;
  size_t offset = 0;
  uint8_t packet_id = 1;
  std::string out;
  do {
    size_t n = std::min(chunk, payload.size() - offset);
    bool last = offset + n == payload.size();
    size_t length = n + 8;
    out.push_back(static_cast<char>(type));
    out.push_back(static_cast<char>(last ? 0x01 : 0x00));
    out.push_back(static_cast<char>(length >> 8));
    out.push_back(static_cast<char>(length & 0xFF));
    out.push_back(static_cast<char>(spid_ >> 8));
    out.push_back(static_cast<char>(spid_ & 0xFF));
    out.push_back(static_cast<char>(packet_id++));
    out.push_back(0);
    out.append(payload, offset, n);
    offset += n;
  } while (offset < payload.size());
  const char* p = out.data();
  size_t left = out.size();
  while (left > 0) {
    ssize_t n = ::send(fd_, p, left, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    left -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace standin
