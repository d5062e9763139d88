// Compile and run-time errors: numbers, Italian descriptions, lines, and On Error.
#include <gtest/gtest.h>

#include "vbscript/interpreter.h"
#include "vbscript/test_support.h"

namespace tillbook::vbscript {
namespace {

using testing::Output;

TEST(Errors, CompileErrorsCarryNumberAndLine) {
  struct Case {
    const char* source;
    int number;
    int line;
  } cases[] = {
      {"x = 1\ny = 2 +\n", 1023, 2},
      {"If x Then\n y = 1\n", 1014, 3},
      {"For i = 1 To 2\n x = 1\n", 1020, 3},
      {"Do\n x = 1\n", 1019, 3},
      {"x = \"abc\n", 1033, 1},
      {"Dim x As Integer", 1025, 1},
      {"Sub S(a, b)\nEnd Sub\nS(1, 2)", 1044, 3},
      {"x = 1\nLoop", 1038, 2},
      {"Exit For", 1039, 1},
      {"Function F()\n Exit Sub\nEnd Function", 1039, 2},
      {"Const A = x", 1045, 1},
      {"Dim A\nSub A()\nEnd Sub", 1041, 1},
      {"x = 1 Mod", 1023, 1},
      {"Select Case x\nCase 1\nEnd Sub", 1022, 3},
      {"x = Me", 1037, 1},
      {"With\nEnd With", 1023, 1},
      {"x = (1 + 2", 1006, 1},
      {"If x Then y = 1 End Sub", 1025, 1},
      {"Option Explicit\nOption Explicit", 1042, 2},
      {"Next", 1055, 1},
  };
  for (const auto& c : cases) {
    auto o = testing::Run(c.source);
    EXPECT_EQ(o.error, c.number) << c.source;
    EXPECT_EQ(o.line, c.line) << c.source;
  }
  EXPECT_EQ(testing::Run("x = 1\ny = 2 +\n").description, "Prevista espressione");
}

TEST(Errors, RuntimeErrorsCarryNumberDescriptionAndLine) {
  struct Case {
    const char* source;
    int number;
    int line;
    const char* description;
  } cases[] = {
      {"x = 1\ny = x / 0", 11, 2, "Divisione per zero"},
      {"x = CInt(\"abc\")", 13, 1, "Tipo non corrispondente"},
      {"\n\nx = CInt(40000)", 6, 3, "Overflow"},
      {"x = Mid(\"abc\", 0)", 5, 1, "Chiamata di routine o argomento non validi"},
      {"Dim a(1)\nx = a(2)", 9, 2, "Indice non incluso nell'intervallo"},
      {"x = CStr(Null)", 94, 1, "Utilizzo non valido di Null"},
      {"Set o = CreateObject(\"Nope.Thing\")", 429, 1, nullptr},
      {"Sub S()\n x = 1 / 0\nEnd Sub\nS", 11, 2, nullptr},
      {"Err.Raise 1000, \"src\", \"mio errore\"", 1000, 1, "mio errore"},
      {"Err.Raise 13", 13, 1, "Tipo non corrispondente"},
  };
  for (const auto& c : cases) {
    auto o = testing::Run(c.source);
    EXPECT_EQ(o.error, c.number) << c.source;
    EXPECT_EQ(o.line, c.line) << c.source;
    if (c.description) {
      EXPECT_EQ(o.description, c.description) << c.source;
    }
  }
}

TEST(Errors, ResumeNextContinuesAfterTheFailingStatement) {
  EXPECT_EQ(
      Output("On Error Resume Next\nx = 5\nx = 1 / 0\nWScript.Echo x, Err.Number, Err.Description"),
      "5 11 Divisione per zero");
  // The failing statement is abandoned as a whole: the Sub is not called.
  EXPECT_EQ(
      Output("Sub S(v)\n WScript.Echo \"called\"\nEnd Sub\nOn Error Resume Next\nS CInt(\"a\")\n"
             "WScript.Echo Err.Number"),
      "13");
  // A failing If condition goes on inside the Then part.
  EXPECT_EQ(Output("On Error Resume Next\nIf 1 / 0 = 1 Then\n WScript.Echo \"then\"\nElse\n"
                   " WScript.Echo \"else\"\nEnd If\nWScript.Echo \"after\""),
            "then\nafter");
  // A callee without a handler is abandoned; the caller resumes after the call.
  EXPECT_EQ(
      Output("Function F()\n F = 1\n x = 1 / 0\n WScript.Echo \"inside\"\n F = 2\nEnd Function\n"
             "On Error Resume Next\ny = 9\ny = F()\nWScript.Echo y, Err.Number"),
      "9 11");
  // A handler in the callee keeps the error inside it.
  EXPECT_EQ(
      Output(
          "Sub S()\n On Error Resume Next\n x = 1 / 0\n WScript.Echo \"in\", Err.Number\nEnd Sub\n"
          "S\nWScript.Echo \"out\""),
      "in 11\nout");
  // Loops keep going.
  EXPECT_EQ(Output("On Error Resume Next\nFor i = 1 To 3\n x = 1 / (i - 2)\n n = n + "
                   "1\nNext\nWScript.Echo n"),
            "3");
}

TEST(Errors, ErrObject) {
  EXPECT_EQ(Output("On Error Resume Next\nx = 1 / 0\nErr.Clear\nWScript.Echo Err.Number, \"[\" & "
                   "Err.Description & \"]\""),
            "0 []");
  EXPECT_EQ(
      Output("On Error Resume Next\nx = 1 / 0\nOn Error Resume Next\nWScript.Echo Err.Number"),
      "0");
  EXPECT_EQ(Output("On Error Resume Next\nx = 1 / 0\ny = 1\nWScript.Echo Err.Number"), "11");
  EXPECT_EQ(Output("On Error Resume Next\nx = 1 / 0\nIf Err Then WScript.Echo \"failed \" & Err"),
            "failed 11");
  EXPECT_EQ(Output("On Error Resume Next\nErr.Raise vbObjectError + 5, \"layout\", \"no\"\n"
                   "WScript.Echo Err.Number, Err.Source, Err.Description"),
            "-2147221499 layout no");
  EXPECT_EQ(
      Output("On Error Resume Next\nx = 1 / 0\nOn Error GoTo 0\ny = 1 / 0\nWScript.Echo \"never\""),
      "ERR 11");
  // Leaving a procedure with Exit clears Err; reaching its end does not.
  EXPECT_EQ(Output("Function A()\n On Error Resume Next\n x = 1 / 0\n Exit Function\nEnd Function\n"
                   "Function B()\n On Error Resume Next\n x = 1 / 0\nEnd Function\n"
                   "A\nWScript.Echo Err.Number\nB\nWScript.Echo Err.Number"),
            "0\n11");
}

TEST(Errors, HostSeesScriptErrors) {
  Interpreter interpreter;
  interpreter.AddCode("Function Hook(a)\n  Hook = True\n  x = a / 0\nEnd Function");
  try {
    Variant arg = Variant::Integer(1);
    interpreter.Call("Hook", std::span<Variant>(&arg, 1));
    FAIL();
  } catch (const ScriptError& e) {
    EXPECT_EQ(e.number(), 11);
    EXPECT_EQ(e.line(), 3);
    EXPECT_EQ(e.message(), "Divisione per zero");
  }
  EXPECT_THROW(interpreter.Call("Missing", {}), ScriptError);
  // A compile error leaves the earlier procedures in place.
  EXPECT_THROW(interpreter.AddCode("Function Broken(\n"), ScriptError);
  EXPECT_TRUE(interpreter.HasFunction("hook"));
  EXPECT_FALSE(interpreter.HasFunction("Broken"));
}

}  // namespace
}  // namespace tillbook::vbscript

namespace tillbook::vbscript {
namespace {

TEST(Errors, EveryNumberTheInterpreterRaisesHasItsText) {
  for (int n : {5,    6,    7,    9,    10,   11,   13,   16,   28,   35,   91,
                94,   424,  429,  438,  449,  450,  451,  457,  500,  505,  506,
                1002, 1010, 1023, 1024, 1025, 1033, 1044, 5008, 9001, 32811}) {
    EXPECT_FALSE(Description(n).empty()) << n;
  }
  EXPECT_TRUE(Description(4242).empty());
}

}  // namespace
}  // namespace tillbook::vbscript
