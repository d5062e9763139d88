// Builtin functions, table-driven: expression and what WScript.Echo prints (Italian locale,
// "now" fixed at 05/01/2024 12:00:00 by the test host).
#include <gtest/gtest.h>

#include "vbscript/test_support.h"

namespace tillbook::vbscript {
namespace {

using testing::Check;
using testing::Show;

TEST(Builtins, Strings) {
  Check({
      {"Len(123)", "3"},
      {"Len(12.5)", "4"},
      {"Len(\"città\")", "5"},
      {"Left(12345, 2)", "12"},
      {"Left(\"abc\", 10)", "abc"},
      {"Left(\"abc\", -1)", "ERR 5"},
      {"Right(\"città\", 3)", "ttà"},
      {"Mid(\"abcdef\", 2, 3)", "bcd"},
      {"Mid(\"abc\", 5)", ""},
      {"Mid(\"abc\", 2)", "bc"},
      {"Mid(\"abc\", 0)", "ERR 5"},
      {"InStr(\"abcabc\", \"c\")", "3"},
      {"InStr(4, \"abcabc\", \"c\")", "6"},
      {"InStr(1, \"ABC\", \"b\", 1)", "2"},
      {"InStr(\"abc\", \"b\", 1)", "ERR 13"},
      {"InStr(\"\", \"a\")", "0"},
      {"InStr(2, \"abc\", \"\")", "2"},
      {"InStr(0, \"abc\", \"a\")", "ERR 5"},
      {"InStrRev(\"a,b,c\", \",\")", "4"},
      {"InStrRev(\"a,b,c\", \",\", 3)", "2"},
      {"Replace(\"abcabc\", \"b\", \"X\")", "aXcaXc"},
      {"Replace(\"abcabc\", \"b\", \"X\", 3)", "caXc"},
      {"Replace(\"abcabc\", \"b\", \"X\", 1, 1)", "aXcabc"},
      {"Replace(\"aBc\", \"b\", \"x\", 1, -1, 1)", "axc"},
      {"Replace(\"aaa\", \"a\", \"aa\")", "aaaaaa"},
      {"Join(Split(\"a,b,c\", \",\", 2), \"|\")", "a|b,c"},
      {"UBound(Split(\"\"))", "-1"},
      {"Join(Split(\"a,,b\", \",\"), \"|\")", "a||b"},
      {"Join(Split(\"aXbxc\", \"x\", -1, 1), \"|\")", "a|b|c"},
      {"Join(Array(1, Empty, \"x\"), \"-\")", "1--x"},
      {"Join(Array())", ""},
      {"Join(Filter(Array(\"abc\", \"xbz\", \"q\"), \"b\"), \",\")", "abc,xbz"},
      {"Join(Filter(Array(\"abc\", \"q\"), \"b\", False), \",\")", "q"},
      {"\"[\" & Trim(vbTab & \" x \") & \"]\"", "[\t x]"},
      {"\"[\" & LTrim(\"  x \") & RTrim(\" y  \") & \"]\"", "[x  y]"},
      {"UCase(\"città\")", "CITTÀ"},
      {"LCase(\"ÀB\")", "àb"},
      {"Space(3) & \"|\"", "   |"},
      {"String(3, 65)", "AAA"},
      {"String(3, \"xyz\")", "xxx"},
      {"StrReverse(\"abc\")", "cba"},
      {"StrComp(\"a\", \"B\")", "1"},
      {"StrComp(\"a\", \"B\", 1)", "-1"},
      {"StrComp(\"a\", \"a\")", "0"},
      {"Asc(\"A\")", "65"},
      {"Chr(65) & ChrW(8364) & Chr(128)", "A€€"},
      {"Asc(\"€\")", "128"},
      {"AscW(\"€\")", "8364"},
      {"Asc(\"\")", "ERR 5"},
      {"Len(vbCrLf) & Len(vbNewLine) & Asc(vbTab)", "229"},
      {"Escape(\"a b\")", "a%20b"},
      {"Unescape(\"a%20b%u20AC\")", "a b€"},
  });
}

TEST(Builtins, NumbersAndConversions) {
  Check({
      {"CInt(0.5) & CInt(1.5) & CInt(2.5) & CInt(3.5)", "0224"},
      {"CInt(-2.5)", "-2"},
      {"CLng(\"1.234\")", "1234"},
      {"CDbl(\"1,5\") * 2", "3"},
      {"CByte(256)", "ERR 6"},
      {"CInt(\"abc\")", "ERR 13"},
      {"CBool(\"True\") & CBool(\"false\") & CBool(-0.5) & CBool(0)", "TrueFalseTrueFalse"},
      {"CCur(12.5)", "12,5"},
      {"CCur(1.23456)", "1,2346"},
      {"TypeName(CSng(0.1)) & CSng(0.1)", "Single0,1"},
      {"Int(-2.5) & \" \" & Fix(-2.5) & \" \" & Int(2.7)", "-3 -2 2"},
      {"TypeName(Int(2.5))", "Double"},
      {"Round(2.5) & Round(3.5) & Round(-2.5)", "24-2"},
      {"Round(0.125, 2)", "0,12"},
      {"Round(0.375, 2)", "0,38"},
      {"Round(1.5, -1)", "ERR 5"},
      {"Abs(-3) & Sgn(-7) & Sgn(0)", "3-10"},
      {"TypeName(Sgn(2.5))", "Integer"},
      {"Sqr(16)", "4"},
      {"Sqr(-1)", "ERR 5"},
      {"Log(0)", "ERR 5"},
      {"Round(Exp(1), 5)", "2,71828"},
      {"Round(Atn(1) * 4, 6)", "3,141593"},
      {"Hex(255) & \" \" & Hex(-1) & \" \" & Hex(-32769) & \" \" & Oct(8)", "FF FFFF FFFF7FFF 10"},
      {"Hex(Empty)", "0"},
      {"RGB(255, 30, 30)", "1974015"},
      {"RGB(192, 192, 192)", "12632256"},
      {"RGB(300, 0, 0)", "255"},
      {"IsNumeric(\"12\") & IsNumeric(\" 7 \") & IsNumeric(\"1.5\") & IsNumeric(\"abc\")",
       "TrueTrueTrueFalse"},
      {"IsNumeric(\"\") & IsNumeric(Null) & IsNumeric(Empty) & IsNumeric(Now)", "FalseFalseTrueFalse"},
      {"VarType(1) & VarType(70000) & VarType(1.5) & VarType(\"x\") & VarType(True)", "235811"},
      {"VarType(Empty) & VarType(Null) & VarType(Nothing) & VarType(CCur(1)) & VarType(Now)",
       "01967"},
      {"TypeName(Nothing) & TypeName(Null) & TypeName(Empty) & TypeName(CByte(1))",
       "NothingNullEmptyByte"},
      {"IsObject(Nothing) & IsArray(Array()) & IsEmpty(Empty) & IsNull(Null)", "TrueTrueTrueTrue"},
      {"UBound(Array(1, 2, 3)) & LBound(Array(1))", "20"},
      {"UBound(5)", "ERR 13"},
      {"Eval(\"1 + 2 * 3\")", "7"},
      {"ScriptEngine & ScriptEngineMajorVersion", "VBScript5"},
  });
  Check({{"CDbl(\"1.5\") * 2", "3"}, {"CLng(\"1,234\")", "1234"}}, true);
}

TEST(Builtins, Dates) {
  Check({
      {"DateSerial(2024, 1, 5)", "05/01/2024"},
      {"CDbl(DateSerial(1899, 12, 30)) & \" \" & CDbl(DateSerial(1900, 1, 1)) & \" \" & "
       "CDbl(DateSerial(2000, 1, 1)) & \" \" & CDbl(DateSerial(2024, 1, 1))",
       "0 2 36526 45292"},
      {"DateSerial(2024, 3, 0)", "29/02/2024"},
      {"DateSerial(2023, 2, 29)", "01/03/2023"},
      {"DateSerial(2023, 13, 1)", "01/01/2024"},
      {"DateSerial(2024, 0, 1)", "01/12/2023"},
      {"DateSerial(24, 1, 1)", "01/01/2024"},
      {"TimeSerial(13, 5, 0)", "13:05:00"},
      {"TimeSerial(0, 90, 0)", "01:30:00"},
      {"Year(#1/5/2024#) & \"-\" & Month(#1/5/2024#) & \"-\" & Day(#1/5/2024#)", "2024-1-5"},
      {"Hour(#1/5/2024 13:05:09#) & \":\" & Minute(#1/5/2024 13:05:09#) & \":\" & Second(#1/5/2024 13:05:09#)",
       "13:5:9"},
      {"Weekday(#1/1/2024#) & Weekday(#1/1/2024#, vbMonday)", "21"},
      {"Now", "05/01/2024 12:00:00"},
      {"Date", "05/01/2024"},
      {"Time", "12:00:00"},
      {"Int(CDbl(Now)) = CDbl(Date)", "True"},
      {"DateValue(\"05/01/2024 13:05\")", "05/01/2024"},
      {"TimeValue(\"05/01/2024 13:05\")", "13:05:00"},
      {"CDate(\"05/01/2024\") = #1/5/2024#", "True"},
      {"CDate(\"ieri\")", "ERR 13"},
      {"IsDate(\"31/12/2024\") & IsDate(\"31/13/2024\") & IsDate(Now) & IsDate(5)", "TrueFalseTrueFalse"},
      {"DateAdd(\"m\", 1, #1/31/2024#)", "29/02/2024"},
      {"DateAdd(\"m\", 1, #1/31/2023#)", "28/02/2023"},
      {"DateAdd(\"m\", -1, #1/31/2010#)", "31/12/2009"},
      {"DateAdd(\"q\", 1, #1/31/2010#)", "30/04/2010"},
      {"DateAdd(\"yyyy\", 1, #2/29/2024#)", "28/02/2025"},
      {"DateAdd(\"w\", 1, #1/5/2024#)", "06/01/2024"},
      {"DateAdd(\"ww\", 2, #1/5/2024#)", "19/01/2024"},
      {"DateAdd(\"h\", 25, #1/5/2024#)", "06/01/2024 01:00:00"},
      {"DateAdd(\"n\", -1, #1/5/2024#)", "04/01/2024 23:59:00"},
      {"DateAdd(\"x\", 1, Now)", "ERR 5"},
      {"DateDiff(\"yyyy\", #12/31/2023#, #1/1/2024#)", "1"},
      {"DateDiff(\"m\", #1/31/2024#, #2/1/2024#)", "1"},
      {"DateDiff(\"d\", #3/1/2024#, #1/1/2024#)", "-60"},
      {"DatePart(\"q\", #8/15/2024#) & DatePart(\"y\", #2/1/2024#) & DatePart(\"w\", #1/1/2024#)", "3322"},
      {"DatePart(\"ww\", #1/1/2024#) & \" \" & DatePart(\"ww\", #12/31/2024#)", "1 53"},
      {"DatePart(\"ww\", #12/30/2024#, vbMonday, vbFirstFourDays)", "1"},
      {"DatePart(\"ww\", #1/1/2021#, vbMonday, vbFirstFourDays)", "53"},
      {"MonthName(1) & \" \" & MonthName(12, True)", "gennaio dic"},
      {"MonthName(13)", "ERR 5"},
      {"WeekdayName(1) & \" \" & WeekdayName(2, True) & \" \" & WeekdayName(1, False, vbMonday)",
       "domenica lun lunedì"},
  });
  Check({{"MonthName(1) & WeekdayName(2)", "JanuaryMonday"},
         {"DateSerial(2024, 1, 5)", "1/5/2024"},
         {"TimeSerial(13, 5, 0)", "1:05:00 PM"}},
        true);
}

TEST(Builtins, DateDiffCountsBoundaries) {
  const char* span = "#1/31/2009 00:00:00#, #1/31/2010 23:59:00#";
  struct Case {
    const char* interval;
    const char* expected;
  } cases[] = {{"yyyy", "1"}, {"q", "4"},  {"m", "12"},    {"y", "365"},    {"d", "365"},
               {"w", "52"},   {"ww", "53"}, {"h", "8783"}, {"n", "527039"}, {"s", "31622340"}};
  for (const auto& c : cases) {
    std::string e = std::string("DateDiff(\"") + c.interval + "\", " + span + ")";
    EXPECT_EQ(Show(e), c.expected) << c.interval;
  }
}

TEST(Builtins, Formatting) {
  Check({
      {"FormatNumber(1234567.891, 2)", "1.234.567,89"},
      {"FormatNumber(1234.5)", "1.234,50"},
      {"FormatNumber(0.5, 2, 0)", ",50"},
      {"FormatNumber(-1234.5, 1, , -1)", "(1.234,5)"},
      {"FormatNumber(1234.4, 0, , , 0)", "1234"},
      {"FormatNumber(2.675, 2)", "2,68"},
      {"FormatNumber(-5.555, 2)", "-5,56"},
      {"FormatNumber(999.996, 2)", "1.000,00"},
      {"FormatNumber(0.004, 2)", "0,00"},
      {"FormatNumber(1E-20, 3)", "0,000"},
      {"FormatNumber(123456789012, 0)", "123.456.789.012"},
      {"FormatNumber(0.5, 0)", "1"},
      {"FormatPercent(0.256, 1)", "25,6%"},
      {"FormatPercent(0.5)", "50,00%"},
      {"FormatCurrency(1234.5)", "€ 1.234,50"},
      {"FormatDateTime(#1/5/2024 13:05:00#)", "05/01/2024 13:05:00"},
      {"FormatDateTime(#1/5/2024#, vbLongDate)", "venerdì 5 gennaio 2024"},
      {"FormatDateTime(#1/5/2024 09:05:00#, vbShortTime)", "09:05"},
      {"FormatDateTime(#1/5/2024 13:05:00#, vbLongTime)", "13:05:00"},
      {"FormatDateTime(#1/5/2024 13:05:00#, vbShortDate)", "05/01/2024"},
  });
  Check({
      {"FormatNumber(1234567.891, 2)", "1,234,567.89"},
      {"FormatNumber(0.5, 2, 0)", ".50"},
      {"FormatPercent(0.256, 1)", "25.6%"},
      {"FormatCurrency(1234.5)", "$1,234.50"},
      {"FormatDateTime(#1/5/2024#, vbLongDate)", "Friday, January 5, 2024"},
      {"FormatDateTime(#1/5/2024 13:05:00#, vbShortTime)", "13:05"},
  }, true);
}

TEST(Builtins, LocaleCanBeSwitchedByScripts) {
  EXPECT_EQ(testing::Output("a = CStr(1.5)\nold = SetLocale(1033)\nb = CStr(1.5)\nSetLocale \"it-it\"\n"
                            "WScript.Echo a, b, old, GetLocale()"),
            "1,5 1.5 1040 1040");
}

}  // namespace
}  // namespace tillbook::vbscript

namespace tillbook::vbscript {
namespace {

// One script, both locales: only the lines that depend on the locale differ.
TEST(Builtins, SameScriptUnderBothLocales) {
  const char* script =
      "WScript.Echo CStr(1.5)\nWScript.Echo CDbl(\"1,5\")\nWScript.Echo DateSerial(2024, 1, 5) + "
      "TimeSerial(13, 5, 0)\nWScript.Echo FormatNumber(1234.5)\nWScript.Echo CStr(True), Len(CStr(12345))\n"
      "WScript.Echo FormatDateTime(#1/5/2024 13:05#, vbShortTime)";
  EXPECT_EQ(testing::Output(script),
            "1,5\n1,5\n05/01/2024 13:05:00\n1.234,50\nTrue 5\n13:05");
  EXPECT_EQ(testing::Output(script, true),
            "1.5\n15\n1/5/2024 1:05:00 PM\n1,234.50\nTrue 5\n13:05");
}

}  // namespace
}  // namespace tillbook::vbscript
