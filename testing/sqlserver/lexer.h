// Splits T-SQL text into tokens: identifiers (plain, [bracketed] with ]] doubled, "quoted"),
// strings ('...' and N'...' with '' doubled), numbers, 0x binary literals, @variables and
// punctuation. Comments are skipped.
#pragma once
#include <string>
#include <vector>

namespace standin {

enum class TokenKind { Identifier, QuotedIdentifier, String, NString, Number, Binary, Variable,
                       Symbol, End };

struct Token {
  TokenKind kind;
  std::string text;  // identifiers unquoted, strings unescaped, symbols as written
  std::string raw;   // as written in the statement
  size_t offset;
};

// Throws SqlError 105 for an unclosed quotation mark or bracket.
std::vector<Token> tokenize(const std::string& sql);

}  // namespace standin
