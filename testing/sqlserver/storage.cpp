#include "storage.h"

#include <atomic>
#include <chrono>
#include <stdexcept>

#include "sql_error.h"
#include "text.h"

namespace standin {

namespace {

std::string quote_identifier(const std::string& name) {
  std::string out = "\"";
  for (char c : name) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

// Timestamp (rowversion) values: unique and increasing across the whole server.
std::atomic<int64_t> g_rowversion{
    std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::system_clock::now().time_since_epoch())
        .count()};

StoredValue column_value(sqlite3_stmt* st, int i) {
  StoredValue v;
  switch (sqlite3_column_type(st, i)) {
    case SQLITE_INTEGER:
      v.kind = StoredValue::Kind::Integer;
      v.integer = sqlite3_column_int64(st, i);
      break;
    case SQLITE_FLOAT:
      v.kind = StoredValue::Kind::Real;
      v.real = sqlite3_column_double(st, i);
      break;
    case SQLITE_TEXT:
      v.kind = StoredValue::Kind::Text;
      v.bytes.assign(reinterpret_cast<const char*>(sqlite3_column_text(st, i)),
                     sqlite3_column_bytes(st, i));
      break;
    case SQLITE_BLOB: {
      v.kind = StoredValue::Kind::Blob;
      const void* p = sqlite3_column_blob(st, i);
      v.bytes.assign(static_cast<const char*>(p), sqlite3_column_bytes(st, i));
      break;
    }
    default:
      break;
  }
  return v;
}

void bind_value(sqlite3_stmt* st, int i, const StoredValue& v) {
  switch (v.kind) {
    case StoredValue::Kind::Null: sqlite3_bind_null(st, i); break;
    case StoredValue::Kind::Integer: sqlite3_bind_int64(st, i, v.integer); break;
    case StoredValue::Kind::Real: sqlite3_bind_double(st, i, v.real); break;
    case StoredValue::Kind::Text:
      sqlite3_bind_text(st, i, v.bytes.data(), static_cast<int>(v.bytes.size()), SQLITE_TRANSIENT);
      break;
    case StoredValue::Kind::Blob:
      sqlite3_bind_blob(st, i, v.bytes.data(), static_cast<int>(v.bytes.size()), SQLITE_TRANSIENT);
      break;
  }
}

}  // namespace

int TableInfo::find_column(const std::string& name) const {
  for (size_t i = 0; i < columns.size(); ++i)
    if (iequals(columns[i].name, name)) return static_cast<int>(i);
  return -1;
}

Database::Database(const std::string& name, const std::string& path) : name_(name) {
  int rc = sqlite3_open_v2(path.c_str(), &db_,
                           SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                           nullptr);
  if (rc != SQLITE_OK) {
    std::string msg = db_ ? sqlite3_errmsg(db_) : "out of memory";
    sqlite3_close(db_);
    throw std::runtime_error("cannot open " + path + ": " + msg);
  }
  sqlite3_busy_timeout(db_, 10000);
  sqlite3_exec(db_, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;", nullptr, nullptr,
               nullptr);
}

Database::~Database() {
  for (auto& [sql, st] : statements_) sqlite3_finalize(st);
  if (user_transaction_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(db_);
}

sqlite3_stmt* Database::prepare(const std::string& sql) {
  sqlite3_stmt* st = nullptr;
  int rc = sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &st, nullptr);
  if (rc != SQLITE_OK) raise(rc, "");
  return st;
}

sqlite3_stmt* Database::cached(const std::string& sql) {
  auto it = statements_.find(sql);
  if (it != statements_.end()) {
    sqlite3_reset(it->second);
    sqlite3_clear_bindings(it->second);
    return it->second;
  }
  sqlite3_stmt* st = prepare(sql);
  statements_[sql] = st;
  return st;
}

void Database::raise(int rc, const std::string& table) {
  std::string msg = sqlite3_errmsg(db_);
  int ext = sqlite3_extended_errcode(db_);
  if (ext == SQLITE_CONSTRAINT_UNIQUE || ext == SQLITE_CONSTRAINT_PRIMARYKEY)
    throw SqlError(2627, 14, 1,
                   "Violation of PRIMARY KEY or UNIQUE KEY constraint. Cannot insert duplicate "
                   "key in object 'dbo." + table + "'.");
  if (ext == SQLITE_CONSTRAINT_CHECK)
    throw SqlError(547, 16, 0,
                   "The INSERT statement conflicted with a CHECK constraint in table 'dbo." +
                       table + "'.");
  if (ext == SQLITE_CONSTRAINT_NOTNULL)
    throw SqlError(515, 16, 2, "Cannot insert the value NULL into a column of table '" + name_ +
                                   ".dbo." + table + "'; column does not allow nulls. INSERT fails.");
  if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
    throw SqlError(1222, 16, 18, "Lock request time out period exceeded.");
  const std::string no_table = "no such table: ";
  if (msg.compare(0, no_table.size(), no_table) == 0) throw invalid_object(msg.substr(no_table.size()));
  const std::string exists = "table ";
  if (msg.size() > 15 && msg.compare(msg.size() - 15, 15, " already exists") == 0)
    throw SqlError(2714, 16, 6,
                   "There is already an object named '" +
                       msg.substr(exists.size(), msg.size() - 15 - exists.size()) +
                       "' in the database.");
  size_t near = msg.find("near \"");
  if (near != std::string::npos && msg.find("syntax error") != std::string::npos) {
    size_t end = msg.find('"', near + 6);
    throw syntax_error(msg.substr(near + 6, end - near - 6));
  }
  throw SqlError(50000, 16, 1, "SQLite: " + msg);
}

void Database::load_schema() {
  for (auto& [sql, st] : statements_) sqlite3_finalize(st);
  statements_.clear();
  last_identity_.clear();
  tables_.clear();
  sqlite3_stmt* list = prepare(
      "SELECT name, rowid FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' "
      "ESCAPE '\\'");
  while (sqlite3_step(list) == SQLITE_ROW) {
    TableInfo t;
    t.name = reinterpret_cast<const char*>(sqlite3_column_text(list, 0));
    t.id = 1000000 + sqlite3_column_int64(list, 1);
    tables_.push_back(t);
  }
  sqlite3_finalize(list);
  for (TableInfo& t : tables_) {
    sqlite3_stmt* cols = prepare("PRAGMA table_info(" + quote_identifier(t.name) + ")");
    while (sqlite3_step(cols) == SQLITE_ROW) {
      ColumnInfo c;
      c.name = reinterpret_cast<const char*>(sqlite3_column_text(cols, 1));
      const unsigned char* declared = sqlite3_column_text(cols, 2);
      c.declared = declared ? reinterpret_cast<const char*>(declared) : "";
      c.type = parse_column_type(c.declared);
      c.not_null = sqlite3_column_int(cols, 3) != 0;
      c.has_default = sqlite3_column_type(cols, 4) != SQLITE_NULL;
      if (c.type.identity && t.identity < 0) t.identity = static_cast<int>(t.columns.size());
      if (c.type.kind == TypeKind::Timestamp && t.timestamp < 0)
        t.timestamp = static_cast<int>(t.columns.size());
      t.columns.push_back(c);
    }
    sqlite3_finalize(cols);
  }
}

void Database::refresh_schema() {
  sqlite3_stmt* st = cached("PRAGMA schema_version");
  int64_t version = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int64(st, 0) : -2;
  sqlite3_reset(st);
  if (version != schema_version_) {
    load_schema();
    schema_version_ = version;
  }
}

const std::vector<TableInfo>& Database::tables() {
  refresh_schema();
  return tables_;
}

const TableInfo* Database::find_table(const std::string& name) {
  refresh_schema();
  for (const TableInfo& t : tables_)
    if (iequals(t.name, name)) return &t;
  return nullptr;
}

const TableInfo* Database::find_table_by_id(int64_t id) {
  refresh_schema();
  for (const TableInfo& t : tables_)
    if (t.id == id) return &t;
  return nullptr;
}

int64_t Database::next_identity(const TableInfo& table) {
  const ColumnType& type = table.columns[table.identity].type;
  std::string key = ascii_lower(table.name);
  auto it = last_identity_.find(key);
  int64_t next;
  if (it == last_identity_.end()) {
    sqlite3_stmt* st = cached("SELECT " + std::string(type.increment < 0 ? "min" : "max") + "(" +
                              quote_identifier(table.columns[table.identity].name) + ") FROM " +
                              quote_identifier(table.name));
    bool empty = sqlite3_step(st) != SQLITE_ROW || sqlite3_column_type(st, 0) == SQLITE_NULL;
    next = empty ? type.seed : sqlite3_column_int64(st, 0) + type.increment;
    sqlite3_reset(st);
  } else {
    next = it->second + type.increment;
  }
  return next;
}

int64_t Database::insert(const TableInfo& table, const std::vector<int>& columns,
                         const std::vector<StoredValue>& values) {
  std::vector<int> all = columns;
  std::vector<StoredValue> bound = values;
  bool own_transaction = !user_transaction_;
  if (own_transaction) {
    sqlite3_stmt* b = cached("BEGIN IMMEDIATE");
    int rc = sqlite3_step(b);
    sqlite3_reset(b);
    if (rc != SQLITE_DONE) raise(rc, table.name);
  }
  try {
    // Another connection's commit makes the remembered identity values stale.
    sqlite3_stmt* dv = cached("PRAGMA data_version");
    int64_t version = sqlite3_step(dv) == SQLITE_ROW ? sqlite3_column_int64(dv, 0) : -2;
    sqlite3_reset(dv);
    if (version != data_version_) {
      last_identity_.clear();
      data_version_ = version;
    }
    int64_t identity = 0;
    bool identity_given = false;
    for (int c : columns) identity_given = identity_given || c == table.identity;
    if (table.identity >= 0 && !identity_given) {
      identity = next_identity(table);
      all.push_back(table.identity);
      StoredValue v;
      v.kind = StoredValue::Kind::Integer;
      v.integer = identity;
      bound.push_back(v);
    }
    if (table.timestamp >= 0) {
      int64_t rv = ++g_rowversion;
      StoredValue v;
      v.kind = StoredValue::Kind::Blob;
      for (int k = 7; k >= 0; --k) v.bytes += static_cast<char>((rv >> (8 * k)) & 0xFF);
      all.push_back(table.timestamp);
      bound.push_back(v);
    }
    std::string sql = "INSERT INTO " + quote_identifier(table.name);
    if (all.empty()) {
      sql += " DEFAULT VALUES";
    } else {
      std::string names, marks;
      for (size_t k = 0; k < all.size(); ++k) {
        names += (k ? "," : "") + quote_identifier(table.columns[all[k]].name);
        marks += k ? ",?" : "?";
      }
      sql += "(" + names + ") VALUES(" + marks + ")";
    }
    sqlite3_stmt* st = cached(sql);
    for (size_t k = 0; k < bound.size(); ++k) bind_value(st, static_cast<int>(k + 1), bound[k]);
    int rc = sqlite3_step(st);
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) raise(rc, table.name);
    if (identity_given) {
      for (size_t k = 0; k < columns.size(); ++k)
        if (columns[k] == table.identity && values[k].kind == StoredValue::Kind::Integer)
          identity = values[k].integer;
      last_identity_.erase(ascii_lower(table.name));
    } else if (table.identity >= 0) {
      last_identity_[ascii_lower(table.name)] = identity;
    }
    if (own_transaction) {
      sqlite3_stmt* c = cached("COMMIT");
      rc = sqlite3_step(c);
      sqlite3_reset(c);
      if (rc != SQLITE_DONE) raise(rc, table.name);
    }
    return identity;
  } catch (...) {
    if (own_transaction) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    last_identity_.clear();
    throw;
  }
}

std::vector<std::vector<StoredValue>> Database::rows(const TableInfo& table) {
  std::vector<std::vector<StoredValue>> out;
  std::string names;
  for (size_t k = 0; k < table.columns.size(); ++k)
    names += (k ? "," : "") + quote_identifier(table.columns[k].name);
  sqlite3_stmt* st = prepare("SELECT " + names + " FROM " + quote_identifier(table.name) +
                             " ORDER BY rowid");
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    std::vector<StoredValue> row;
    for (size_t k = 0; k < table.columns.size(); ++k)
      row.push_back(column_value(st, static_cast<int>(k)));
    out.push_back(std::move(row));
  }
  sqlite3_finalize(st);
  if (rc != SQLITE_DONE) raise(rc, table.name);
  return out;
}

int64_t Database::execute(const std::string& sql) {
  char* error = nullptr;
  int before = sqlite3_total_changes(db_);
  int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error);
  sqlite3_free(error);
  if (rc != SQLITE_OK) raise(rc, "");
  return sqlite3_total_changes(db_) - before;
}

void Database::begin() {
  if (user_transaction_) return;
  execute("BEGIN");
  user_transaction_ = true;
}

void Database::commit() {
  if (!user_transaction_) return;
  user_transaction_ = false;
  execute("COMMIT");
}

void Database::rollback() {
  if (!user_transaction_) return;
  user_transaction_ = false;
  execute("ROLLBACK");
  last_identity_.clear();
}

}  // namespace standin
