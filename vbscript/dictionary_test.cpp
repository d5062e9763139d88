#include <gtest/gtest.h>

#include "vbscript/interpreter.h"
#include "vbscript/test_support.h"

namespace tillbook::vbscript {
namespace {

std::string RunWithDictionary(const std::string& script) {
  Interpreter interpreter;
  interpreter.RegisterStandardObjects();
  auto echo = std::make_shared<testing::Echo>(interpreter);
  interpreter.AddObject("WScript", echo);
  try {
    interpreter.AddCode("Set d = CreateObject(\"Scripting.Dictionary\")\n" + script);
  } catch (const ScriptError& e) {
    return echo->output + "|ERR " + std::to_string(e.number());
  }
  return echo->output;
}

TEST(Dictionary, KeysItemsAndOrder) {
  EXPECT_EQ(RunWithDictionary("d.Add \"b\", 2\nd.Add \"a\", 1\nd(\"c\") = 3\n"
                              "WScript.Echo d.Count, d(\"a\"), d.Item(\"b\"), Join(d.Keys, \",\"), Join(d.Items, \",\")\n"
                              "For Each k In d\n s = s & k\nNext\nWScript.Echo s, d.Exists(\"a\"), d.Exists(\"A\")"),
            "3 1 2 b,a,c 2,1,3\nbac True False");
}

TEST(Dictionary, CountingIdiomAndRemoval) {
  EXPECT_EQ(RunWithDictionary("For Each w In Split(\"a b a c a\")\n d(w) = d(w) + 1\nNext\n"
                              "WScript.Echo d(\"a\"), d.Count\nd.Remove \"b\"\nWScript.Echo d.Count, Join(d.Keys)\n"
                              "d.Key(\"c\") = \"z\"\nWScript.Echo Join(d.Keys)\nd.RemoveAll\nWScript.Echo d.Count"),
            "3 3\n2 a c\na z\n0");
}

TEST(Dictionary, KeyKindsAndErrors) {
  EXPECT_EQ(RunWithDictionary("d.Add 1, \"one\"\nd.Add \"1\", \"text\"\nWScript.Echo d(1), d(\"1\"), d(CLng(1)), d.Count"),
            "one text one 2");
  EXPECT_EQ(RunWithDictionary("d.CompareMode = 1\nd.Add \"Key\", 1\nWScript.Echo d.Exists(\"KEY\")"), "True");
  EXPECT_EQ(RunWithDictionary("d.Add \"a\", 1\nd.Add \"a\", 2"), "|ERR 457");
  EXPECT_EQ(RunWithDictionary("d.Remove \"none\""), "|ERR 32811");
  EXPECT_EQ(RunWithDictionary("WScript.Echo TypeName(d), IsEmpty(d(\"new\")), d.Count"), "Dictionary True 1");
}

TEST(Dictionary, NotCreatableUnlessRegistered) {
  EXPECT_EQ(testing::Output("Set d = CreateObject(\"Scripting.Dictionary\")"), "ERR 429");
}

}  // namespace
}  // namespace tillbook::vbscript
