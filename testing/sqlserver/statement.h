// Statements the stand-in understands, as the parser produces them.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "value_convert.h"

namespace standin {

// db.schema.object, db..object, schema.object or object; parts unquoted.
struct ObjectName {
  std::string database;
  std::string schema;
  std::string object;
  std::string written;  // as the statement gives it, for messages
};

// Reads a multi-part name such as "[my db]..[T]" or "dbo.T" from text (as object_id gets it).
// Returns false when the text is not a name.
bool parse_object_name(const std::string& text, ObjectName& out);

struct Expr {
  enum class Kind { Literal, Column, Variable, Function, Star, Unary, Binary, IsNull };
  Kind kind = Kind::Literal;
  Literal literal;          // Literal
  std::string name;         // Column, Variable, Function (lower case), operator for Unary/Binary
  std::vector<std::shared_ptr<Expr>> args;  // Function arguments, operands
  bool negated = false;     // IS NOT NULL
  std::string written;      // the expression's text, for column headings
};
using ExprPtr = std::shared_ptr<Expr>;

struct SelectItem {
  ExprPtr expr;
  std::string alias;
};

struct OrderItem {
  ExprPtr expr;
  bool descending = false;
};

struct Statement {
  enum class Kind {
    Select, Insert, Set, Use, Begin, Commit, Rollback, If, CreateDatabase, DropDatabase,
    PassThrough, Empty
  };
  Kind kind = Kind::Empty;
  // Select
  std::vector<SelectItem> items;
  bool has_from = false;
  ObjectName from;
  ExprPtr where;
  std::vector<OrderItem> order;
  long long top = -1;
  // Insert (also `from` for the table)
  std::vector<std::string> columns;
  bool has_columns = false;
  std::vector<std::vector<ExprPtr>> rows;
  // Set: the words after SET; Use / CreateDatabase / DropDatabase: the name in `from.object`
  std::vector<std::string> words;
  // If: the condition in `where`, the statement in `then`
  std::shared_ptr<Statement> then;
  // PassThrough: the statement text as written (CREATE TABLE, DROP TABLE, DELETE, ...)
  std::string text;
  std::string verb;  // lower-case first word
};

// Splits a batch into statements. Throws SqlError 102 (syntax) or 105 (unclosed quote).
std::vector<Statement> parse_batch(const std::string& sql);

}  // namespace standin
