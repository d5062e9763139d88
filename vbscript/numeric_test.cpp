// The numeric fast path (locals, array elements, + - * / \ Mod and comparisons evaluated
// without Variants) must give what the general operators give: the same values, subtypes and
// errors, inside procedures and at the top level alike.
#include <gtest/gtest.h>

#include "vbscript/test_support.h"

namespace tillbook::vbscript {
namespace {

struct Row {
  const char* setup;       // statements before the expression
  const char* expression;  // echoed as TypeName & " " & value
  const char* expected;
};

constexpr Row kRows[] = {
    {"x = 32767", "x + 1", "Long 32768"},
    {"x = 32767", "x - -1", "Long 32768"},
    {"x = 200", "x * x", "Long 40000"},
    {"x = 2147483647", "x + 1", "Double 2147483648"},
    {"x = 100000", "x * x", "Double 10000000000"},
    {"x = 5", "x + 1", "Integer 6"},
    {"x = CLng(5)", "x + 1", "Long 6"},
    {"x = 7.5", "x \\ 2", "Long 4"},
    {"x = 6.5", "x Mod 4", "Long 2"},
    {"x = -7", "x Mod 3", "Integer -1"},
    {"x = -7", "x \\ 2", "Integer -3"},
    {"x = 4", "x / 2", "Double 2"},
    {"x = 1.5", "x * 2", "Double 3"},
    {"x = 0.1", "x + 0.2", "Double 0,3"},
    {"Dim e", "e + 1", "Integer 1"},
    {"x = -32768", "-x", "Long 32768"},
    {"Dim a(3): a(1) = 32767", "a(1) + 1", "Long 32768"},
    {"Dim a(3): a(1) = 2.5: i = 1", "a(i) * 2", "Double 5"},
    {"Dim a(3): a(2) = 7: i = 1.5", "a(i)", "Integer 7"},
    {"x = \"4\"", "x + 1", "Double 5"},
    {"x = True", "x + 1", "Integer 0"},
    {"x = Null", "IsNull(x + 1)", "Boolean True"},
    {"x = 3", "x > 2.5", "Boolean True"},
    {"x = 0.1 + 0.2", "x = 0.3", "Boolean False"},
    {"x = 5", "x = \"5\"", "Boolean True"},
    {"x = #1/5/2024#", "x + 1", "Date 06/01/2024"},
};

std::string Script(const Row& r, bool inProcedure) {
  std::string body = std::string(r.setup) + "\nv = " + r.expression + "\nWScript.Echo TypeName(v) & \" \" & v";
  if (!inProcedure) return body;
  return "Sub Test()\n" + body + "\nEnd Sub\nTest";
}

TEST(NumericFastPath, SameResultsAsTheGeneralRules) {
  for (const auto& r : kRows) {
    EXPECT_EQ(testing::Output(Script(r, true)), r.expected) << "in a procedure: " << r.expression;
    EXPECT_EQ(testing::Output(Script(r, false)), r.expected) << "at the top: " << r.expression;
  }
}

TEST(NumericFastPath, SameErrors) {
  struct Case {
    const char* setup;
    const char* expression;
    const char* expected;
  } cases[] = {
      {"x = 0", "5 / x", "ERR 11"},
      {"x = 0", "0 / x", "ERR 6"},
      {"x = 0", "5 \\ x", "ERR 11"},
      {"x = 0.4", "5 Mod x", "ERR 11"},
      {"x = 3E9", "x \\ 2", "ERR 6"},
      {"Dim a(2): i = 3", "a(i) + 1", "ERR 9"},
      {"x = \"a\"", "x * 2", "ERR 13"},
  };
  for (const auto& c : cases) {
    Row r{c.setup, c.expression, c.expected};
    EXPECT_EQ(testing::Output(Script(r, true)), c.expected) << c.expression;
    EXPECT_EQ(testing::Output(Script(r, false)), c.expected) << c.expression;
  }
}

TEST(NumericFastPath, LoopsAndAccumulators) {
  EXPECT_EQ(testing::Output("Function Sum(n)\n Dim i, t, a(9)\n For i = 1 To n\n  a(i Mod 10) = a(i Mod 10) + i\n"
                            "  t = t + i * 0.5\n Next\n Sum = a(3) & \" \" & t & \" \" & TypeName(i)\nEnd Function\n"
                            "WScript.Echo Sum(40000)"),
            "79992000 400010000 Long");
}

// Functions whose body is one arithmetic assignment are evaluated without a full call: they must
// give what the call gives, and leave to it whatever the general rules decide.
TEST(NumericFastPath, ArithmeticFunctions) {
  const std::string f =
      "Function W(a, b)\n W = (a * 3 + b) Mod 97\nEnd Function\n"
      "Function Twice(x)\n Twice = x * 2\nEnd Function\n";
  struct Case {
    const char* expression;
    const char* expected;
  } cases[] = {
      {"W(i, k)", "Integer 31"},          {"W(i, 2) + W(k, 1)", "Integer 36"},
      {"Twice(16384)", "Long 32768"},     {"Twice(1073741824)", "Double 2147483648"},
      {"Twice(\"4\")", "Double 8"},       {"Twice(s)", "ERR 13"},
      {"Twice(Twice(l))", "Long 400000"}, {"W(i, z)", "ERR 13"},
  };
  for (const auto& c : cases) {
    std::string body =
        "i = 10: k = 1: l = 100000: s = \"a\": z = \"b\"\nv = " + std::string(c.expression) +
        "\nWScript.Echo TypeName(v) & \" \" & v";
    EXPECT_EQ(testing::Output(f + "Sub T()\n" + body + "\nEnd Sub\nT"), c.expected) << c.expression;
    EXPECT_EQ(testing::Output(f + body), c.expected) << c.expression;
  }
  // The error of the general path carries the line inside the Function.
  EXPECT_EQ(testing::Run(
                "Function Half(x)\n Half = x / 0\nEnd Function\nSub T()\n v = Half(3)\nEnd Sub\nT")
                .line,
            2);
  // A Function that reaches itself still recurses by the general path, up to the depth limit.
  EXPECT_EQ(testing::Output("Function R(n)\n R = R(n) + 1\nEnd Function\nv = R(1)"), "ERR 28");
}

TEST(StringBuilding, AppendsInPlaceWithTheSameMeaning) {
  EXPECT_EQ(testing::Output("Sub T()\n s = \"a\"\n For i = 1 To 3\n  s = s & i & \",\"\n  s = s & 1.5\n Next\n"
                            " WScript.Echo s\nEnd Sub\nT"),
            "a1,1,52,1,53,1,5");
  EXPECT_EQ(testing::Output("Sub T()\n s = \"ab\"\n For i = 1 To 3\n  s = s & s\n Next\n WScript.Echo Len(s), Left(s, 4)\n"
                            "End Sub\nT"),
            "16 abab");
  // The right side is read before the text changes.
  EXPECT_EQ(testing::Output("Function F(t)\n t = \"x\"\n F = \"y\"\nEnd Function\nSub T()\n s = \"a\"\n"
                            " s = s & F(s)\n WScript.Echo s\nEnd Sub\nT"),
            "ay");
  EXPECT_EQ(testing::Output("Sub T()\n s = 5\n s = s & \"a\"\n n = Null\n s = s & n\n WScript.Echo s, TypeName(s)\n"
                            "End Sub\nT"),
            "5a String");
}

}  // namespace
}  // namespace tillbook::vbscript
