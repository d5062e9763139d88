// Splits a query text (filter, sort list, field list or expression) into tokens. Everything the
// dialect has no use for — statement separators, comments, stray punctuation — is refused here
// at its position, so a smuggled statement never gets as far as the parser.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "base/date.h"

namespace tillbook::jet {

enum class TokenType { End, Identifier, Text, Number, Date, Keyword, Op };

enum class Keyword {
  None,
  And,
  Or,
  Not,
  Xor,
  Eqv,
  Imp,
  Like,
  In,
  Is,
  Null,
  Between,
  True,
  False,
  As,
  Asc,
  Desc,
  Mod,
  Select,
  From,
  Where,
};

struct Token {
  TokenType type = TokenType::End;
  size_t offset = 0;  // bytes into the original text
  size_t length = 0;
  // Identifier: the name as written (brackets removed); Text: the value with doubled quotes
  // undone; Number: the literal as written; Op: the operator; Keyword: the word as written.
  std::string text;
  Keyword keyword = Keyword::None;
  DateTime date;           // Date tokens
  bool bracketed = false;  // Identifier written as [name]

  bool IsOp(std::string_view op) const { return type == TokenType::Op && text == op; }
  bool Is(Keyword k) const { return type == TokenType::Keyword && keyword == k; }
};

// Longest text accepted; filters come from files and people, not only from our code.
inline constexpr size_t kMaxQueryText = 65536;

// Tokens of `text`, ending with an End token. Throws JetError at the first bad character,
// unterminated literal or invalid date.
std::vector<Token> Tokenize(std::string_view text);

}  // namespace tillbook::jet
