// Operators and the Variant rules, as scripts see them: each row is an expression and what
// WScript.Echo prints for it under the Italian locale ("ERR n" for a run-time error).
#include <gtest/gtest.h>

#include "vbscript/test_support.h"

namespace tillbook::vbscript {
namespace {

using testing::Check;
using testing::Show;

TEST(Operators, ResultSubtypesWidenInsteadOfOverflowing) {
  Check({
      {"TypeName(1 + 1)", "Integer"},
      {"32767 + 1", "32768"},
      {"TypeName(32767 + 1)", "Long"},
      {"200 * 200", "40000"},
      {"TypeName(2147483647 + 1)", "Double"},
      {"2147483647 + 1", "2147483648"},
      {"TypeName(Empty + Empty)", "Integer"},
      {"True + True", "-2"},
      {"TypeName(True + True)", "Integer"},
      {"TypeName(4 / 2)", "Double"},
      {"4 / 2", "2"},
      {"TypeName(2 ^ 2)", "Double"},
      {"TypeName(CByte(200) + CByte(100))", "Integer"},
      {"TypeName(CLng(1) + 1)", "Long"},
      {"TypeName(-32768)", "Long"},
      {"TypeName(&HFFFF)", "Integer"},
      {"&HFFFF", "-1"},
      {"&H10000", "65536"},
      {"TypeName(1.5 + 1)", "Double"},
      {"TypeName(CCur(1) + 1)", "Currency"},
  });
}

TEST(Operators, IntegerDivisionModAndPower) {
  Check({
      {"7 \\ 2", "3"},
      {"-7 \\ 2", "-3"},
      {"7.5 \\ 2", "4"},
      {"6.5 \\ 2", "3"},
      {"-7 Mod 3", "-1"},
      {"7 Mod -3", "1"},
      {"19 Mod 6.7", "5"},
      {"12 Mod 4.3", "0"},
      {"12.6 Mod 5", "3"},
      {"5 \\ 0.4", "ERR 11"},
      {"1 / 0", "ERR 11"},
      {"5 Mod 0", "ERR 11"},
      {"0 / 0", "ERR 6"},
      {"-2 ^ 2", "4"},
      {"2 ^ -1", "0,5"},
      {"2 ^ 3 ^ 2", "64"},
  });
}

TEST(Operators, Precedence) {
  Check({
      {"10 - 7 Mod 4", "7"},
      {"2 * 7 Mod 4", "2"},
      {"7 Mod 4 * 2", "7"},
      {"10 \\ 3 * 2", "1"},
      {"8 \\ 2 / 2", "8"},
      {"17 Mod 5 \\ 2", "1"},
      {"\"a\" & 1 + 2", "a3"},
      {"1 + 2 & 3", "33"},
      {"Not 1 = 2", "True"},
      {"1 < 2 < 3", "True"},
      {"3 > 2 > 1", "False"},
  });
}

TEST(Operators, ConcatenationAndAddition) {
  Check({
      {"\"1\" + 2", "3"},
      {"TypeName(\"1\" + 2)", "Double"},
      {"\"a\" + \"b\"", "ab"},
      {"Empty + \"abc\"", "abc"},
      {"\"a\" + 1", "ERR 13"},
      {"\"x\" & 1.5", "x1,5"},
      {"Null & \"x\"", "x"},
      {"IsNull(Null & Null)", "True"},
      {"IsNull(Null + 1)", "True"},
      {"IsNull(Null * 0)", "True"},
      {"\"a\" & Empty & \"b\"", "ab"},
      {"TypeName(1 & 2)", "String"},
  });
  Check({{"\"x\" & 1.5", "x1.5"}}, true);
}

TEST(Operators, BooleansAndBitwiseLogic) {
  Check({
      {"CInt(True)", "-1"},
      {"True + 1", "0"},
      {"(1 = 1) * 5", "-5"},
      {"Abs(1 = 1)", "1"},
      {"Not 0", "-1"},
      {"Not 5", "-6"},
      {"Not True", "False"},
      {"6 And 3", "2"},
      {"6 Or 3", "7"},
      {"6 Xor 3", "5"},
      {"12 And 10", "8"},
      {"True And False", "False"},
      {"True Eqv True", "True"},
      {"False Imp False", "True"},
      {"IsNull(Null And True)", "True"},
      {"Null And False", "False"},
      {"Null Or True", "True"},
      {"IsNull(Null Or False)", "True"},
      {"IsNull(Not Null)", "True"},
      {"IsNull(Null Xor True)", "True"},
  });
}

TEST(Operators, Comparisons) {
  Check({
      {"\"a\" = \"A\"", "False"},
      {"\"B\" < \"a\"", "True"},
      {"\"10\" < \"9\"", "True"},
      {"\"abc\" < \"abcd\"", "True"},
      {"\"1\" = 1", "True"},
      {"Empty = 0", "True"},
      {"Empty = \"\"", "True"},
      {"Empty = Empty", "True"},
      {"IsNull(Null = Null)", "True"},
      {"IsNull(1 < Null)", "True"},
      {"CCur(0.1) + CCur(0.2) = CCur(0.3)", "True"},
      {"0.1 + 0.2 = 0.3", "False"},
      {"#1/2/2024# > #1/1/2024#", "True"},
      {"TypeName(1 = 1)", "Boolean"},
  });
  // Values held in variables: a number is always less than a string.
  EXPECT_EQ(testing::Output("s = \"5\": n = 10\nWScript.Echo s > n, s = n, n < s"),
            "True False True");
  EXPECT_EQ(testing::Output("Set a = Nothing\nWScript.Echo a Is Nothing\nWScript.Echo 1 Is 2"),
            "True\nERR 424");
}

TEST(Operators, DateArithmetic) {
  Check({
      {"#1/31/2024# + 1", "01/02/2024"},
      {"TypeName(#1/31/2024# + 1)", "Date"},
      {"#3/1/2024# - #2/1/2024#", "29"},
      {"TypeName(#3/1/2024# - #2/1/2024#)", "Double"},
      {"#1/5/2024# - 0.5", "04/01/2024 12:00:00"},
  });
}

}  // namespace
}  // namespace tillbook::vbscript
