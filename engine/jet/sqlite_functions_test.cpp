#include "engine/jet/sqlite_functions.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

namespace tillbook::jet {
namespace {

TEST(JetLikeTest, Wildcards) {
  struct Case {
    const char* value;
    const char* pattern;
    bool match;
  } cases[] = {
      {"Martello", "M*", true},
      {"Martello", "*ELLO", true},
      {"Martello", "*tel*", true},
      {"Martello", "M?rtello", true},
      {"Martello", "M?tello", false},
      {"Martello", "Martello*", true},
      {"Martello", "*", true},
      {"", "*", true},
      {"", "?", false},
      {"ART001", "ART###", true},
      {"ART0A1", "ART###", false},
      {"ART001", "ART00[1-3]", true},
      {"ART004", "ART00[1-3]", false},
      {"ART004", "ART00[!1-3]", true},
      {"b", "[abc]", true},
      {"d", "[abc]", false},
      {"a*b", "a[*]b", true},
      {"axb", "a[*]b", false},
      {"a?b", "a[?]b", true},
      {"a#b", "a[#]b", true},
      {"[INSOLUTO] rata 2", "*[[]INSOLUTO]*", true},
      {"INSOLUTO rata 2", "*[[]INSOLUTO]*", false},
      {"rata N", "*[INSOLUTO]*", true},  // a group of letters, as the original engine reads it
      {"ab", "a[]b", true},
      {"prezzo 50%", "*50%*", true},
      {"prezzo 500", "*50%*", false},
      {"a_b", "a_b", true},
      {"axb", "a_b", false},
      {"CITTÀ", "*città*", true},
      {"Città", "*citta*", false},
      {"aaa", "*a*a*a*", true},
      {"aa", "*a*a*a*", false},
      {"abcabd", "*abd", true},
      {"[x", "[x", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(JetLike(c.value, c.pattern), c.match) << c.value << " Like " << c.pattern;
  }
}

class SqliteFunctionsTest : public ::testing::Test {
 protected:
  SqliteFunctionsTest() {
    sqlite3_open(":memory:", &db_);
    RegisterJetFunctions(db_);
  }
  ~SqliteFunctionsTest() override { sqlite3_close(db_); }
  std::string Eval(const std::string& expr) {
    sqlite3_stmt* stmt = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db_, ("SELECT " + expr).c_str(), -1, &stmt, nullptr), SQLITE_OK);
    std::string out = "?";
    if (sqlite3_step(stmt) == SQLITE_ROW) {
      const unsigned char* s = sqlite3_column_text(stmt, 0);
      out = s ? reinterpret_cast<const char*>(s) : "NULL";
    }
    sqlite3_finalize(stmt);
    return out;
  }
  sqlite3* db_ = nullptr;
};

TEST_F(SqliteFunctionsTest, RegisteredFunctions) {
  EXPECT_EQ(Eval("jet_like('Città di Castello', '*CITTÀ*')"), "1");
  EXPECT_EQ(Eval("jet_like('Milano', '*CITTÀ*')"), "0");
  EXPECT_EQ(Eval("jet_like(NULL, '*')"), "NULL");
  EXPECT_EQ(Eval("jet_like(123, '1#3')"), "1");
  EXPECT_EQ(Eval("jet_upper('città')"), "CITTÀ");
  EXPECT_EQ(Eval("jet_lower('PERCHÉ')"), "perché");
  EXPECT_EQ(Eval("jet_upper(NULL)"), "NULL");
  EXPECT_EQ(Eval("jet_pow(2, 10)"), "1024.0");
  EXPECT_EQ(Eval("jet_pow(0, -1)"), "NULL");
}

}  // namespace
}  // namespace tillbook::jet
