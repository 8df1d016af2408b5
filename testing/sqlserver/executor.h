// Runs the statements of a batch for one session and writes their results and errors as
// tokens. Holds the session's state: its databases, the current one, IDENTITY_INSERT, the
// last identity value.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "expression.h"
#include "sql_error.h"
#include "statement.h"
#include "storage.h"
#include "tokens.h"

namespace standin {

class Refusals;
class StatementLog;

struct ServerConfig {
  std::string data_dir;
  std::string user = "sa";
  std::string password = "SheetMover1";
  StatementLog* statement_log = nullptr;  // every batch received, when set
  Refusals* refusals = nullptr;           // test-only refusals, when set (refusals.h)
};

// The file of a database in the data folder, matched case-insensitively; "" when there is
// none (or the name cannot be a file name).
std::string database_file(const std::string& data_dir, const std::string& name);

class Executor {
 public:
  Executor(const ServerConfig& config, int spid) : config_(config), spid_(spid) {}

  // Makes `name` the current database ("" = master). Throws SqlError 911 when it is unknown.
  void use(const std::string& name);
  const std::string& current() const { return current_; }

  // Runs the batch; every error ends it (ERROR then DONE with the error bit). Returns the
  // errors raised, for callers that are not clients (scripts).
  std::vector<SqlError> run_batch(const std::string& sql, TokenWriter& out);

 private:
  Database& database(const std::string& name);  // "" = current
  void run(const Statement& s, TokenWriter& out, bool last);
  void select(const Statement& s, TokenWriter& out, uint16_t more);
  void insert(const Statement& s, TokenWriter& out, uint16_t more);
  void set(const Statement& s);
  void create_database(const std::string& name);
  void drop_database(const std::string& name);
  std::optional<Cell> function(const std::string& name, const std::vector<Cell>& args);
  Cell evaluate_value(const Expr& e);

  const ServerConfig& config_;
  int spid_;
  std::string current_ = "master";
  std::map<std::string, std::unique_ptr<Database>> databases_;  // by lower-case name
  std::set<std::string> identity_insert_;                       // lower-case table names
  int64_t last_identity_ = 0;
  bool has_identity_ = false;
  int64_t row_count_ = 0;
};

}  // namespace standin
