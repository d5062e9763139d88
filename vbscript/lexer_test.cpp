#include "vbscript/lexer.h"

#include <gtest/gtest.h>

#include "vbscript/errors.h"

namespace tillbook::vbscript {
namespace {

TEST(Lexer, ContinuationCommentsAndLines) {
  auto t = Tokenize("x = \"a\" & _\r\n  \"b\" ' note\r\nRem whole line\ny = 1: z = 2\rw");
  std::vector<std::pair<Tok, int>> kinds;
  for (const auto& tok : t) kinds.emplace_back(tok.type, tok.line);
  std::vector<std::pair<Tok, int>> expected = {
      {Tok::Ident, 1}, {Tok::Eq, 1},     {Tok::String, 1}, {Tok::Amp, 1},     {Tok::String, 2},
      {Tok::NewLine, 2}, {Tok::NewLine, 3}, {Tok::Ident, 4}, {Tok::Eq, 4},     {Tok::Integer, 4},
      {Tok::Colon, 4}, {Tok::Ident, 4},  {Tok::Eq, 4},     {Tok::Integer, 4}, {Tok::NewLine, 4},
      {Tok::Ident, 5}, {Tok::NewLine, 5}, {Tok::End, 5}};
  // Rem on its own line leaves only its line end; consecutive line ends collapse.
  expected.erase(expected.begin() + 6);
  EXPECT_EQ(kinds, expected);
}

TEST(Lexer, Literals) {
  auto t = Tokenize("\"l'articolo \"\"x\"\"\" &HFF &HFFFF &H10000 1.5E-3 .5 #1/15/2024# Quantità");
  EXPECT_EQ(t[0].text, "l'articolo \"x\"");
  EXPECT_EQ(t[1].integer, 255);
  EXPECT_EQ(t[2].integer, -1);
  EXPECT_EQ(t[3].integer, 65536);
  EXPECT_DOUBLE_EQ(t[4].number, 0.0015);
  EXPECT_DOUBLE_EQ(t[5].number, 0.5);
  EXPECT_EQ(t[6].type, Tok::Date);
  EXPECT_EQ(t[7].type, Tok::Ident);
  EXPECT_EQ(t[7].key, "quantità");
}

TEST(Lexer, Errors) {
  struct Case {
    const char* source;
    int number;
    int line;
  } cases[] = {
      {"x = \"open\ny = 1", kUnterminatedString, 1},
      {"x = 1\ny = 2 $ 3", kInvalidCharacter, 2},
  };
  for (const auto& c : cases) {
    try {
      Tokenize(c.source);
      ADD_FAILURE() << c.source;
    } catch (const ScriptError& e) {
      EXPECT_EQ(e.number(), c.number) << c.source;
      EXPECT_EQ(e.line(), c.line) << c.source;
    }
  }
}

}  // namespace
}  // namespace tillbook::vbscript

namespace tillbook::vbscript {
namespace {

TEST(Lexer, KeywordsBracketsAndLimits) {
  auto t = Tokenize("If x Then Rem note\n[my name] = 1 : y = &O17 & &H7FFF&");
  EXPECT_EQ(t[0].kw, Kw::If);
  EXPECT_EQ(t[2].kw, Kw::Then);
  EXPECT_EQ(t[3].type, Tok::NewLine);  // Rem after Then is a comment
  EXPECT_EQ(t[4].key, "my name");
  EXPECT_EQ(t[10].integer, 15);
  EXPECT_EQ(t[11].type, Tok::Amp);
  EXPECT_EQ(t[12].integer, 32767);
  try {
    Tokenize("x = " + std::string(300, 'a'));
    ADD_FAILURE();
  } catch (const ScriptError& e) {
    EXPECT_EQ(e.number(), kIdentifierTooLong);
  }
  EXPECT_TRUE(IsSoftKeyword(Kw::Error));
  EXPECT_FALSE(IsSoftKeyword(Kw::Dim));
}

}  // namespace
}  // namespace tillbook::vbscript
