// Behaviours scripts written for the native engine rely on, grouped as they were found: Err and
// error handling, accepted syntax, semantics, argument checks of the builtins, Rnd.
#include <gtest/gtest.h>

#include "vbscript/interpreter.h"
#include "vbscript/test_support.h"

namespace tillbook::vbscript {
namespace {

using testing::Check;
using testing::Output;

struct ScriptCase {
  const char* name;
  const char* script;
  const char* expected;
};

void CheckScripts(std::initializer_list<ScriptCase> cases) {
  for (const auto& c : cases) EXPECT_EQ(Output(c.script, false, true), c.expected) << c.name;
}

constexpr const char* kShowErr =
    "WScript.Echo Err.Number & \"|\" & Err.Source & \"|\" & Err.Description & \"|\" & "
    "Err.HelpFile & \"|\" & Err.HelpContext\n";

TEST(Compat, ErrRaise) {
  std::string show = kShowErr;
  CheckScripts({
      {"left-out arguments keep Err's values",
       "On Error Resume Next\nErr.Raise 5, \"MySrc\", \"MyDesc\"\nErr.Raise 6\n"
       "WScript.Echo Err.Number & \"|\" & Err.Source & \"|\" & Err.Description",
       "6|MySrc|MyDesc"},
      {"after Clear the standard text returns",
       ("On Error Resume Next\nErr.Raise 5, \"MySrc\", \"MyDesc\"\nErr.Clear\nErr.Raise 6\n" + show)
           .c_str(),
       "6|Errore di run-time di VBScript|Overflow||0"},
      {"zero is an invalid call", "On Error Resume Next\nErr.Raise 0\nWScript.Echo Err.Number",
       "5"},
      {"above 65535 is an invalid call",
       "On Error Resume Next\nErr.Raise 65536\nWScript.Echo Err.Number", "5"},
      {"65535 is kept", "On Error Resume Next\nErr.Raise 65535\nWScript.Echo Err.Number", "65535"},
      {"no arguments", "On Error Resume Next\nErr.Raise\nWScript.Echo Err.Number", "450"},
      {"a known HRESULT maps to its number",
       "On Error Resume Next\nErr.Raise &H8007000E\nWScript.Echo Err.Number & \"|\" & "
       "Err.Description",
       "7|Memoria esaurita"},
      {"a script error HRESULT maps to its number",
       "On Error Resume Next\nErr.Raise &H800A000D\nWScript.Echo Err.Number", "13"},
      {"user HRESULTs stay",
       "On Error Resume Next\nErr.Raise vbObjectError + 1\nWScript.Echo Err.Number", "-2147221503"},
      {"engine errors reset what Raise set",
       ("On Error Resume Next\nErr.Raise 1000, \"src\", \"desc\", \"aiuto.chm\", 12\nx = 1 / 0\n" +
        show)
           .c_str(),
       "11|Errore di run-time di VBScript|Divisione per zero||0"},
      {"help file and context kept as raised",
       ("On Error Resume Next\nErr.Raise 1000, \"src\", \"desc\", \"aiuto.chm\", 12\n" + show)
           .c_str(),
       "1000|src|desc|aiuto.chm|12"},
      {"unknown numbers get a text",
       "On Error Resume Next\nErr.Raise 1234\nWScript.Echo Err.Description",
       "Errore di run-time sconosciuto"},
      {"438 is the plain text",
       "On Error Resume Next\nSet d = CreateObject(\"Scripting.Dictionary\")\nd.Foo\n"
       "WScript.Echo Err.Number & \"|\" & Err.Description",
       "438|Proprietà o metodo non supportati dall'oggetto"},
  });
}

TEST(Compat, MissingMembersOfHostObjectsReadPlainly) {
  // A host object that leaves missing members to the default answer, which names the member.
  class Bare : public Object {
   public:
    std::string TypeName() const override { return "Bare"; }
  };
  Interpreter interpreter;
  interpreter.AddObject("Bare", std::make_shared<Bare>());
  try {
    interpreter.AddCode("x = 1\nx = Bare.Incrementa");
    ADD_FAILURE() << "no error";
  } catch (const ScriptError& e) {
    EXPECT_EQ(e.number(), 438);
    EXPECT_EQ(e.description(), "Proprietà o metodo non supportati dall'oggetto");
    EXPECT_EQ(e.line(), 2);
  }
}

TEST(Compat, ErrorsOnObjectsCarryTheirLine) {
  struct Case {
    const char* script;
    int line;
  } cases[] = {
      {"Class C\nEnd Class\nSet o = New C\n\nx = o + 1\n", 5},
      {"Class C\nEnd Class\nSet o = New C\n\nIf o = 1 Then x = 1\n", 5},
      {"Class C\nEnd Class\nSet o = New C\nx = 1\nWScript.Echo o & \"\"\n", 5},
  };
  for (const auto& c : cases) {
    auto o = testing::Run(c.script);
    EXPECT_EQ(o.error, 438) << c.script;
    EXPECT_EQ(o.line, c.line) << c.script;
  }
}

TEST(Compat, ResumeNextEntersBlocksWhoseHeaderFails) {
  const std::string fail = "Function F()\n F = 1 / 0\nEnd Function\nOn Error Resume Next\n";
  CheckScripts({
      {"Do While",
       (fail + "Do While F()\n WScript.Echo \"body\"\n Exit Do\nLoop\nWScript.Echo Err.Number")
           .c_str(),
       "body\n11"},
      {"Do Until", (fail + "Do Until F()\n WScript.Echo \"body\"\n Exit Do\nLoop").c_str(), "body"},
      {"With",
       (fail + "With F()\n WScript.Echo \"body\"\nEnd With\nWScript.Echo Err.Number").c_str(),
       "body\n11"},
      {"For",
       (fail + "For i = 1 To F()\n WScript.Echo \"body\"\nNext\nWScript.Echo \"after\"").c_str(),
       "body\nafter"},
      {"For Each",
       (fail + "For Each x In F()\n WScript.Echo \"body\"\nNext\nWScript.Echo \"after\"").c_str(),
       "body\nafter"},
      {"Case expression",
       (fail + "Select Case 2\nCase 1\n WScript.Echo \"one\"\nCase F()\n WScript.Echo \"f\"\n"
               "Case 2\n WScript.Echo \"two\"\nEnd Select")
           .c_str(),
       "f"},
      {"Select test",
       (fail + "Select Case F()\nCase 1\n WScript.Echo \"one\"\nCase 2\n WScript.Echo \"two\"\n"
               "End Select")
           .c_str(),
       "one"},
      {"without the handler the error stops",
       "Function F()\n F = 1 / 0\nEnd Function\nDo While F()\n WScript.Echo \"body\"\nLoop",
       "ERR 11"},
  });
}

TEST(Compat, SyntaxTheNativeEngineAccepts) {
  CheckScripts({
      {"blank before the index", "Dim a(2)\na (0) = 5\nWScript.Echo a(0)", "5"},
      {"blank before the index, two dimensions", "Dim a(2, 2)\na (1, 2) = 7\nWScript.Echo a(1, 2)",
       "7"},
      {"a method given a comparison stays a call", "x = 1\nWScript.Echo (x) = 1", "True"},
      {"call with a parenthesized argument still a call",
       "Sub S(x)\n WScript.Echo x\nEnd Sub\nS (3)", "3"},
      {"continuation after an operator", "x =_\n3\nWScript.Echo x", "3"},
      {"continuation after &", "x = \"a\" &_\n\"b\"\nWScript.Echo x", "ab"},
      {"one-line If with Else and End If",
       "c = False\nIf c Then x = 1 Else x = 2 End If\nWScript.Echo x", "2"},
      {"one-line If with End If", "If True Then x = 1 End If\nWScript.Echo x", "1"},
      {"one-line Sub", "Sub S() WScript.Echo \"a\" End Sub\nS", "a"},
      {"one-line Function", "Function F() F = 4 End Function\nWScript.Echo F()", "4"},
      {"one-line If ending a one-line Sub", "Sub S() If True Then WScript.Echo \"i\" End Sub\nS",
       "i"},
      {"End Class after a field",
       "Class C Public v End Class\nSet o = New C\no.v = 2\nWScript.Echo o.v", "2"},
      {"End Property after a statement",
       "Class C\nProperty Get P() P = 9 End Property\nEnd Class\nWScript.Echo (New C).P", "9"},
      {"Sub inside an If block",
       "If True Then\n Sub S()\n  WScript.Echo \"s\"\n End Sub\nEnd If\nS", "s"},
      {"=> =< ><", "WScript.Echo 2 => 1, 2 =< 1, 2 >< 1, 1 >< 1", "True False True False"},
      {"Property as a variable", "Property = 5\nWScript.Echo Property + 1", "6"},
      {"Dim Property", "Dim Property\nProperty = \"p\"\nWScript.Echo Property", "p"},
      {"Call on a parenthesized New",
       "Class C\nSub M()\n WScript.Echo \"m\"\nEnd Sub\nEnd Class\nCall (New C).M()", "m"},
      {"parenthesized function called",
       "Function f(a)\n f = a * 2\nEnd Function\ny = (f)(3)\nWScript.Echo y", "6"},
      {"doubly parenthesized array indexed", "x = Array(4, 5)\ny = ((x))(1)\nWScript.Echo y", "5"},
      {"the last Function wins",
       "Function F()\n F = 1\nEnd Function\nFunction F()\n F = 2\nEnd Function\nWScript.Echo F()",
       "2"},
      {"a name used twice otherwise is still refused", "Dim F\nFunction F()\nEnd Function",
       "ERR 1041"},
  });
}

TEST(Compat, Semantics) {
  Check({
      {"-3^2", "9"},
      {"2^3^2", "64"},
      {"-2^3", "-8"},
      {"2^-1", "0,5"},
      {"CSng(0.1) = 0.1", "True"},
      {"CSng(0.1) < 0.1", "False"},
      {"IsNumeric(Nothing)", "False"},
      {"CBool(\"#TRUE#\")", "True"},
      {"CBool(\"#FALSE#\")", "False"},
      {"CByte(True)", "255"},
      {"TypeName(-32768)", "Long"},
      {"TypeName(-32767)", "Integer"},
      {"TypeName(-&H80000000)", "Double"},
      {"Hex(-32768)", "FFFF8000"},
      {"TypeName(Round(True))", "Boolean"},
      {"VarType(vbRed)", "3"},
      {"VarType(vbBlack)", "3"},
      {"vbMsgBoxHelpButton", "16384"},
      {"vbMsgBoxSetForeground", "65536"},
      {"vbMsgBoxRight", "524288"},
      {"vbMsgBoxRtlReading", "1048576"},
  });
  CheckScripts({
      {"For over texts counts numerically",
       "For i = \"1\" To \"3\" Step \"1\"\n s = s & i & \",\"\nNext\nWScript.Echo s", "1,2,3,"},
      {"For over a text limit", "For i = 1 To \"10\"\n n = n + 1\nNext\nWScript.Echo n", "10"},
      {"IsDate of an object", "Class C\nEnd Class\nWScript.Echo IsDate(New C)", "False"},
      {"For Each over a 2-D array, first index fastest",
       "Dim a(1, 2)\nFor i = 0 To 1\nFor j = 0 To 2\na(i, j) = i & j\nNext\nNext\n"
       "For Each x In a\n s = s & x & \" \"\nNext\nWScript.Echo s",
       "00 10 01 11 02 12 "},
      {"loop variable after a Dictionary",
       "Set d = CreateObject(\"Scripting.Dictionary\")\nd.Add \"a\", 1\nFor Each k In d\nNext\n"
       "WScript.Echo IsEmpty(k)",
       "True"},
      {"loop variable after Exit For keeps its value",
       "Set d = CreateObject(\"Scripting.Dictionary\")\nd.Add \"a\", 1\nFor Each k In d\n Exit "
       "For\n"
       "Next\nWScript.Echo k",
       "a"},
      {"Class_Initialize called as a method",
       "Class C\nPublic n\nPublic Sub Class_Initialize()\n n = n + 1\nEnd Sub\nEnd Class\n"
       "Set o = New C\no.Class_Initialize\nWScript.Echo o.n",
       "2"},
      {"Class_Terminate called as a method",
       "Class C\nPublic Sub Class_Terminate()\n WScript.Echo \"t\"\nEnd Sub\nEnd Class\n"
       "Set o = New C\no.Class_Terminate\nWScript.Echo \"mid\"\nSet o = Nothing",
       "t\nmid\nt"},
      {"Call of a conversion", "Call CInt(1)", "ERR 458"},
  });
}

TEST(Compat, ArgumentChecksOfBuiltins) {
  Check({
      {"InStr(1, \"abc\", \"b\", 10)", "ERR 5"},
      {"InStr(1, \"abc\", \"B\", 1)", "2"},
      {"Sgn(Null)", "ERR 94"},
      {"InStrRev(\"\", \"\", 3)", "0"},
      {"InStrRev(\"abc\", \"b\", -1, 5)", "ERR 5"},
      {"InStrRev(\"abc\", \"b\", 0)", "ERR 5"},
      {"InStrRev(\"abc\", \"b\", -2)", "ERR 5"},
      {"UBound(Split(\"a,b\", \",\", -1, 3))", "ERR 5"},
      {"UBound(Split(\"a,b\", \",\", -2))", "ERR 5"},
      {"Replace(\"abc\", \"b\", \"x\", 1, -1, 4)", "ERR 5"},
      {"Replace(\"abc\", \"b\", \"x\", 0)", "ERR 5"},
      {"Replace(\"abc\", \"b\", \"x\", 1, -2)", "ERR 5"},
      {"DateAdd(\"x\", 1, #1/1/2020#)", "ERR 5"},
      {"Weekday(#1/1/2020#, 8)", "ERR 5"},
      {"Weekday(#1/1/2020#, -1)", "ERR 5"},
      {"MonthName(13)", "ERR 5"},
      {"MonthName(0)", "ERR 5"},
      {"Mid(\"abc\", 0)", "ERR 5"},
      {"Mid(\"abc\", 1, -1)", "ERR 5"},
      {"Mid(\"abc\", 2, 1)", "b"},
  });
  CheckScripts({
      {"ReDim of a fixed array", "Dim a(2)\nReDim a(3)", "ERR 10"},
      {"ReDim of a fixed array in a procedure", "Sub S()\n Dim a(2)\n ReDim a(3)\nEnd Sub\nS",
       "ERR 10"},
      {"ReDim of a fixed global array in a procedure", "Dim a(2)\nSub S()\n ReDim a(3)\nEnd Sub\nS",
       "ERR 10"},
      {"ReDim of a fixed field",
       "Class C\nPrivate a(2)\nSub S()\n ReDim a(3)\nEnd Sub\nEnd Class\n"
       "Set o = New C\no.S",
       "ERR 10"},
      {"a local hides the fixed global",
       "Dim a(2)\nSub S()\n Dim a()\n ReDim a(3)\n"
       " WScript.Echo UBound(a)\nEnd Sub\nS",
       "3"},
  });
}

TEST(Compat, RndFollowsTheNativeGenerator) {
  Check({
      {"Rnd(0)", "0,01953125"},
      {"Rnd(-1)", "0,224007"},
  });
  // The same seed gives the same numbers, and Rnd(0) repeats the last one.
  EXPECT_EQ(Output("x = Rnd(-3)\ny = Rnd\nz = Rnd(0)\na = Rnd(-3)\nb = Rnd\n"
                   "WScript.Echo x = a, y = b, y = z, x = y"),
            "True True True False");
  // The unseeded sequence starts from the generator's fixed state.
  EXPECT_EQ(Output("WScript.Echo Rnd, Rnd, Rnd"), "0,7055475 0,533424 0,5795186");
  // Randomize with a number changes the sequence, and repeats with the same number.
  EXPECT_EQ(Output("Rnd -1\nRandomize 10\nx = Rnd\nRnd -1\nRandomize 10\ny = Rnd\n"
                   "Rnd -1\nRandomize 11\nz = Rnd\nWScript.Echo x = y, x = z"),
            "True False");
}

}  // namespace
}  // namespace tillbook::vbscript
