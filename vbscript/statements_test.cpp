// Statements, arrays and the Empty/Null rules, run as whole scripts.
#include <gtest/gtest.h>

#include "vbscript/test_support.h"

namespace tillbook::vbscript {
namespace {

using testing::Output;

struct Script {
  const char* name;
  const char* source;
  const char* expected;
};

void Check(std::initializer_list<Script> scripts) {
  for (const auto& s : scripts) EXPECT_EQ(Output(s.source), s.expected) << s.name;
}

TEST(Statements, Loops) {
  Check({
      {"for leaves the first value past the limit",
       "For i = 1 To 3: Next\nFor j = 1 To 10 Step 3: Next\nFor k = 5 To 1: Next\n"
       "WScript.Echo i, j, k",
       "4 13 5"},
      {"for evaluates its limit once",
       "n = 3\nFor i = 1 To n\n  n = 10: c = c + 1\nNext\nWScript.Echo c", "3"},
      {"negative and fractional steps",
       "For i = 3 To 1 Step -1: s = s & i: Next\nFor x = 0 To 1 Step 0.25: c = c + 1: Next\n"
       "WScript.Echo s, c",
       "321 5"},
      {"assigning the counter changes the iteration",
       "For i = 1 To 10\n  If i = 2 Then i = 8\n  s = s & i & \",\"\nNext\nWScript.Echo s",
       "1,8,9,10,"},
      {"exit for leaves only the inner loop",
       "For i = 1 To 3\n For j = 1 To 3\n  If j = 2 Then Exit For\n Next\n c = c + j\nNext\n"
       "WScript.Echo i, c",
       "4 6"},
      {"next closing two loops", "For i = 1 To 2\nFor j = 1 To 2\nc = c + 1\nNext j, i\nWScript.Echo c",
       "4"},
      {"do forms",
       "Do While a < 3: a = a + 1: Loop\nDo Until b >= 3: b = b + 1: Loop\n"
       "Do: c = c + 1: Loop While c < 0\nDo: d = d + 1: Loop Until True\n"
       "Do\n e = e + 1\n If e = 4 Then Exit Do\nLoop\nWScript.Echo a, b, c, d, e",
       "3 3 1 1 4"},
      {"while wend", "While n < 5\n n = n + 2\nWend\nWScript.Echo n", "6"},
      {"for each copies the elements",
       "a = Array(1, 2, 3)\nFor Each x In a\n x = x * 10\n s = s + x\nNext\nWScript.Echo s, a(0)",
       "60 1"},
      {"for each over an empty array", "For Each x In Array()\n c = 1\nNext\nWScript.Echo IsEmpty(c)",
       "True"},
      {"for each over a number", "For Each x In 5\nNext", "ERR 451"},
  });
}

TEST(Statements, IfAndSelect) {
  Check({
      {"single-line forms",
       "x = 2\nIf x = 1 Then a = \"one\" Else a = \"other\": b = 1\n"
       "If x = 2 Then c = 1: d = 2\nWScript.Echo a, b, c, d",
       "other 1 1 2"},
      {"nested single-line if takes the else", "If True Then If False Then a = 1 Else a = 2\nWScript.Echo a",
       "2"},
      {"block form with elseif",
       "For x = 1 To 3\n If x = 1 Then\n  s = s & \"a\"\n ElseIf x = 2 Then\n  s = s & \"b\"\n"
       " Else\n  s = s & \"c\"\n End If\nNext\nWScript.Echo s",
       "abc"},
      {"then followed by a comment opens a block",
       "If True Then ' note\n a = 1\nEnd If\nWScript.Echo a", "1"},
      {"null conditions are false in both directions",
       "x = Null\nIf x = 1 Then a = 1 Else a = 2\nIf Not (x = 1) Then b = 1 Else b = 2\nWScript.Echo a, b",
       "2 2"},
      {"no short-circuit", "Dim n\nFunction T(v)\n n = n + 1: T = v\nEnd Function\nIf T(False) And T(True) Then x = 1\n"
       "WScript.Echo n", "2"},
      {"select first match, lists and else",
       "For Each v In Array(1, 4, \"x\", 9)\n Select Case v\n  Case 1, 2: s = s & \"a\"\n"
       "  Case 4, 1: s = s & \"b\"\n  Case \"x\": s = s & \"c\"\n  Case Else: s = s & \"d\"\n"
       " End Select\nNext\nWScript.Echo s",
       "abcd"},
      {"select case true",
       "n = 15\nSelect Case True\n Case n < 10: s = \"small\"\n Case n < 20: s = \"medium\"\n"
       "End Select\nWScript.Echo s",
       "medium"},
      {"select ranges and is",
       "For Each v In Array(3, 12, 50)\n Select Case v\n  Case 1 To 5: s = s & \"a\"\n"
       "  Case Is > 20: s = s & \"c\"\n  Case Else: s = s & \"b\"\n End Select\nNext\nWScript.Echo s",
       "abc"},
      {"select compares strings binary", "Select Case \"A\"\n Case \"a\": s = 1\n Case Else: s = 2\nEnd Select\nWScript.Echo s",
       "2"},
  });
}

TEST(Statements, Arrays) {
  Check({
      {"fixed, dynamic, multi-dimensional",
       "Dim a(3), b(), m(2, 3)\nm(1, 2) = 5\nReDim b(1)\nWScript.Echo UBound(a), UBound(b), UBound(m, 2), m(1, 2), LBound(a)",
       "3 1 3 5 0"},
      {"redim preserve keeps values",
       "ReDim a(2)\na(0) = \"x\": a(2) = \"z\"\nReDim Preserve a(4)\nWScript.Echo a(0), a(2), IsEmpty(a(4)), UBound(a)",
       "x z True 4"},
      {"redim preserve shrinks", "ReDim a(3)\na(1) = 1: a(3) = 3\nReDim Preserve a(1)\nWScript.Echo UBound(a), a(1)",
       "1 1"},
      {"redim without preserve clears", "ReDim a(1)\na(0) = 1\nReDim a(1)\nWScript.Echo IsEmpty(a(0))",
       "True"},
      {"preserve keeps rows of two dimensions",
       "ReDim m(1, 1)\nm(1, 1) = 7\nReDim Preserve m(1, 3)\nWScript.Echo m(1, 1), UBound(m, 2)", "7 3"},
      {"preserve cannot change the first dimension", "ReDim m(1, 1)\nReDim Preserve m(2, 1)", "ERR 9"},
      {"assignment copies", "a = Array(1, 2)\nb = a\nb(0) = 9\nWScript.Echo a(0), b(0)", "1 9"},
      {"out of range", "Dim a(2)\na(3) = 1", "ERR 9"},
      {"indexes round half to even", "a = Array(10, 20, 30)\nWScript.Echo a(1.5), a(0.5)", "30 10"},
      {"indexing a scalar", "x = 5\nWScript.Echo x(1)", "ERR 13"},
      {"ubound of a dimension that does not exist", "Dim m(1, 1)\nWScript.Echo UBound(m, 3)", "ERR 9"},
      {"erase of a fixed array empties it", "Dim a(2)\na(1) = 5\nErase a\nWScript.Echo UBound(a), IsEmpty(a(1))",
       "2 True"},
      {"erase of a dynamic array frees it", "ReDim a(2)\nErase a\nWScript.Echo UBound(a)", "ERR 9"},
      {"redim of a fixed array", "Dim a(2)\nReDim a(5)", "ERR 10"},
      {"empty array", "a = Array()\nWScript.Echo UBound(a), IsArray(a), VarType(a), TypeName(a)",
       "-1 True 8204 Variant()"},
  });
}

TEST(Statements, EmptyAndNull) {
  Check({
      {"undeclared and unassigned are empty", "Dim a\nWScript.Echo IsEmpty(a), IsEmpty(b), a + 1, \"[\" & a & \"]\"",
       "True True 1 []"},
      {"function never assigned returns empty", "Function F()\nEnd Function\nWScript.Echo IsEmpty(F())", "True"},
      {"null through functions", "x = Null\nWScript.Echo IsNull(Len(x)), IsNull(Left(x, 1)), IsNull(UCase(x)), IsNull(Abs(x))",
       "True True True True"},
      {"conversions of null fail", "WScript.Echo CStr(Null)", "ERR 94"},
      {"cint of null fails", "WScript.Echo CInt(Null)", "ERR 94"},
      {"empty conversions", "WScript.Echo CBool(Empty), \"[\" & CStr(Empty) & \"]\", CInt(Empty), Len(Empty), IsEmpty(\"\")",
       "False [] 0 0 False"},
      {"the database null idiom", "v = Null\ns = v & \"\"\nWScript.Echo TypeName(s), Len(s)", "String 0"},
  });
}

TEST(Statements, WithAndSeparators) {
  Check({
      {"colons and empty statements", ": a = 1:: b = 2 :\nWScript.Echo a + b", "3"},
      {"line continuation", "s = \"a\" & _\n    \"b\" & _\n    \"c\"\nWScript.Echo s", "abc"},
      {"rem comments", "Rem first\na = 1 : Rem second\nWScript.Echo a ' third", "1"},
      {"crlf and lone cr line ends", "a = 1\r\nb = 2\rWScript.Echo a + b\r\n", "3"},
      {"accented identifiers", "Quantità = 3\nWScript.Echo QUANTITÀ * 2", "6"},
      {"keywords are case-insensitive", "DIM x\nx = 1\nIF x = 1 THEN wscript.ECHO \"yes\"", "yes"},
      {"dot outside with", "WScript.Echo .Value", "ERR 505"},
  });
}

}  // namespace
}  // namespace tillbook::vbscript
