#include "base/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <unordered_set>

namespace tillbook::text {
namespace {

TEST(TextTest, CaseMappingKnowsAccentedLetters) {
  struct Case {
    const char* text;
    const char* upper;
    const char* lower;
    const char* noAccents;
  };
  const Case cases[] = {
      {"", "", "", ""},
      {"Città", "CITTÀ", "città", "citta"},
      {"perché PERCHÉ", "PERCHÉ PERCHÉ", "perché perché", "perche perche"},
      {"àèéìòù", "ÀÈÉÌÒÙ", "àèéìòù", "aeeiou"},
      {"ÀÈÉÌÒÙ", "ÀÈÉÌÒÙ", "àèéìòù", "aeeiou"},
      {"Ça ñ ü ß", "ÇA Ñ Ü ß", "ça ñ ü ß", "ca n u ss"},
      {"Œuvre Æther", "ŒUVRE ÆTHER", "œuvre æther", "oeuvre aether"},
      {"Łódź Škoda", "ŁÓDŹ ŠKODA", "łódź škoda", "lodz skoda"},
      {"ÿŸ", "ŸŸ", "ÿÿ", "yy"},
      {"Ĳssel ĸ ŉ", "ĲSSEL ĸ ŉ", "ĳssel ĸ ŉ", "ijssel k n"},
      {"× ÷ µ", "× ÷ µ", "× ÷ µ", "× ÷ µ"},  // not letters, or outside the mapped blocks
      {"Ωmega Жук €", "ΩMEGA Жук €", "Ωmega Жук €", "Ωmega Жук €"},
      {"A1-b2_Z", "A1-B2_Z", "a1-b2_z", "a1-b2_z"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Upper(c.text), c.upper) << c.text;
    EXPECT_EQ(Lower(c.text), c.lower) << c.text;
    EXPECT_EQ(FoldNoAccents(c.text), c.noAccents) << c.text;
  }
  EXPECT_EQ(Fold("ſtraße"), "straße");  // the long s folds; ß has no simple fold
  EXPECT_EQ(Upper("ſ"), "S");
  EXPECT_EQ(Lower("İ"), "i");
  EXPECT_EQ(Upper("ı"), "I");
}

TEST(TextTest, InvalidBytesPassThroughUnchanged) {
  const std::string broken = "a\xC3(b\xFF\xE0\x80\xAF";
  EXPECT_EQ(Upper(broken), "A\xC3(B\xFF\xE0\x80\xAF");
  EXPECT_EQ(Lower("A\xC3"), "a\xC3");
  EXPECT_EQ(Length(broken), 8u);
}

TEST(TextTest, CompareNoCaseIgnoresCaseButNotAccents) {
  struct Case {
    const char* a;
    const char* b;
    int sign;
  };
  const Case cases[] = {
      {"Italia", "ITALIA", 0},
      {"città", "CITTÀ", 0},
      {"Città", "Citta", 1},
      {"abc", "abd", -1},
      {"ABC", "abd", -1},
      {"abc", "ab", 1},
      {"", "", 0},
      {"", "a", -1},
      {"é", "É", 0},
      {"e", "é", -1},
      {"Zeta", "Àrea", -1},
      {"ſ", "S", 0},
      {"straße", "STRASSE", 1},
      {"Ærø", "æRØ", 0},
      {"\xFF", "\xFE", 1},
      {"a\xFF", "A\xFF", 0},
  };
  for (const auto& c : cases) {
    const int result = CompareNoCase(c.a, c.b);
    EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.a << " vs " << c.b;
    const int reverse = CompareNoCase(c.b, c.a);
    EXPECT_EQ((reverse > 0) - (reverse < 0), -c.sign) << c.b << " vs " << c.a;
  }
  EXPECT_TRUE(EqualNoCase("PERCHÉ", "perché"));
  EXPECT_FALSE(EqualNoCase("perche", "perché"));
}

TEST(TextTest, SortOrderIsLettersThenAccentsThenCase) {
  // Unaccented before accented; between accents, the order of the accented letters' code
  // points (grave before acute); case last, decided by the first letter whose case differs.
  const std::vector<std::string> expected = {
      "abete", "alfa",  "area",  "Area",  "AREA",  "àrea",   "Àrea",   "ARIA",   "Beta", "caffè",
      "Caffè", "città", "ciTTà", "Città", "citte", "perche", "perchè", "perché", "Zeta",
  };
  std::vector<std::string> shuffled = expected;
  std::reverse(shuffled.begin(), shuffled.end());
  std::rotate(shuffled.begin(), shuffled.begin() + 7, shuffled.end());
  std::sort(shuffled.begin(), shuffled.end(),
            [](const std::string& a, const std::string& b) { return CompareForSort(a, b) < 0; });
  EXPECT_EQ(shuffled, expected);
}

TEST(TextTest, SortComparisonIsATotalOrder) {
  struct Case {
    const char* a;
    const char* b;
    int sign;
  };
  const Case cases[] = {
      {"area", "àrea", -1},
      {"àrea", "areb", -1},
      {"Area", "area", 1},
      {"àrea", "ARIA", -1},
      {"ae", "æ", -1},
      {"æ", "af", -1},
      {"ss", "ß", -1},
      {"ß", "st", -1},
      {"a", "a", 0},
      {"", "a", -1},
      {"a b", "ab", -1},
      {"s", "ſ", -1},
      {"rèsume", "résume", -1},  // accents compared left to right
      {"Rèsume", "rèsumE", 1},   // the first capital decides
  };
  for (const auto& c : cases) {
    const int result = CompareForSort(c.a, c.b);
    EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.a << " vs " << c.b;
    const int reverse = CompareForSort(c.b, c.a);
    EXPECT_EQ((reverse > 0) - (reverse < 0), -c.sign) << c.b << " vs " << c.a;
  }
}

// The comparisons work on the raw text with shortcuts for ASCII; on valid UTF-8 they must agree
// with the byte order of the folded forms, since UTF-8 byte order is code point order.
TEST(TextTest, ComparisonsAgreeWithTheFoldedForms) {
  const char* pieces[] = {"a", "A", "b", "B", "à", "À", "é", "É",
                          "e", "ß", "s", "S", "æ", " ", "€"};
  uint32_t seed = 12345;
  auto next = [&seed] { return (seed = seed * 1103515245 + 12345) >> 16; };
  auto randomText = [&] {
    std::string s = next() % 2 ? "Prefisso comune " : "";
    for (unsigned n = next() % 6; n > 0; --n) s += pieces[next() % std::size(pieces)];
    return s;
  };
  auto sign = [](int x) { return (x > 0) - (x < 0); };
  for (int round = 0; round < 20000; ++round) {
    const std::string a = randomText();
    const std::string b = randomText();
    const int noCase = sign(CompareNoCase(a, b));
    ASSERT_EQ(noCase, sign(Fold(a).compare(Fold(b)))) << a << " vs " << b;
    if (noCase == 0) {
      ASSERT_EQ(NoCaseHash()(a), NoCaseHash()(b)) << a << " vs " << b;
    }
    const int sorted = sign(CompareForSort(a, b));
    ASSERT_EQ(sorted, -sign(CompareForSort(b, a))) << a << " vs " << b;
    ASSERT_EQ(sorted == 0, a == b) << a << " vs " << b;
    const std::string pa = FoldNoAccents(a);
    const std::string pb = FoldNoAccents(b);
    if (pa != pb) {
      ASSERT_EQ(sorted, sign(pa.compare(pb))) << a << " vs " << b;
    }
  }
}

TEST(TextTest, ComparisonsResynchroniseAfterInvalidBytes) {
  // The same lead byte starts a valid letter in one text and stands alone in the other.
  EXPECT_GT(CompareNoCase("x\xC3"
                          "A",
                          "x\xC3\xA9"),
            0);
  EXPECT_LT(CompareNoCase("x\xC3\xA9",
                          "X\xC3"
                          "A"),
            0);
  EXPECT_EQ(CompareNoCase("x\xC3\xA9", "X\xC3\x89"), 0);  // é and É after a case difference
  EXPECT_GT(CompareForSort("x\xC3"
                           "A",
                           "x\xC3\xA9"),
            0);
  EXPECT_LT(CompareForSort("xe\xC3\xA9", "XE\xC3\x89"), 0);
}

TEST(TextTest, NoCaseHashAgreesWithEquality) {
  std::unordered_set<std::string, NoCaseHash, NoCaseEqual> names = {"Quantità", "Prezzo"};
  EXPECT_EQ(names.count("QUANTITÀ"), 1u);
  EXPECT_EQ(names.count("prezzo"), 1u);
  EXPECT_EQ(names.count("Quantita"), 0u);
  EXPECT_EQ(NoCaseHash()("ÀRea"), NoCaseHash()("àrea"));
  EXPECT_NE(NoCaseHash()("area"), NoCaseHash()("àrea"));
}

TEST(TextTest, LengthTrimSplitValidity) {
  EXPECT_EQ(Length(""), 0u);
  EXPECT_EQ(Length("città"), 5u);
  EXPECT_EQ(Length("€ 5"), 3u);
  EXPECT_EQ(Length("\xF0\x9F\x98\x80!"), 2u);
  EXPECT_EQ(Trim("  \t a b \r\n"), "a b");
  EXPECT_EQ(Trim(" \t "), "");
  EXPECT_EQ(Split("a,,b,", ','), (std::vector<std::string>{"a", "", "b", ""}));
  EXPECT_EQ(Split("", ','), (std::vector<std::string>{""}));
  EXPECT_EQ(Split("città;perché", ';'), (std::vector<std::string>{"città", "perché"}));

  const struct {
    const char* bytes;
    bool valid;
  } cases[] = {
      {"plain", true},         {"città €", true},           {"\xF0\x9F\x98\x80", true},
      {"\xC3", false},         {"\xC0\xAF", false},         {"\xE0\x80\xAF", false},
      {"\xED\xA0\x80", false}, {"\xF4\x90\x80\x80", false}, {"\x80", false},
      {"\xEF\xBF\xBF", true},  {"\xF4\x8F\xBF\xBF", true},
  };
  for (const auto& c : cases) EXPECT_EQ(IsValidUtf8(c.bytes), c.valid) << c.bytes;
}

}  // namespace
}  // namespace tillbook::text
