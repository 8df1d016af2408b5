#include "sql_parser.h"

namespace xlsodbc {
namespace {

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

bool is_word_char(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         static_cast<unsigned char>(c) >= 0x80;
}

class Parser {
 public:
  explicit Parser(const std::string& s) : s_(s) {}

  bool parse(SelectStatement& out, std::string& error) {
    skip_space();
    if (!keyword("select")) return fail(error, "the statement must start with SELECT");
    skip_space();
    if (peek() == '*') {
      ++i_;
      out.all_columns = true;
      skip_space();
    } else {
      for (;;) {
        std::string name;
        if (!column(name, error)) return false;
        out.columns.push_back(name);
        skip_space();
        if (peek() == ',') {
          ++i_;
          skip_space();
          continue;
        }
        break;
      }
    }
    if (!keyword("from")) return fail(error, "FROM expected");
    skip_space();
    if (!table(out.table, error)) return false;
    skip_space();
    if (peek() == ';') {
      ++i_;
      skip_space();
    }
    if (i_ < s_.size())
      return fail(error, "unexpected text after the worksheet name; only SELECT <columns> FROM [Sheet$] is supported");
    return true;
  }

 private:
  char peek() const { return i_ < s_.size() ? s_[i_] : '\0'; }
  void skip_space() {
    while (i_ < s_.size() && is_space(s_[i_])) ++i_;
  }
  bool keyword_at(size_t at, const char* kw) const {
    size_t n = 0;
    for (; kw[n]; ++n) {
      if (at + n >= s_.size()) return false;
      char c = s_[at + n];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
      if (c != kw[n]) return false;
    }
    return at + n >= s_.size() || !is_word_char(s_[at + n]);
  }
  bool keyword(const char* kw) {
    if (!keyword_at(i_, kw)) return false;
    while (*kw++) ++i_;
    return true;
  }
  bool fail(std::string& error, const std::string& what) {
    std::string near = s_.substr(i_, 40);
    error = "syntax error in the SELECT statement: " + what;
    if (i_ < s_.size()) error += " (near '" + near + "')";
    else error += " (at the end of the statement)";
    return false;
  }
  // [name] or `name`, with the closing character doubled inside to stand for itself.
  bool quoted(char close, std::string& out, std::string& error) {
    size_t start = i_++;
    for (;;) {
      if (i_ >= s_.size()) {
        i_ = start;
        return fail(error, std::string("missing closing '") + close + "'");
      }
      char c = s_[i_++];
      if (c == close) {
        if (peek() == close) {
          out.push_back(close);
          ++i_;
          continue;
        }
        return true;
      }
      out.push_back(c);
    }
  }
  bool column(std::string& out, std::string& error) {
    char c = peek();
    if (c == '[' || c == '`' || c == '"') {
      if (!quoted(c == '[' ? ']' : c, out, error)) return false;
      if (out.empty()) return fail(error, "empty column name");
      return true;
    }
    // A bare name: up to a comma or the FROM keyword; inner spaces belong to it.
    size_t start = i_;
    while (i_ < s_.size()) {
      char d = s_[i_];
      if (d == ',' || d == ';' || d == '[' || d == ']' || d == '`' || d == '"' || d == '*') break;
      if (is_space(d)) {
        size_t j = i_;
        while (j < s_.size() && is_space(s_[j])) ++j;
        if (keyword_at(j, "from")) break;
      }
      ++i_;
    }
    size_t end = i_;
    while (end > start && is_space(s_[end - 1])) --end;
    if (end == start) return fail(error, "column name or * expected");
    if (keyword_at(start, "from") && end == start + 4) return fail(error, "column name or * expected");
    out = s_.substr(start, end - start);
    return true;
  }
  bool table(std::string& out, std::string& error) {
    char c = peek();
    if (c == '[' || c == '`' || c == '"') {
      if (!quoted(c == '[' ? ']' : c, out, error)) return false;
    } else {
      size_t start = i_;
      while (i_ < s_.size() && !is_space(s_[i_]) && s_[i_] != ';' && s_[i_] != ',') ++i_;
      out = s_.substr(start, i_ - start);
    }
    if (out.empty()) return fail(error, "worksheet name expected, as in [Sheet1$]");
    return true;
  }

  const std::string& s_;
  size_t i_ = 0;
};

}  // namespace

bool parse_select(const std::string& sql, SelectStatement& out, std::string& error) {
  out = SelectStatement();
  return Parser(sql).parse(out, error);
}

}  // namespace xlsodbc
