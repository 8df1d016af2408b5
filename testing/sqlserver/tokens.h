// Builds the token stream of a tabular-result message: ENVCHANGE, LOGINACK, INFO, ERROR,
// COLMETADATA, ROW and DONE.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace standin {

struct ResultColumn {
  enum class Type { Int, BigInt, NVarChar };
  std::string name;
  Type type = Type::NVarChar;
};

struct Cell {
  bool null = true;
  bool is_integer = false;
  int64_t integer = 0;
  std::string text;  // UTF-8
};

struct ResultSet {
  std::vector<ResultColumn> columns;
  std::vector<std::vector<Cell>> rows;
};

enum DoneStatus : uint16_t { kDoneFinal = 0, kDoneMore = 0x01, kDoneError = 0x02,
                             kDoneCount = 0x10, kDoneAttention = 0x20 };

enum DoneCommand : uint16_t { kCmdNone = 0, kCmdSelect = 0xC1, kCmdInsert = 0xC3 };

class TokenWriter {
 public:
  explicit TokenWriter(uint32_t tds_version) : tds_version_(tds_version) {}

  void env_database(const std::string& now, const std::string& before);
  void env_language(const std::string& now);
  void env_collation();
  void env_packet_size(uint32_t now, uint32_t before);
  void login_ack(const std::string& program);
  void info(int number, int state, int severity, const std::string& message);
  void error(int number, int state, int severity, const std::string& message);
  void result(const ResultSet& result);
  void done(uint16_t status, uint16_t command, uint64_t count);

  const std::string& bytes() const { return out_; }
  void clear() { out_.clear(); }
  bool modern() const { return tds_version_ >= 0x72000000; }  // TDS 7.2 and later

 private:
  void u8(uint8_t v) { out_.push_back(static_cast<char>(v)); }
  void u16(uint16_t v);
  void u32(uint32_t v);
  void u64(uint64_t v);
  void b_varchar(const std::string& utf8);   // 1-byte length in characters
  void us_varchar(const std::string& utf8);  // 2-byte length in characters
  void env_change(uint8_t type, const std::string& body);
  void message(uint8_t token, int number, int state, int severity, const std::string& text);
  void collation();

  uint32_t tds_version_;
  std::string out_;
};

}  // namespace standin
