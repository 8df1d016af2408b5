#include "executor.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "text.h"

namespace standin {

namespace {

SqlError unknown_database(const std::string& name) {
  return SqlError(911, 16, 1,
                  "Database '" + name +
                      "' does not exist. Make sure that the name is entered correctly.");
}

std::string now_text() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[40];
  std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S.000", &tm);
  return buf;
}

bool is_count_star(const Expr& e) {
  return e.kind == Expr::Kind::Function && e.name == "count";
}

}  // namespace

std::string database_file(const std::string& data_dir, const std::string& name) {
  if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..")
    return "";
  std::string wanted = name + ".sqlite";
  DIR* dir = opendir(data_dir.c_str());
  if (!dir) return "";
  std::string found;
  while (dirent* e = readdir(dir)) {
    std::string file = e->d_name;
    if (file == wanted || (found.empty() && iequals(file, wanted))) found = file;
  }
  closedir(dir);
  return found.empty() ? "" : data_dir + "/" + found;
}

Database& Executor::database(const std::string& name) {
  std::string wanted = name.empty() ? current_ : name;
  std::string key = ascii_lower(wanted);
  auto it = databases_.find(key);
  if (it != databases_.end()) return *it->second;
  std::string file = database_file(config_.data_dir, wanted);
  if (file.empty() && key != "master") throw unknown_database(wanted);
  auto db = std::make_unique<Database>(file.empty() ? "master" : wanted,
                                       file.empty() ? ":memory:" : file);
  Database& ref = *db;
  databases_[key] = std::move(db);
  return ref;
}

void Executor::use(const std::string& name) {
  Database& db = database(name.empty() ? "master" : name);
  current_ = db.name();
  if (current_ != "master") {
    // The name as the file spells it.
    std::string file = database_file(config_.data_dir, current_);
    size_t slash = file.rfind('/');
    current_ = file.substr(slash + 1, file.size() - slash - 1 - 7);
  }
}

std::vector<SqlError> Executor::run_batch(const std::string& sql, TokenWriter& out) {
  std::vector<SqlError> errors;
  try {
    std::vector<Statement> statements = parse_batch(sql);
    for (size_t i = 0; i < statements.size(); ++i)
      run(statements[i], out, i + 1 == statements.size());
    if (statements.empty()) out.done(kDoneFinal, kCmdNone, 0);
  } catch (const SqlError& e) {
    out.error(e.number, e.state, e.severity, e.what());
    out.done(kDoneError, kCmdNone, 0);
    errors.push_back(e);
  } catch (const std::exception& e) {
    SqlError err(50000, 16, 1, e.what());
    out.error(err.number, err.state, err.severity, err.what());
    out.done(kDoneError, kCmdNone, 0);
    errors.push_back(err);
  }
  return errors;
}

void Executor::run(const Statement& s, TokenWriter& out, bool last) {
  uint16_t more = last ? kDoneFinal : kDoneMore;
  switch (s.kind) {
    case Statement::Kind::Select:
      select(s, out, more);
      return;
    case Statement::Kind::Insert:
      insert(s, out, more);
      return;
    case Statement::Kind::Set:
      set(s);
      break;
    case Statement::Kind::Use: {
      std::string before = current_;
      use(s.from.object);
      out.env_database(current_, before);
      out.info(5701, 2, 0, "Changed database context to '" + current_ + "'.");
      break;
    }
    case Statement::Kind::Begin:
      database("").begin();
      break;
    case Statement::Kind::Commit:
    case Statement::Kind::Rollback: {
      Database& db = database("");
      if (!db.in_transaction())
        throw SqlError(s.kind == Statement::Kind::Commit ? 3902 : 3903, 16, 1,
                       std::string("The ") +
                           (s.kind == Statement::Kind::Commit ? "COMMIT" : "ROLLBACK") +
                           " TRANSACTION request has no corresponding BEGIN TRANSACTION.");
      if (s.kind == Statement::Kind::Commit)
        db.commit();
      else
        db.rollback();
      break;
    }
    case Statement::Kind::If:
      if (truthy(evaluate_value(*s.where))) {
        run(*s.then, out, last);
        return;
      }
      break;
    case Statement::Kind::CreateDatabase:
      create_database(s.from.object);
      break;
    case Statement::Kind::DropDatabase:
      drop_database(s.from.object);
      break;
    case Statement::Kind::PassThrough: {
      std::string text = s.text;
      if (s.verb == "truncate") {  // TRUNCATE TABLE t -> DELETE FROM t
        size_t at = ascii_lower(text).find("table");
        text = "DELETE FROM" + text.substr(at == std::string::npos ? 8 : at + 5);
      }
      int64_t changed = database("").execute(text);
      bool counts = s.verb == "delete" || s.verb == "update";
      row_count_ = counts ? changed : 0;
      out.done(static_cast<uint16_t>(more | (counts ? kDoneCount : 0)), kCmdNone,
               counts ? static_cast<uint64_t>(changed) : 0);
      return;
    }
    case Statement::Kind::Empty:
      break;
  }
  out.done(more, kCmdNone, 0);
}

void Executor::set(const Statement& s) {
  if (s.words.size() >= 2 && iequals(s.words[0], "identity_insert")) {
    // SET IDENTITY_INSERT table ON|OFF: the table name may be several words (db.dbo.t).
    std::string name;
    for (size_t i = 1; i + 1 < s.words.size(); ++i) name += s.words[i];
    ObjectName n;
    if (!parse_object_name(name, n)) n.object = name;
    const TableInfo* t = database(n.database).find_table(n.object);
    if (!t) throw invalid_object(n.object);
    if (t->identity < 0)
      throw SqlError(8106, 16, 1, "Table '" + t->name +
                                      "' does not have the identity property. Cannot perform SET "
                                      "operation.");
    if (iequals(s.words.back(), "on"))
      identity_insert_.insert(ascii_lower(t->name));
    else
      identity_insert_.erase(ascii_lower(t->name));
  }
  // Every other SET option is accepted and has no effect here.
}

void Executor::create_database(const std::string& name) {
  if (!database_file(config_.data_dir, name).empty() || iequals(name, "master"))
    throw SqlError(1801, 16, 3,
                   "Database '" + name + "' already exists. Choose a different database name.");
  if (name.empty() || name.find('/') != std::string::npos)
    throw SqlError(5105, 16, 2, "A file activation error occurred.");
  Database created(name, config_.data_dir + "/" + name + ".sqlite");
}

void Executor::drop_database(const std::string& name) {
  std::string file = database_file(config_.data_dir, name);
  if (file.empty())
    throw SqlError(3701, 11, 1, "Cannot drop the database '" + name +
                                    "', because it does not exist or you do not have permission.");
  if (iequals(name, current_))
    throw SqlError(3702, 16, 4, "Cannot drop database \"" + name + "\" because it is currently in use.");
  databases_.erase(ascii_lower(name));
  for (const char* suffix : {"", "-wal", "-shm"}) ::unlink((file + suffix).c_str());
}

Cell Executor::evaluate_value(const Expr& e) {
  return evaluate(e, EvalRow{}, [this](const std::string& n, const std::vector<Cell>& a) {
    return function(n, a);
  });
}

std::optional<Cell> Executor::function(const std::string& name, const std::vector<Cell>& args) {
  auto arg_text = [&](size_t i) {
    return i < args.size() ? (args[i].is_integer ? std::to_string(args[i].integer) : args[i].text)
                           : std::string();
  };
  if (name == "@@version")
    return text_cell("Microsoft SQL Server 2008 R2 (RTM) - 10.50.1600.1 (SheetMover stand-in)");
  if (name == "@@microsoftversion") return integer_cell(0x0A320640);
  if (name == "@@spid") return integer_cell(spid_);
  if (name == "@@servername") return text_cell("STANDIN");
  if (name == "@@language") return text_cell("us_english");
  if (name == "@@langid") return integer_cell(0);
  if (name == "@@trancount") return integer_cell(database("").in_transaction() ? 1 : 0);
  if (name == "@@error") return integer_cell(0);
  if (name == "@@rowcount") return integer_cell(row_count_);
  if (name == "@@textsize") return integer_cell(2147483647);
  if (name == "@@max_precision") return integer_cell(38);
  if (name == "@@datefirst") return integer_cell(7);
  if (name == "@@options") return integer_cell(0);
  if (name == "@@identity" || name == "scope_identity")
    return has_identity_ ? integer_cell(last_identity_) : Cell{};
  if (name == "db_name") return text_cell(current_);
  if (name == "getdate" || name == "current_timestamp" || name == "sysdatetime")
    return text_cell(now_text());
  if (name == "user_name" || name == "suser_sname" || name == "system_user")
    return text_cell(name == "user_name" ? "dbo" : config_.user);
  if (name == "isnull") return args.size() == 2 && args[0].null ? args[1] : args.at(0);
  if (name == "upper") return text_cell(ascii_upper(arg_text(0)));
  if (name == "lower") return text_cell(ascii_lower(arg_text(0)));
  if (name == "len") return args.at(0).null ? Cell{} : integer_cell(static_cast<int64_t>(utf16_length(arg_text(0))));
  if (name == "object_id") {
    if (args.empty() || args[0].null) return Cell{};
    ObjectName n;
    if (!parse_object_name(arg_text(0), n)) return Cell{};
    try {
      const TableInfo* t = database(n.database).find_table(n.object);
      return t ? integer_cell(t->id) : Cell{};
    } catch (const SqlError&) {
      return Cell{};
    }
  }
  if (name == "object_name") {
    const TableInfo* t = args.empty() || !args[0].is_integer ? nullptr
                                                              : database("").find_table_by_id(args[0].integer);
    return t ? text_cell(t->name) : Cell{};
  }
  if (name == "columnproperty") {
    if (args.size() != 3 || !args[0].is_integer) return Cell{};
    const TableInfo* t = database("").find_table_by_id(args[0].integer);
    int c = t ? t->find_column(arg_text(1)) : -1;
    if (c < 0) return Cell{};
    const ColumnInfo& col = t->columns[c];
    std::string property = ascii_lower(arg_text(2));
    if (property == "isidentity") return integer_cell(c == t->identity ? 1 : 0);
    if (property == "allowsnull") return integer_cell(col.not_null ? 0 : 1);
    if (property == "precision") return integer_cell(col.type.precision);
    if (property == "scale") return integer_cell(col.type.scale);
    return Cell{};
  }
  if (name == "ident_current") {
    ObjectName n;
    if (args.empty() || !parse_object_name(arg_text(0), n)) return Cell{};
    const TableInfo* t = database(n.database).find_table(n.object);
    if (!t || t->identity < 0) return Cell{};
    Cell best;
    for (const auto& row : database(n.database).rows(*t))
      if (row[t->identity].kind == StoredValue::Kind::Integer &&
          (best.null || row[t->identity].integer > best.integer))
        best = integer_cell(row[t->identity].integer);
    return best;
  }
  return std::nullopt;
}

void Executor::select(const Statement& s, TokenWriter& out, uint16_t more) {
  RowSource source;
  if (!s.has_from) {
    source.rows.emplace_back();
  } else if (is_catalog_table(s.from.schema, s.from.object)) {
    source = catalog_rows(database(s.from.database), s.from.object);
  } else {
    Database& db = database(s.from.database);
    const TableInfo* t = db.find_table(s.from.object);
    if (!t) throw invalid_object(s.from.written);
    for (const ColumnInfo& c : t->columns) source.names.push_back(c.name);
    for (const auto& stored : db.rows(*t)) {
      std::vector<Cell> row;
      for (size_t i = 0; i < stored.size(); ++i) {
        auto text = stored_text(stored[i], t->columns[i].type);
        row.push_back(text ? text_cell(*text) : Cell{});
      }
      source.rows.push_back(std::move(row));
    }
  }
  FunctionResolver functions = [this](const std::string& n, const std::vector<Cell>& a) {
    return function(n, a);
  };
  std::vector<std::vector<Cell>> kept;
  for (auto& row : source.rows)
    if (!s.where || truthy(evaluate(*s.where, EvalRow{&source, &row}, functions)))
      kept.push_back(row);
  if (!s.order.empty()) {
    std::vector<std::pair<std::vector<Cell>, size_t>> keyed;
    for (size_t i = 0; i < kept.size(); ++i) {
      std::vector<Cell> key;
      for (const OrderItem& o : s.order)
        key.push_back(evaluate(*o.expr, EvalRow{&source, &kept[i]}, functions));
      keyed.emplace_back(std::move(key), i);
    }
    std::stable_sort(keyed.begin(), keyed.end(), [&](const auto& a, const auto& b) {
      for (size_t k = 0; k < s.order.size(); ++k) {
        const Cell& x = a.first[k];
        const Cell& y = b.first[k];
        int c = x.null || y.null ? (x.null == y.null ? 0 : x.null ? -1 : 1) : *compare_cells(x, y);
        if (s.order[k].descending) c = -c;
        if (c != 0) return c < 0;
      }
      return false;
    });
    std::vector<std::vector<Cell>> sorted;
    for (auto& k : keyed) sorted.push_back(std::move(kept[k.second]));
    kept = std::move(sorted);
  }
  if (s.top >= 0 && static_cast<size_t>(s.top) < kept.size()) kept.resize(s.top);

  ResultSet result;
  bool aggregate = std::any_of(s.items.begin(), s.items.end(),
                               [](const SelectItem& i) { return is_count_star(*i.expr); });
  std::vector<std::vector<Cell>> rows(aggregate ? 1 : kept.size());
  for (const SelectItem& item : s.items) {
    if (item.expr->kind == Expr::Kind::Star) {
      if (!s.has_from || aggregate) throw syntax_error("*");
      for (size_t c = 0; c < source.names.size(); ++c) {
        result.columns.push_back(ResultColumn{source.names[c], ResultColumn::Type::NVarChar});
        for (size_t r = 0; r < kept.size(); ++r) rows[r].push_back(kept[r][c]);
      }
      continue;
    }
    std::string heading = !item.alias.empty() ? item.alias
                          : item.expr->kind == Expr::Kind::Column ? item.expr->name
                                                                  : "";
    result.columns.push_back(ResultColumn{heading, ResultColumn::Type::NVarChar});
    if (aggregate) {
      rows[0].push_back(is_count_star(*item.expr)
                            ? integer_cell(static_cast<int64_t>(kept.size()))
                            : evaluate(*item.expr, EvalRow{}, functions));
    } else {
      for (size_t r = 0; r < kept.size(); ++r)
        rows[r].push_back(evaluate(*item.expr, EvalRow{&source, &kept[r]}, functions));
    }
  }
  // A column whose values are all integers goes as int (bigint when one needs it).
  for (size_t c = 0; c < result.columns.size(); ++c) {
    bool integers = false, text = false, wide = false;
    for (const auto& row : rows) {
      if (row[c].null) continue;
      if (row[c].is_integer) {
        integers = true;
        wide = wide || row[c].integer < INT32_MIN || row[c].integer > INT32_MAX;
      } else {
        text = true;
      }
    }
    if (integers && !text)
      result.columns[c].type = wide ? ResultColumn::Type::BigInt : ResultColumn::Type::Int;
    else
      for (auto& row : rows)
        if (!row[c].null && row[c].is_integer) row[c] = text_cell(std::to_string(row[c].integer));
  }
  result.rows = std::move(rows);
  row_count_ = static_cast<int64_t>(result.rows.size());
  out.result(result);
  out.done(static_cast<uint16_t>(more | kDoneCount), kCmdSelect, result.rows.size());
}

void Executor::insert(const Statement& s, TokenWriter& out, uint16_t more) {
  Database& db = database(s.from.database);
  const TableInfo* t = db.find_table(s.from.object);
  if (!t) throw invalid_object(s.from.written);
  bool explicit_identity_allowed = identity_insert_.count(ascii_lower(t->name)) > 0;
  std::vector<int> columns;
  if (s.has_columns) {
    for (const std::string& name : s.columns) {
      int c = t->find_column(name);
      if (c < 0) throw invalid_column(name);
      if (std::find(columns.begin(), columns.end(), c) != columns.end())
        throw SqlError(264, 16, 1,
                       "The column name '" + name +
                           "' is specified more than once in the SET clause or column list of an "
                           "INSERT. A column cannot be assigned more than one value in the same "
                           "clause. Modify the clause to make sure that a column is updated only "
                           "once. If this statement updates or inserts columns into a view, "
                           "column aliasing can conceal these duplications.");
      columns.push_back(c);
    }
  } else {
    if (explicit_identity_allowed)
      throw SqlError(8101, 16, 1,
                     "An explicit value for the identity column in table '" + t->name +
                         "' can only be specified when a column list is used and "
                         "IDENTITY_INSERT is ON.");
    for (size_t c = 0; c < t->columns.size(); ++c)
      if (static_cast<int>(c) != t->identity && static_cast<int>(c) != t->timestamp)
        columns.push_back(static_cast<int>(c));
  }
  // Convert every row before inserting any, so that a bad value inserts nothing.
  std::vector<std::vector<int>> row_columns;
  std::vector<std::vector<StoredValue>> row_values;
  for (const auto& row : s.rows) {
    bool defaults = row.empty();  // INSERT ... DEFAULT VALUES
    if (!defaults && row.size() != columns.size()) {
      if (!s.has_columns)
        throw SqlError(213, 16, 1,
                       "Column name or number of supplied values does not match table "
                       "definition.");
      throw SqlError(row.size() > columns.size() ? 110 : 109, 15, 1,
                     row.size() > columns.size()
                         ? "There are fewer columns in the INSERT statement than values "
                           "specified in the VALUES clause. The number of values in the VALUES "
                           "clause must match the number of columns specified in the INSERT "
                           "statement."
                         : "There are more columns in the INSERT statement than values "
                           "specified in the VALUES clause. The number of values in the VALUES "
                           "clause must match the number of columns specified in the INSERT "
                           "statement.");
    }
    std::vector<int> used;
    std::vector<StoredValue> values;
    for (size_t k = 0; k < (defaults ? 0 : columns.size()); ++k) {
      const ColumnInfo& col = t->columns[columns[k]];
      const Expr& e = *row[k];
      Literal literal;
      if (e.kind == Expr::Kind::Literal) {
        literal = e.literal;
      } else {
        Cell v = evaluate_value(e);
        literal.kind = v.null ? Literal::Kind::Null
                       : v.is_integer ? Literal::Kind::Number
                                      : Literal::Kind::String;
        literal.text = v.is_integer ? std::to_string(v.integer) : v.text;
      }
      if (literal.kind == Literal::Kind::Default) continue;  // the column's default
      if (columns[k] == t->identity && !explicit_identity_allowed)
        throw SqlError(544, 16, 1,
                       "Cannot insert explicit value for identity column in table '" + t->name +
                           "' when IDENTITY_INSERT is set to OFF.");
      if (columns[k] == t->timestamp)
        throw SqlError(273, 16, 1,
                       "Cannot insert an explicit value into a timestamp column. Use INSERT with "
                       "a column list to exclude the timestamp column, or insert a DEFAULT into "
                       "the timestamp column.");
      StoredValue v = convert_literal(literal, col.type);
      if (v.kind == StoredValue::Kind::Null && col.not_null)
        throw SqlError(515, 16, 2,
                       "Cannot insert the value NULL into column '" + col.name + "', table '" +
                           db.name() + ".dbo." + t->name +
                           "'; column does not allow nulls. INSERT fails.");
      used.push_back(columns[k]);
      values.push_back(std::move(v));
    }
    if (explicit_identity_allowed && t->identity >= 0 &&
        std::find(used.begin(), used.end(), t->identity) == used.end())
      throw SqlError(545, 16, 1,
                     "Explicit value must be specified for identity column in table '" + t->name +
                         "' either when IDENTITY_INSERT is set to ON or when a replication user "
                         "is inserting into a NOT FOR REPLICATION identity column.");
    for (size_t c = 0; c < t->columns.size(); ++c) {
      const ColumnInfo& col = t->columns[c];
      bool given = std::find(used.begin(), used.end(), static_cast<int>(c)) != used.end();
      if (!given && col.not_null && !col.has_default && static_cast<int>(c) != t->identity &&
          static_cast<int>(c) != t->timestamp)
        throw SqlError(515, 16, 2,
                       "Cannot insert the value NULL into column '" + col.name + "', table '" +
                           db.name() + ".dbo." + t->name +
                           "'; column does not allow nulls. INSERT fails.");
    }
    row_columns.push_back(std::move(used));
    row_values.push_back(std::move(values));
  }
  for (size_t r = 0; r < row_values.size(); ++r) {
    int64_t identity = db.insert(*t, row_columns[r], row_values[r]);
    if (t->identity >= 0) {
      last_identity_ = identity;
      has_identity_ = true;
    }
  }
  row_count_ = static_cast<int64_t>(row_values.size());
  out.done(static_cast<uint16_t>(more | kDoneCount), kCmdInsert, row_values.size());
}

}  // namespace standin
