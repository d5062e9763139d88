// The lexer: script text to tokens with their physical lines. Handles CR LF, LF and lone CR
// line ends, '_' continuations, ' and Rem comments, "" inside strings, #date# literals, &H/&O
// numbers and identifiers with accented letters. Compile errors are thrown as ScriptError.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tillbook::vbscript {

enum class Tok : uint8_t {
  End,
  NewLine,
  Colon,
  Ident,  // also keywords: see Token::kw
  Integer,
  Double,
  String,
  Date,
  LParen,
  RParen,
  Comma,
  Dot,
  Eq,
  Ne,
  Lt,
  Gt,
  Le,
  Ge,
  Plus,
  Minus,
  Star,
  Slash,
  Backslash,
  Caret,
  Amp,
};

enum class Kw : uint8_t {
  None,
  And, Or, Not, Xor, Eqv, Imp, Mod, Is, New, Nothing, Null, Empty, True, False,
  Call, Dim, ReDim, Preserve, Erase, Const, Set, Let, If, Then, Else, ElseIf, End,
  Select, Case, For, To, Step, Next, Each, In, Do, Loop, While, Until, Wend, Exit,
  Function, Sub, Property, Get, Class, Public, Private, Default, ByVal, ByRef, On,
  Error, Resume, GoTo, Option, Explicit, With, Me, Stop,
};

struct Token {
  Tok type = Tok::End;
  Kw kw = Kw::None;
  bool spaceBefore = false;  // white space right before the token
  int line = 1;
  std::string text;  // identifiers: as written; strings: the value; dates: inside the '#'
  std::string key;   // identifiers: case-folded name
  int64_t integer = 0;
  double number = 0;
  bool hexLiteral = false;
};

// Keywords that may still name variables and members (Error, Get, Property, Step...).
bool IsSoftKeyword(Kw kw);

// Whole text to tokens, ending with NewLine and End.
std::vector<Token> Tokenize(std::string_view source);

}  // namespace tillbook::vbscript
