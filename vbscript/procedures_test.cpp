// Functions, Subs and classes: argument passing, scope, results.
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

constexpr const char* kInc = "Sub Inc(n)\n  n = n + 1\nEnd Sub\nSub IncVal(ByVal n)\n  n = n + 1\nEnd Sub\n";

TEST(Procedures, ByReferenceAndByValue) {
  std::string inc = kInc;
  Check({
      {"byref is the default", (inc + "x = 1\nInc x\nWScript.Echo x").c_str(), "2"},
      {"byval copies", (inc + "x = 1\nIncVal x\nWScript.Echo x").c_str(), "1"},
      {"call passes by reference", (inc + "x = 1\nCall Inc(x)\nWScript.Echo x").c_str(), "2"},
      {"parentheses make a value", (inc + "x = 1\nInc(x)\nWScript.Echo x").c_str(), "1"},
      {"extra parentheses in an argument list", (inc + "x = 1\nCall Inc((x))\nWScript.Echo x").c_str(), "1"},
      {"expressions are temporaries", (inc + "x = 1\nInc x + 0\nWScript.Echo x").c_str(), "1"},
      {"array elements by reference", (inc + "Dim a(2)\na(1) = 5\nInc a(1)\nWScript.Echo a(1)").c_str(), "6"},
      {"function arguments by reference",
       "Function Twice(v)\n v = v * 2\n Twice = v\nEnd Function\nx = 3\ny = Twice(x)\nWScript.Echo x, y", "6 6"},
      {"arrays by reference are shared",
       "Sub Fill(a)\n a(0) = \"f\"\nEnd Sub\nDim arr(1)\nFill arr\nWScript.Echo arr(0)", "f"},
      {"arrays by value are copied",
       "Sub Fill(ByVal a)\n a(0) = \"f\"\nEnd Sub\nDim arr(1)\narr(0) = \"o\"\nFill arr\nWScript.Echo arr(0)", "o"},
      {"globals changed by reference inside a loop",
       (inc + "For i = 1 To 3\n Inc total\nNext\nWScript.Echo total").c_str(), "3"},
  });
}

TEST(Procedures, CallsAndResults) {
  Check({
      {"called above its definition", "WScript.Echo Sq(4)\nFunction Sq(x)\n Sq = x * x\nEnd Function", "16"},
      {"function without arguments, with or without parentheses",
       "Function One()\n One = 1\nEnd Function\nWScript.Echo One + One()", "2"},
      {"function called as a statement", "Dim n\nFunction F(a, b)\n n = a + b\nEnd Function\nF 1, 2\nWScript.Echo n", "3"},
      {"the name holds the result and reads back",
       "Function Acc()\n Acc = 1\n Acc = Acc + 1\nEnd Function\nWScript.Echo Acc()", "2"},
      {"recursion", "Function Fact(n)\n If n <= 1 Then Fact = 1 Else Fact = n * Fact(n - 1)\nEnd Function\n"
                    "WScript.Echo Fact(10)", "3628800"},
      {"exit function keeps the result", "Function F()\n F = 5\n Exit Function\n F = 6\nEnd Function\nWScript.Echo F()",
       "5"},
      {"exit sub", "Dim n\nSub S()\n n = 1\n Exit Sub\n n = 2\nEnd Sub\nS\nWScript.Echo n", "1"},
      {"exit inside a loop leaves the procedure",
       "Function F()\n Do\n  While True\n   F = 7: Exit Function\n  Wend\n Loop\nEnd Function\nWScript.Echo F()", "7"},
      {"wrong number of arguments", "Sub S(a)\nEnd Sub\nS 1, 2", "ERR 450"},
      {"too few arguments", "Function F(a, b)\nEnd Function\nx = F(1)", "ERR 450"},
      {"unknown procedure", "Foo 1", "ERR 13"},
      {"parentheses around two arguments", "Sub S(a, b)\nEnd Sub\nS (1), 2\nWScript.Echo \"ok\"", "ok"},
      {"set returns objects", "Class C\nEnd Class\nFunction Make()\n Set Make = New C\nEnd Function\n"
                              "Set o = Make()\nWScript.Echo TypeName(o)", "C"},
  });
}

TEST(Procedures, Scope) {
  Check({
      {"locals shadow globals", "x = 1\nSub S()\n Dim x\n x = 2\nEnd Sub\nS\nWScript.Echo x", "1"},
      {"globals are visible", "x = 1\nSub S()\n x = 5\nEnd Sub\nS\nWScript.Echo x", "5"},
      {"undeclared names in a procedure are local",
       "Sub S()\n fresh = 5\nEnd Sub\nS\nWScript.Echo IsEmpty(fresh)", "True"},
      {"redim in a procedure resizes the global array",
       "Dim list()\nSub Grow()\n ReDim Preserve list(3)\n list(3) = \"x\"\nEnd Sub\nReDim list(0)\nGrow\n"
       "WScript.Echo UBound(list), list(3)", "3 x"},
      {"option explicit at run time",
       "Option Explicit\nDim a\nOn Error Resume Next\nb = 1\nWScript.Echo Err.Number", "500"},
      {"constants", "Const Rate = 22, Name = \"iva\"\nFunction F()\n F = Name & Rate\nEnd Function\nWScript.Echo F(), -Rate",
       "iva22 -22"},
      {"assigning a constant", "Const A = 1\nA = 2", "ERR 5008"},
      {"local constants", "Sub S()\n Const K = 3\n WScript.Echo K * 2\nEnd Sub\nS", "6"},
  });
}

constexpr const char* kCounter = R"(
Class Counter
  Private m_n
  Public Name
  Private Sub Class_Initialize()
    m_n = 10
  End Sub
  Private Sub Class_Terminate()
    WScript.Echo "bye " & Name
  End Sub
  Public Property Get Value()
    Value = m_n
  End Property
  Public Property Let Value(v)
    m_n = v
  End Property
  Public Function Add(k)
    m_n = m_n + k
    Add = m_n
  End Function
  Public Default Function Show()
    Show = Name & "=" & m_n
  End Function
  Private Function Secret()
    Secret = 1
  End Function
  Public Function Twice()
    Twice = Me.Add(0) * 2 + Secret()
  End Function
End Class
)";

TEST(Procedures, Classes) {
  std::string c = kCounter;
  Check({
      {"fields, properties, methods, default member",
       (c + "Set o = New Counter\no.Name = \"n\"\no.Value = 5\no.Add 2\n"
            "WScript.Echo o.Value, TypeName(o), o, o.Twice()\nSet o = Nothing")
           .c_str(),
       "7 Counter n=7 15\nbye n"},
      {"objects are references",
       (c + "Set a = New Counter\nSet b = a\nb.Add 1\nWScript.Echo a.Value\na.Name = \"x\"\n"
            "Set a = Nothing\nWScript.Echo \"still\"\nSet b = Nothing")
           .c_str(),
       "11\nstill\nbye x"},
      {"with blocks", (c + "Set o = New Counter\nWith o\n .Name = \"w\"\n .Add 5\n WScript.Echo .Value, .Name\nEnd With")
                          .c_str(),
       "15 w"},
      {"private members are hidden", (c + "Set o = New Counter\nx = o.Secret()").c_str(), "ERR 438"},
      {"unknown class", "Set o = New Missing", "ERR 506"},
      {"set needs an object", "Set o = 5", "ERR 424"},
      {"member of nothing", "Set o = Nothing\nx = o.Value", "ERR 91"},
      {"member of a number", "o = 5\nx = o.Value", "ERR 424"},
      {"indexed properties",
       "Class Bag\n Private d(9)\n Property Get Item(i)\n  Item = d(i)\n End Property\n"
       " Property Let Item(i, v)\n  d(i) = v\n End Property\nEnd Class\nSet b = New Bag\nb.Item(3) = \"x\"\n"
       "WScript.Echo b.Item(3)",
       "x"},
  });
}

TEST(Procedures, RecursionGuard) {
  testing::Outcome o = testing::Run("Sub Down(n)\n Down n + 1\nEnd Sub\nDown 1");
  EXPECT_EQ(o.error, 28);
  EXPECT_EQ(o.line, 2);
  EXPECT_EQ(Output("Function F(n)\n F = F(n + 1)\nEnd Function\nOn Error Resume Next\nx = F(1)\n"
                   "WScript.Echo Err.Number"),
            "28");
}

}  // namespace
}  // namespace tillbook::vbscript

namespace tillbook::vbscript {
namespace {

TEST(Procedures, ObjectPropertiesReferencesAndDynamicCode) {
  Check({
      {"property set and nested with",
       "Class Node\n Public Value\n Private m_next\n Property Get NextNode()\n  Set NextNode = m_next\n"
       " End Property\n Property Set NextNode(n)\n  Set m_next = n\n End Property\nEnd Class\n"
       "Set a = New Node: a.Value = 1\nSet b = New Node: b.Value = 2\nSet a.NextNode = b\n"
       "With a\n With .NextNode\n  WScript.Echo .Value\n End With\n WScript.Echo .Value, a.NextNode.Value\nEnd With",
       "2\n1 2"},
      {"me passed along",
       "Class Item\n Public Name\n Function Self()\n  Set Self = Me\n End Function\nEnd Class\n"
       "Set i = New Item\ni.Name = \"x\"\nWScript.Echo i.Self().Name, i.Self() Is i",
       "x True"},
      {"initialize runs before the first use",
       "Class C\n Public Log\n Sub Class_Initialize()\n  Log = \"init\"\n End Sub\nEnd Class\n"
       "WScript.Echo (New C).Log",
       "init"},
      {"getref", "Function Add(x, y)\n Add = x + y\nEnd Function\nSet f = GetRef(\"Add\")\nWScript.Echo f(2, 3)",
       "5"},
      {"getref of nothing", "Set f = GetRef(\"Missing\")", "ERR 5"},
      {"execute and eval", "Execute \"z = 42\"\nWScript.Echo z, Eval(\"z * 2\")", "42 84"},
      {"executeglobal defines procedures",
       "ExecuteGlobal \"Function Later()\" & vbCrLf & \"Later = 7\" & vbCrLf & \"End Function\"\n"
       "WScript.Echo Later() * 2",
       "14"},
      {"execute in a loop", "For i = 1 To 500\n Execute \"t = t + \" & i\nNext\nWScript.Echo t, Eval(\"t \\ 2\")",
       "125250 62625"},
      {"compile errors of execute are catchable",
       "On Error Resume Next\nExecute \"x = (\"\nWScript.Echo Err.Number", "1023"},
      {"arrays of arrays", "m = Array(Array(1, 2), Array(3, 4))\nWScript.Echo m(1)(0), UBound(m(0))", "3 1"},
  });
}

TEST(Procedures, RandomNumbersRepeatFromTheirSeed) {
  EXPECT_EQ(Output("x = Rnd(-1)\na = Rnd\nb = Rnd\nx = Rnd(-1)\nc = Rnd\n"
                   "WScript.Echo a = c, a <> b, a >= 0 And a < 1, TypeName(a), Rnd(0) = c"),
            "True True True Single True");
}

}  // namespace
}  // namespace tillbook::vbscript

namespace tillbook::vbscript {
namespace {

TEST(Procedures, TerminateRunsWhenTheScriptEnds) {
  std::shared_ptr<testing::Echo> echo;
  {
    Interpreter interpreter;
    echo = std::make_shared<testing::Echo>(interpreter);
    interpreter.AddObject("WScript", echo);
    interpreter.AddCode("Class C\n Public Name\n Sub Class_Terminate()\n  WScript.Echo \"bye \" & Name\n"
                        " End Sub\nEnd Class\nSet a = New C\na.Name = \"a\"\nDim list(1)\n"
                        "Set list(0) = New C\nlist(0).Name = \"in list\"\nWScript.Echo \"end\"");
    EXPECT_EQ(echo->output, "end");
  }
  // Both objects end, in no particular order.
  EXPECT_EQ(echo->output.substr(0, 4), "end\n");
  EXPECT_NE(echo->output.find("bye a"), std::string::npos);
  EXPECT_NE(echo->output.find("bye in list"), std::string::npos);
}

}  // namespace
}  // namespace tillbook::vbscript
