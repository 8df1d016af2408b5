#include "lexer.h"

#include "sql_error.h"

namespace standin {

namespace {

bool ident_start(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '#' || c >= 0x80;
}

bool ident_part(unsigned char c) {
  return ident_start(c) || (c >= '0' && c <= '9') || c == '@' || c == '$';
}

bool digit(char c) { return c >= '0' && c <= '9'; }

bool hex_digit(char c) {
  return digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

SqlError unclosed(const std::string& rest) {
  return SqlError(105, 15, 1, "Unclosed quotation mark after the character string '" + rest +
                                  "'.");
}

// Reads a quoted run starting after the opening quote at i; a doubled closing quote stands for
// itself. Returns the unescaped text and leaves i after the closing quote.
std::string quoted(const std::string& sql, size_t& i, char close) {
  std::string text;
  size_t start = i;
  while (true) {
    if (i >= sql.size()) throw unclosed(sql.substr(start));
    if (sql[i] == close) {
      if (i + 1 < sql.size() && sql[i + 1] == close) {
        text += close;
        i += 2;
        continue;
      }
      ++i;
      return text;
    }
    text += sql[i++];
  }
}

}  // namespace

std::vector<Token> tokenize(const std::string& sql) {
  std::vector<Token> tokens;
  size_t i = 0;
  const size_t n = sql.size();
  while (i < n) {
    char c = sql[i];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      ++i;
      continue;
    }
    if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
      while (i < n && sql[i] != '\n') ++i;
      continue;
    }
    if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
      size_t end = sql.find("*/", i + 2);
      i = end == std::string::npos ? n : end + 2;
      continue;
    }
    size_t start = i;
    Token t{TokenKind::Symbol, "", "", start};
    if ((c == 'N' || c == 'n') && i + 1 < n && sql[i + 1] == '\'') {
      i += 2;
      t.kind = TokenKind::NString;
      t.text = quoted(sql, i, '\'');
    } else if (c == '\'') {
      ++i;
      t.kind = TokenKind::String;
      t.text = quoted(sql, i, '\'');
    } else if (c == '[') {
      ++i;
      t.kind = TokenKind::QuotedIdentifier;
      t.text = quoted(sql, i, ']');
    } else if (c == '"') {
      ++i;
      t.kind = TokenKind::QuotedIdentifier;
      t.text = quoted(sql, i, '"');
    } else if (c == '0' && i + 1 < n && (sql[i + 1] == 'x' || sql[i + 1] == 'X')) {
      i += 2;
      while (i < n && hex_digit(sql[i])) ++i;
      t.kind = TokenKind::Binary;
      t.text = sql.substr(start + 2, i - start - 2);
    } else if (digit(c) || (c == '.' && i + 1 < n && digit(sql[i + 1]))) {
      while (i < n && digit(sql[i])) ++i;
      if (i < n && sql[i] == '.') {
        ++i;
        while (i < n && digit(sql[i])) ++i;
      }
      if (i < n && (sql[i] == 'e' || sql[i] == 'E')) {
        size_t e = i + 1;
        if (e < n && (sql[e] == '+' || sql[e] == '-')) ++e;
        if (e < n && digit(sql[e])) {
          i = e;
          while (i < n && digit(sql[i])) ++i;
        }
      }
      t.kind = TokenKind::Number;
      t.text = sql.substr(start, i - start);
    } else if (c == '@') {
      ++i;
      if (i < n && sql[i] == '@') ++i;
      while (i < n && ident_part(static_cast<unsigned char>(sql[i]))) ++i;
      t.kind = TokenKind::Variable;
      t.text = sql.substr(start, i - start);
    } else if (ident_start(static_cast<unsigned char>(c))) {
      while (i < n && ident_part(static_cast<unsigned char>(sql[i]))) ++i;
      t.kind = TokenKind::Identifier;
      t.text = sql.substr(start, i - start);
    } else {
      static const char* two[] = {"<>", "!=", ">=", "<=", "!<", "!>"};
      t.text = std::string(1, c);
      for (const char* s : two)
        if (sql.compare(i, 2, s) == 0) t.text = s;
      i += t.text.size();
    }
    t.raw = sql.substr(start, i - start);
    tokens.push_back(std::move(t));
  }
  tokens.push_back(Token{TokenKind::End, "", "", n});
  return tokens;
}

}  // namespace standin
