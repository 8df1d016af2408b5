// A recursive-descent reader for the statements of statement.h.
#include <cstdlib>

#include "lexer.h"
#include "sql_error.h"
#include "statement.h"
#include "text.h"

namespace standin {

namespace {

const char* const kStatementStarts[] = {"select", "insert", "update", "delete", "create",
                                        "drop",   "set",    "use",    "begin",  "commit",
                                        "rollback", "if",   "exec",   "execute", "truncate",
                                        "alter",  "go",     "declare", "print", "save"};

const char* const kReservedAfterExpr[] = {"from", "where", "order", "and", "or", "as",
                                          "is", "not", "asc", "desc", "group", "having", "by"};

class Parser {
 public:
  Parser(const std::string& sql) : sql_(sql), t_(tokenize(sql)) {}

  std::vector<Statement> batch() {
    std::vector<Statement> out;
    while (!at_end()) {
      if (symbol(";") || word("go")) {
        ++p_;
        continue;
      }
      out.push_back(statement());
    }
    return out;
  }

 private:
  const std::string& sql_;
  std::vector<Token> t_;
  size_t p_ = 0;

  const Token& cur() const { return t_[p_]; }
  bool at_end() const { return cur().kind == TokenKind::End; }
  bool word(const char* w, size_t at) const {
    return t_[at].kind == TokenKind::Identifier && iequals(t_[at].text, w);
  }
  bool word(const char* w) const { return word(w, p_); }
  bool symbol(const char* s) const {
    return cur().kind == TokenKind::Symbol && cur().text == s;
  }
  [[noreturn]] void fail() const {
    throw syntax_error(at_end() ? (p_ > 0 ? t_[p_ - 1].raw : "") : cur().raw);
  }
  void expect_word(const char* w) {
    if (!word(w)) fail();
    ++p_;
  }
  void expect_symbol(const char* s) {
    if (!symbol(s)) fail();
    ++p_;
  }
  bool accept_word(const char* w) {
    if (!word(w)) return false;
    ++p_;
    return true;
  }
  bool accept_symbol(const char* s) {
    if (!symbol(s)) return false;
    ++p_;
    return true;
  }
  bool is_name_token() const {
    return cur().kind == TokenKind::Identifier || cur().kind == TokenKind::QuotedIdentifier;
  }
  std::string name_part() {
    if (!is_name_token()) fail();
    return t_[p_++].text;
  }

  ObjectName object_name() {
    std::vector<std::string> parts{name_part()};
    while (symbol(".")) {
      ++p_;
      if (symbol(".")) {  // db..object
        parts.push_back("");
        continue;
      }
      parts.push_back(name_part());
    }
    if (parts.size() > 4) fail();
    ObjectName n;
    n.object = parts.back();
    if (parts.size() >= 2) n.schema = parts[parts.size() - 2];
    if (parts.size() >= 3) n.database = parts[parts.size() - 3];
    // Messages show the name without brackets, as SQL Server does.
    for (size_t k = 0; k < parts.size(); ++k) n.written += (k ? "." : "") + parts[k];
    return n;
  }

  bool at_statement_start(size_t at) const {
    for (const char* w : kStatementStarts)
      if (word(w, at)) return true;
    return false;
  }

  Statement statement() {
    if (word("select")) return select();
    if (word("insert")) return insert();
    if (word("set")) return set();
    if (word("use")) {
      ++p_;
      Statement s;
      s.kind = Statement::Kind::Use;
      s.from.object = name_part();
      return s;
    }
    if (word("begin") && (word("tran", p_ + 1) || word("transaction", p_ + 1))) {
      p_ += 2;
      if (is_name_token() && !at_statement_start(p_)) ++p_;
      Statement s;
      s.kind = Statement::Kind::Begin;
      return s;
    }
    if (word("commit") || word("rollback")) {
      Statement s;
      s.kind = word("commit") ? Statement::Kind::Commit : Statement::Kind::Rollback;
      ++p_;
      if (word("tran") || word("transaction") || word("work")) ++p_;
      if (is_name_token() && !at_statement_start(p_)) ++p_;
      return s;
    }
    if (word("if")) {
      ++p_;
      Statement s;
      s.kind = Statement::Kind::If;
      s.where = expression();
      s.then = std::make_shared<Statement>(statement());
      return s;
    }
    if ((word("create") || word("drop")) && word("database", p_ + 1)) {
      Statement s;
      s.kind = word("create") ? Statement::Kind::CreateDatabase : Statement::Kind::DropDatabase;
      p_ += 2;
      s.from.object = name_part();
      return s;
    }
    if (word("create") || word("drop") || word("delete") || word("truncate") || word("alter") ||
        word("update"))
      return pass_through();
    fail();
  }

  // The statement runs to the next ';' or the next statement keyword outside parentheses.
  Statement pass_through() {
    Statement s;
    s.kind = Statement::Kind::PassThrough;
    s.verb = ascii_lower(cur().text);
    size_t start = cur().offset;
    ++p_;
    int depth = 0;
    while (!at_end()) {
      if (symbol("(")) ++depth;
      if (symbol(")")) --depth;
      if (depth == 0 && (symbol(";") || (at_statement_start(p_) && !word("set") &&
                                         !(s.verb == "create" && word("index")))))
        break;
      ++p_;
    }
    size_t end = at_end() ? sql_.size() : cur().offset;
    s.text = sql_.substr(start, end - start);
    return s;
  }

  Statement set() {
    ++p_;
    Statement s;
    s.kind = Statement::Kind::Set;
    while (!at_end() && !symbol(";")) {
      if (!s.words.empty() && at_statement_start(p_) && !word("set", p_)) break;
      s.words.push_back(cur().text);
      ++p_;
    }
    return s;
  }

  Statement select() {
    ++p_;
    Statement s;
    s.kind = Statement::Kind::Select;
    if (accept_word("top")) {
      if (cur().kind != TokenKind::Number) fail();
      s.top = std::atoll(cur().text.c_str());
      ++p_;
    }
    do {
      SelectItem item;
      item.expr = expression();
      if (accept_word("as")) {
        item.alias = name_part();
      } else if (is_name_token() && !reserved_here()) {
        item.alias = name_part();
      }
      s.items.push_back(item);
    } while (accept_symbol(","));
    if (accept_word("from")) {
      s.has_from = true;
      s.from = object_name();
      if (is_name_token() && !reserved_here() && !at_statement_start(p_)) ++p_;  // alias
    }
    if (accept_word("where")) s.where = expression();
    if (accept_word("order")) {
      expect_word("by");
      do {
        OrderItem o;
        o.expr = expression();
        if (accept_word("desc"))
          o.descending = true;
        else
          accept_word("asc");
        s.order.push_back(o);
      } while (accept_symbol(","));
    }
    if (!at_end() && !symbol(";") && !at_statement_start(p_)) fail();
    return s;
  }

  bool reserved_here() const {
    for (const char* w : kReservedAfterExpr)
      if (word(w)) return true;
    return at_statement_start(p_);
  }

  Statement insert() {
    ++p_;
    Statement s;
    s.kind = Statement::Kind::Insert;
    accept_word("into");
    s.from = object_name();
    if (accept_symbol("(")) {
      s.has_columns = true;
      do s.columns.push_back(name_part());
      while (accept_symbol(","));
      expect_symbol(")");
    }
    if (word("default") && word("values", p_ + 1)) {
      p_ += 2;
      s.rows.emplace_back();
      return s;
    }
    expect_word("values");
    do {
      expect_symbol("(");
      std::vector<ExprPtr> row;
      do row.push_back(expression());
      while (accept_symbol(","));
      expect_symbol(")");
      s.rows.push_back(row);
    } while (accept_symbol(","));
    if (!at_end() && !symbol(";") && !at_statement_start(p_)) fail();
    return s;
  }

  // expression := or_expr
  ExprPtr expression() { return or_expr(); }

  ExprPtr binary(const std::string& op, ExprPtr l, ExprPtr r) {
    auto e = std::make_shared<Expr>();
    e->kind = Expr::Kind::Binary;
    e->name = op;
    e->args = {l, r};
    return e;
  }

  ExprPtr or_expr() {
    ExprPtr l = and_expr();
    while (accept_word("or")) l = binary("or", l, and_expr());
    return l;
  }
  ExprPtr and_expr() {
    ExprPtr l = not_expr();
    while (accept_word("and")) l = binary("and", l, not_expr());
    return l;
  }
  ExprPtr not_expr() {
    if (accept_word("not")) {
      auto e = std::make_shared<Expr>();
      e->kind = Expr::Kind::Unary;
      e->name = "not";
      e->args = {not_expr()};
      return e;
    }
    return comparison();
  }
  ExprPtr comparison() {
    ExprPtr l = additive();
    if (accept_word("is")) {
      auto e = std::make_shared<Expr>();
      e->kind = Expr::Kind::IsNull;
      e->negated = accept_word("not");
      expect_word("null");
      e->args = {l};
      return e;
    }
    static const char* ops[] = {"=", "<>", "!=", "<", ">", "<=", ">="};
    for (const char* op : ops)
      if (symbol(op)) {
        ++p_;
        return binary(op, l, additive());
      }
    return l;
  }
  ExprPtr additive() {
    ExprPtr l = unary();
    while (symbol("+") || symbol("-")) {
      std::string op = cur().text;
      ++p_;
      l = binary(op, l, unary());
    }
    return l;
  }
  ExprPtr unary() {
    if (symbol("-") || symbol("+")) {
      bool minus = symbol("-");
      ++p_;
      ExprPtr e = unary();
      if (e->kind == Expr::Kind::Literal && e->literal.kind == Literal::Kind::Number) {
        if (minus) e->literal.text = "-" + e->literal.text;
        e->written = e->literal.text;
        return e;
      }
      auto u = std::make_shared<Expr>();
      u->kind = Expr::Kind::Unary;
      u->name = minus ? "-" : "+";
      u->args = {e};
      return u;
    }
    return primary();
  }
  ExprPtr primary() {
    auto e = std::make_shared<Expr>();
    const Token& t = cur();
    e->written = t.raw;
    switch (t.kind) {
      case TokenKind::String:
      case TokenKind::NString:
      case TokenKind::Number:
      case TokenKind::Binary:
        e->kind = Expr::Kind::Literal;
        e->literal.kind = t.kind == TokenKind::String    ? Literal::Kind::String
                          : t.kind == TokenKind::NString ? Literal::Kind::NString
                          : t.kind == TokenKind::Number  ? Literal::Kind::Number
                                                         : Literal::Kind::Binary;
        e->literal.text = t.text;
        ++p_;
        return e;
      case TokenKind::Variable:
        e->kind = Expr::Kind::Variable;
        e->name = ascii_lower(t.text);
        ++p_;
        return e;
      case TokenKind::Symbol:
        if (t.text == "*") {
          e->kind = Expr::Kind::Star;
          ++p_;
          return e;
        }
        if (t.text == "(") {
          ++p_;
          ExprPtr inner = expression();
          expect_symbol(")");
          return inner;
        }
        fail();
      case TokenKind::Identifier:
        if (iequals(t.text, "null")) {
          e->kind = Expr::Kind::Literal;
          ++p_;
          return e;
        }
        if (iequals(t.text, "default")) {
          e->kind = Expr::Kind::Literal;
          e->literal.kind = Literal::Kind::Default;
          ++p_;
          return e;
        }
        if (t_[p_ + 1].kind == TokenKind::Symbol && t_[p_ + 1].text == "(") {
          size_t start = t.offset;
          e->kind = Expr::Kind::Function;
          e->name = ascii_lower(t.text);
          p_ += 2;
          if (!accept_symbol(")")) {
            do e->args.push_back(expression());
            while (accept_symbol(","));
            expect_symbol(")");
          }
          e->written = sql_.substr(start, t_[p_ - 1].offset + 1 - start);
          return e;
        }
        [[fallthrough]];
      case TokenKind::QuotedIdentifier: {
        ObjectName n = object_name();
        e->kind = Expr::Kind::Column;
        e->name = n.object;
        e->written = n.object;
        return e;
      }
      case TokenKind::End:
        break;
    }
    fail();
  }
};

}  // namespace

std::vector<Statement> parse_batch(const std::string& sql) { return Parser(sql).batch(); }

bool parse_object_name(const std::string& text, ObjectName& out) {
  // As object_id reads its argument: parts split at dots outside [..] and "..", a bracketed
  // or quoted part unescaped, a plain part taken as written less surrounding spaces.
  std::vector<std::string> parts{""};
  bool quoted_part = false;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '.') {
      parts.emplace_back();
      quoted_part = false;
    } else if ((c == '[' || c == '"') && parts.back().find_first_not_of(" \t") == std::string::npos) {
      char close = c == '[' ? ']' : '"';
      std::string part;
      size_t k = i + 1;
      for (; k < text.size(); ++k) {
        if (text[k] == close) {
          if (k + 1 < text.size() && text[k + 1] == close) {
            part += close;
            ++k;
            continue;
          }
          break;
        }
        part += text[k];
      }
      if (k >= text.size()) return false;
      parts.back() = part;
      quoted_part = true;
      i = k;
    } else if (quoted_part) {
      if (c != ' ' && c != '\t') return false;
    } else {
      parts.back() += c;
    }
  }
  for (std::string& p : parts) {
    size_t a = p.find_first_not_of(" \t"), b = p.find_last_not_of(" \t");
    p = a == std::string::npos ? "" : p.substr(a, b - a + 1);
  }
  if (parts.size() > 4 || parts.back().empty()) return false;
  out = ObjectName{};
  out.object = parts.back();
  if (parts.size() >= 2) out.schema = parts[parts.size() - 2];
  if (parts.size() >= 3) out.database = parts[parts.size() - 3];
  out.written = text;
  return true;
}

}  // namespace standin
