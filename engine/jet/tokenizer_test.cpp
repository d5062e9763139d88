#include "engine/jet/tokenizer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/jet/jet_error.h"

namespace tillbook::jet {
namespace {

// Tokens as "type:text" for compact comparisons.
std::vector<std::string> Kinds(std::string_view text) {
  std::vector<std::string> out;
  for (const Token& t : Tokenize(text)) {
    const char* kind = "";
    switch (t.type) {
      case TokenType::End:
        kind = "end";
        break;
      case TokenType::Identifier:
        kind = "id";
        break;
      case TokenType::Text:
        kind = "text";
        break;
      case TokenType::Number:
        kind = "num";
        break;
      case TokenType::Date:
        kind = "date";
        break;
      case TokenType::Keyword:
        kind = "kw";
        break;
      case TokenType::Op:
        kind = "op";
        break;
    }
    out.push_back(std::string(kind) + ":" + (t.type == TokenType::Date ? t.date.ToIso() : t.text));
  }
  return out;
}

using V = std::vector<std::string>;

TEST(TokenizerTest, Tokens) {
  struct Case {
    const char* text;
    V tokens;
  } cases[] = {
      {"Quantità>0", {"id:Quantità", "op:>", "num:0", "end:"}},
      {"Not Evaso AND DataFineValidità<Now",
       {"kw:Not", "id:Evaso", "kw:AND", "id:DataFineValidità", "op:<", "id:Now", "end:"}},
      {"a<>b<=c>=d", {"id:a", "op:<>", "id:b", "op:<=", "id:c", "op:>=", "id:d", "end:"}},
      {"'dell''Angolo' \"a \"\"b\"\"\"", {"text:dell'Angolo", "text:a \"b\"", "end:"}},
      {"'#1' ''", {"text:#1", "text:", "end:"}},
      {"12 1.5 .5 1E3 2e-2", {"num:12", "num:1.5", "num:.5", "num:1E3", "num:2e-2", "end:"}},
      {"#03/31/2024#AND x", {"date:2024-03-31 00:00:00", "kw:AND", "id:x", "end:"}},
      {"#3/1/2024# #2024-03-01# #03/01/2024 14:05:09# #3/1/2024 9:05#",
       {"date:2024-03-01 00:00:00", "date:2024-03-01 00:00:00", "date:2024-03-01 14:05:09",
        "date:2024-03-01 09:05:00", "end:"}},
      {"#3/1/2024 12:05 AM# #3/1/2024 12:05 pm# #3/1/2024 1:05:09 PM#",
       {"date:2024-03-01 00:05:00", "date:2024-03-01 12:05:00", "date:2024-03-01 13:05:09",
        "end:"}},
      {"[Note] [Nome con spazi]", {"id:Note", "id:Nome con spazi", "end:"}},
      {"Vendite.Data", {"id:Vendite", "op:.", "id:Data", "end:"}},
      {"x\r\n\tAnd\xC2\xA0y", {"id:x", "kw:And", "id:y", "end:"}},
      {"a&b+c-d*e/f\\g^h",
       {"id:a", "op:&", "id:b", "op:+", "id:c", "op:-", "id:d", "op:*", "id:e", "op:/", "id:f",
        "op:\\", "id:g", "op:^", "id:h", "end:"}},
      {"IIF(x,1,-1)",
       {"id:IIF", "op:(", "id:x", "op:,", "num:1", "op:,", "op:-", "num:1", "op:)", "end:"}},
      {"CITTÀ città _x1", {"id:CITTÀ", "id:città", "id:_x1", "end:"}},
      {"", {"end:"}},
      // Decomposed accents (a vowel and a combining accent) are composed.
      {"Quantita\xCC\x80 = 'perche\xCC\x81'", {"id:Quantità", "op:=", "text:perché", "end:"}},
      {"'n\xCC\x83 c\xCC\xA7 o\xCC\x88 s\xCC\x8C x\xCC\x80'", {"text:ñ ç ö š x\xCC\x80", "end:"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Kinds(c.text), c.tokens) << c.text;
}

TEST(TokenizerTest, KeepsOffsetsInTheOriginalText) {
  auto tokens = Tokenize("Città = 'x'");
  ASSERT_EQ(tokens.size(), 4u);
  EXPECT_EQ(tokens[1].offset, 7u);  // "à" is two bytes
  EXPECT_EQ(tokens[2].offset, 9u);
  EXPECT_EQ(tokens[2].length, 3u);
  EXPECT_TRUE(tokens[0].type == TokenType::Identifier);
}

TEST(TokenizerTest, RefusesWithPosition) {
  struct Case {
    const char* text;
    ErrorKind kind;
    size_t position;
  } cases[] = {
      {"a; b", ErrorKind::BadCharacter, 2},
      {"Città;", ErrorKind::BadCharacter, 6},
      {"a -- b", ErrorKind::BadCharacter, 3},
      {"a /* b */", ErrorKind::BadCharacter, 3},
      {"a != b", ErrorKind::BadCharacter, 3},
      {"a ! b", ErrorKind::BadCharacter, 3},
      {"`a`", ErrorKind::BadCharacter, 1},
      {"@a", ErrorKind::BadCharacter, 1},
      {"$a", ErrorKind::BadCharacter, 1},
      {"a = 50%", ErrorKind::BadCharacter, 7},
      {"a ? b", ErrorKind::BadCharacter, 3},
      {"a = {1}", ErrorKind::BadCharacter, 5},
      {"a × b", ErrorKind::BadCharacter, 3},
      {"'abc", ErrorKind::UnterminatedLiteral, 1},
      {"x = 'it''s", ErrorKind::UnterminatedLiteral, 5},
      {"\"abc", ErrorKind::UnterminatedLiteral, 1},
      {"#03/01/2024", ErrorKind::UnterminatedLiteral, 1},
      {"[abc", ErrorKind::UnterminatedLiteral, 1},
      {"[]", ErrorKind::Syntax, 1},
      {"#02/30/2024#", ErrorKind::BadDate, 1},
      {"#13/01/2024#", ErrorKind::BadDate, 1},
      {"#01/01/24#", ErrorKind::BadDate, 1},
      {"#2024-13-01#", ErrorKind::BadDate, 1},
      {"#01/01/2024 25:00#", ErrorKind::BadDate, 1},
      {"#oggi#", ErrorKind::BadDate, 1},
      {"#3/1/2024 13:05 PM#", ErrorKind::BadDate, 1},
      {"é = #1#", ErrorKind::BadDate, 5},
  };
  for (const Case& c : cases) {
    try {
      Tokenize(c.text);
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const JetError& e) {
      EXPECT_EQ(e.kind(), c.kind) << c.text << ": " << e.message();
      EXPECT_EQ(e.position(), c.position) << c.text << ": " << e.message();
      EXPECT_THAT(e.message(), ::testing::HasSubstr(std::to_string(c.position))) << c.text;
    }
  }
}

TEST(TokenizerTest, RefusesOverlongText) {
  std::string text(kMaxQueryText + 1, 'a');
  EXPECT_THROW(Tokenize(text), JetError);
  EXPECT_NO_THROW(Tokenize(std::string(1000, 'a')));
}

}  // namespace
}  // namespace tillbook::jet
