// RegExp: properties, Test, Execute with its matches and submatches, Replace, the dialect's
// rules, syntax errors, and the bound on patterns that backtrack without end.
#include <gtest/gtest.h>

#include <string>

#include "vbscript/test_support.h"

namespace tillbook::vbscript {
namespace {

using testing::Output;

// Runs `body` with `re` a new RegExp of the given pattern.
std::string WithPattern(const std::string& pattern, const std::string& body) {
  return Output("Set re = New RegExp\nre.Pattern = \"" + pattern + "\"\n" + body);
}

struct Case {
  const char* name;
  const char* pattern;
  const char* body;
  const char* expected;
};

void CheckCases(std::initializer_list<Case> cases) {
  for (const auto& c : cases) EXPECT_EQ(WithPattern(c.pattern, c.body), c.expected) << c.name;
}

TEST(RegExp, CreatedByNewAndByCreateObject) {
  EXPECT_EQ(Output("Set a = New RegExp\nSet b = CreateObject(\"VBScript.RegExp\")\n"
                   "WScript.Echo TypeName(a), TypeName(b), a.Global, a.IgnoreCase, a.Multiline, "
                   "\"[\" & a.Pattern & \"]\""),
            "IRegExp2 IRegExp2 False False False []");
  // A script's own class of that name comes first.
  EXPECT_EQ(Output("Class RegExp\nPublic Pattern\nEnd Class\nSet a = New RegExp\n"
                   "WScript.Echo TypeName(a)"),
            "RegExp");
}

TEST(RegExp, TestAndFlags) {
  CheckCases({
      {"plain", "b+", "WScript.Echo re.Test(\"abbc\"), re.Test(\"ac\")", "True False"},
      {"case by default", "ABC", "WScript.Echo re.Test(\"xabcx\")", "False"},
      {"IgnoreCase", "ABC", "re.IgnoreCase = True\nWScript.Echo re.Test(\"xabcx\")", "True"},
      {"IgnoreCase beyond ASCII", "È", "re.IgnoreCase = True\nWScript.Echo re.Test(\"caffè\")",
       "True"},
      {"$ only at the end", "a$", "WScript.Echo re.Test(\"a\" & vbLf & \"b\")", "False"},
      {"Multiline $ before LF", "a$",
       "re.Multiline = True\nWScript.Echo re.Test(\"a\" & vbLf & \"b\")", "True"},
      {"Multiline $ before CR LF", "^a$",
       "re.Multiline = True\nWScript.Echo re.Test(\"x\" & vbCrLf & \"a\" & vbCrLf)", "True"},
      {"dot stops at LF", "a.b", "WScript.Echo re.Test(\"a\" & vbLf & \"b\"), re.Test(\"axb\")",
       "False True"},
      {"\\d \\w \\s", "^\\d{3}-\\w+\\s$", "WScript.Echo re.Test(\"123-ab_c \")", "True"},
      {"\\u escapes", "\\u0041\\x42", "WScript.Echo re.Test(\"AB\")", "True"},
      {"unset backreference matches empty", "(a)?b\\1", "WScript.Echo re.Test(\"b\")", "True"},
      {"pattern changed after use", "a",
       "x = re.Test(\"b\")\nre.Pattern = \"b\"\nWScript.Echo x, re.Test(\"b\")", "False True"},
  });
}

TEST(RegExp, Execute) {
  CheckCases({
      {"first match only without Global", "\\d+",
       "Set ms = re.Execute(\"a12 b345\")\nWScript.Echo ms.Count, ms(0).Value, ms(0).FirstIndex, "
       "ms(0).Length",
       "1 12 1 2"},
      {"every match with Global", "\\d+",
       "re.Global = True\nSet ms = re.Execute(\"a12 b345\")\nFor Each m In ms\n"
       "WScript.Echo m, m.FirstIndex, m.Length\nNext",
       "12 1 2\n345 5 3"},
      {"positions count characters", "z",
       "re.Global = True\nSet ms = re.Execute(\"àèz€z\")\nWScript.Echo ms(0).FirstIndex, "
       "ms(1).FirstIndex",
       "2 4"},
      {"submatches", "(\\w+)@(\\w+)(x)?",
       "Set m = re.Execute(\"mail: anna@shop\")(0)\nWScript.Echo m.SubMatches.Count, "
       "m.SubMatches(0), m.SubMatches(1), IsEmpty(m.SubMatches(2))",
       "3 anna shop True"},
      {"submatches enumerated", "(a)(b)",
       "For Each s In re.Execute(\"ab\")(0).SubMatches\nWScript.Echo s\nNext", "a\nb"},
      {"no match", "q", "WScript.Echo re.Execute(\"abc\").Count", "0"},
      {"empty matches advance", "x*", "re.Global = True\nWScript.Echo re.Execute(\"ab\").Count",
       "3"},
      {"item out of range", "a", "Set ms = re.Execute(\"a\")\nx = ms(1)", "ERR 5"},
      {"a match is read-only", "a", "Set ms = re.Execute(\"a\")\nms(0).Value = 1", "ERR 5008"},
  });
}

TEST(RegExp, Replace) {
  CheckCases({
      {"first only", "o", "WScript.Echo re.Replace(\"foo\", \"0\")", "f0o"},
      {"Global", "o", "re.Global = True\nWScript.Echo re.Replace(\"foo\", \"0\")", "f00"},
      {"groups swapped", "(\\w+) (\\w+)", "WScript.Echo re.Replace(\"Rossi Mario\", \"$2 $1\")",
       "Mario Rossi"},
      {"whole match, before, after, dollar", "b",
       "WScript.Echo re.Replace(\"abc\", \"[$&|$`|$'|$$]\")", "a[b|a|c|$]c"},
      {"group past the count stays", "(a)", "WScript.Echo re.Replace(\"a\", \"$2$1$\")", "$2a$"},
      {"two-digit group falls back to one", "(a)", "WScript.Echo re.Replace(\"a\", \"$10\")", "a0"},
      {"empty matches between characters", "x*",
       "re.Global = True\nWScript.Echo re.Replace(\"ab\", \"-\")", "-a-b-"},
      {"multiline anchors", "^",
       "re.Global = True\nre.Multiline = True\nWScript.Echo re.Replace(\"a\" & vbLf & \"b\", "
       "\"> \")",
       "> a\n> b"},
  });
}

TEST(RegExp, SyntaxErrors) {
  CheckCases({
      {"missing )", "(a", "x = re.Test(\"a\")", "ERR 5020"},
      {"missing ]", "[a", "x = re.Test(\"a\")", "ERR 5019"},
      {"nothing to repeat", "*a", "x = re.Test(\"a\")", "ERR 5018"},
      {"range out of order", "[z-a]", "x = re.Test(\"a\")", "ERR 5021"},
      {"caught by On Error", "(a",
       "On Error Resume Next\nx = re.Test(\"a\")\nWScript.Echo Err.Number", "5020"},
  });
}

TEST(RegExp, RunawayBacktrackingStopsWithAnError) {
  std::string subject(40, 'a');
  EXPECT_EQ(WithPattern("^(a|aa|a?)+$", "x = re.Test(\"" + subject + "!\")"), "ERR 16");
  // A sensible pattern on a long text stays within the bound.
  EXPECT_EQ(WithPattern("(\\w+)\\s",
                        "re.Global = True\nWScript.Echo re.Execute(Replace(Space("
                        "20000), \" \", \"parola \")).Count"),
            "20000");
}

}  // namespace
}  // namespace tillbook::vbscript
