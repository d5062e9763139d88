// What keeps a broken or hostile script from taking the program down: long operator chains,
// nesting past the limits, runaway recursion on small thread stacks, the stop flag set from
// another thread, texts and arrays past their size limits.
#include <gtest/gtest.h>
#include <pthread.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "vbscript/interpreter.h"
#include "vbscript/test_support.h"

namespace tillbook::vbscript {
namespace {

using testing::Output;

using testing::Show;

std::string Repeat(std::string_view piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

// Runs `body` on a thread whose stack has `bytes`, as a host running scripts off its main
// thread may give them.
void OnThreadWithStack(size_t bytes, const std::function<void()>& body) {
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  ASSERT_EQ(pthread_attr_setstacksize(&attr, bytes), 0);
  pthread_t thread;
  auto start = [](void* arg) -> void* {
    (*static_cast<const std::function<void()>*>(arg))();
    return nullptr;
  };
  ASSERT_EQ(pthread_create(&thread, &attr, start, const_cast<std::function<void()>*>(&body)), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attr);
}

TEST(Limits, LongOperatorChainsAreEvaluatedWithoutNesting) {
  EXPECT_EQ(Output("x = 1" + Repeat(" + 1", 90000) + "\nWScript.Echo x"), "90001");
  EXPECT_EQ(Output("WScript.Echo Eval(\"1\" & Replace(Space(100000), \" \", \"+1\"))"), "100001");
  EXPECT_EQ(Output("Execute \"x = 1\" & Replace(Space(50000), \" \", \"*1\")\nWScript.Echo x"),
            "1");
  EXPECT_EQ(Output("WScript.Echo Len(\"a\"" + Repeat(" & \"bc\"", 30000) + ")"), "60001");
  testing::Check({
      // Left to right, whatever the length of the run.
      {("100" + Repeat(" - 1", 40)).c_str(), "60"},
      {("4096" + Repeat(" / 2", 12)).c_str(), "1"},
      {("2" + Repeat(" ^ 1", 20) + " ^ 3").c_str(), "8"},
      // Precedence inside a long run: * before +, comparisons after &.
      {("1" + Repeat(" + 2 * 3", 20)).c_str(), "121"},
      {("\"a\"" + Repeat(" & \"a\"", 19) + " = String(20, \"a\")").c_str(), "True"},
      // A literal on the left keeps its comparison rules when the run is flattened.
      {("\"5\" = 5" + Repeat(" And True", 20)).c_str(), Show("\"5\" = 5").c_str()},
      {("\"10\" < \"9\"" + Repeat(" Or False", 20)).c_str(), "True"},
      // Null passes through a long run as through a short one.
      {("Null" + Repeat(" + 1", 20)).c_str(), ""},
  });
}

TEST(Limits, NestingPastTheLimitIsACompileErrorOfItsOwn) {
  struct Case {
    std::string name, source;
    int line;
  } cases[] = {
      {"parentheses", "x = " + Repeat("(", 1000) + "1" + Repeat(")", 1000), 1},
      {"nested If", Repeat("If True Then\n", 600) + Repeat("End If\n", 600), 257},
      {"inline Else If", "If x Then y = 1" + Repeat(" Else If x Then y = 1", 300), 1},
      {"prefix minus", "x = " + std::string(100000, '-') + "1", 1},
      {"Not", "x = " + Repeat("Not ", 1000) + "y", 1},
      {"nested calls", "x = " + Repeat("Len(", 300) + "1" + Repeat(")", 300), 1},
      {"member chain", "Set x = Nothing\ny = x" + Repeat(".a", 300), 2},
      {"indexes", "y = x" + Repeat("(1)", 300), 1},
      {"operators nested to the right",
       "x = 1 + " + Repeat("2 * (1 + ", 300) + "1" + Repeat(")", 300), 1},
  };
  for (const auto& c : cases) {
    auto o = testing::Run(c.source);
    EXPECT_EQ(o.error, kExpressionTooComplex) << c.name;
    EXPECT_EQ(o.line, c.line) << c.name;
    EXPECT_EQ(o.description, "Espressione troppo complessa") << c.name;
  }
  // Generous enough for real scripts.
  EXPECT_EQ(Output("x = " + Repeat("(", 200) + "7" + Repeat(")", 200) + "\nWScript.Echo x"), "7");
  EXPECT_EQ(Output(Repeat("If True Then\n", 200) + "WScript.Echo 1\n" + Repeat("End If\n", 200)),
            "1");
  EXPECT_EQ(Output("WScript.Echo " + Repeat("Len(", 200) + "1" + Repeat(")", 200)), "1");
  // Text given to Eval and Execute is compiled under the same limits, and its error can be
  // caught like any run-time error.
  EXPECT_EQ(
      Output("On Error Resume Next\nx = Eval(String(1000, \"(\") & \"1\" & String(1000, \")\"))\n"
             "WScript.Echo Err.Number, Err.Description"),
      "16 Espressione troppo complessa");
}

// Scripts at the nesting limits and runaway recursion, run where the native stack is shorter
// than the main thread's: each ends with its result or error 28, never a crash.
void RunAtTheLimits() {
  EXPECT_EQ(Output(Repeat("For i = 1 To 1\n", 250) + "n = n + 1\n" + Repeat("Next\n", 250) +
                   "WScript.Echo n"),
            "1");
  EXPECT_EQ(Output("x = 1\n" + Repeat("Select Case x\nCase 1\n", 250) + "WScript.Echo x\n" +
                   Repeat("End Select\n", 250)),
            "1");
  EXPECT_EQ(Output("WScript.Echo " + Repeat("Len(", 250) + "1" + Repeat(")", 250)), "1");
  EXPECT_EQ(testing::Run("Function F(n)\n F = F(n + 1)\nEnd Function\nx = F(1)").error,
            kOutOfStack);
  EXPECT_EQ(testing::Run("Function F(n)\n" + Repeat("If n Then\n", 120) + "F = F(n + 1)\n" +
                         Repeat("End If\n", 120) + "End Function\nx = F(1)")
                .error,
            kOutOfStack);
  // Text that executes itself.
  EXPECT_EQ(testing::Run("s = \"Execute s\"\nExecute s").error, kOutOfStack);
  EXPECT_EQ(testing::Run("s = \"x = Eval(s)\"\nExecute s").error, kOutOfStack);
  // Compiling deep text from deep inside a recursion.
  EXPECT_EQ(
      testing::Run(
          "Function F(n)\n Execute \"x = \" & String(250, \"(\") & \"1\" & String(250, \")\")\n"
          " F = F(n + 1)\nEnd Function\nx = F(1)")
          .error,
      kOutOfStack);
}

TEST(Limits, DeepScriptsEndWithAnErrorOnAnyStack) {
  RunAtTheLimits();
  OnThreadWithStack(512u << 10, RunAtTheLimits);
  OnThreadWithStack(1u << 20, RunAtTheLimits);
}

TEST(Limits, DeepStructuresAreReleasedWithoutRecursion) {
  // Dropping a structure nested a hundred thousand times runs no native call per level, even
  // on a short stack.
  OnThreadWithStack(512u << 10, [] {
    EXPECT_EQ(Output("For i = 1 To 100000 : a = Array(a) : Next\na = 0\nWScript.Echo \"ok\""),
              "ok");
    EXPECT_EQ(Output("Class Node\n Public nxt\nEnd Class\nSet h = Nothing\n"
                     "For i = 1 To 100000\n Set n = New Node\n Set n.nxt = h\n Set h = n\nNext\n"
                     "Set n = Nothing\nSet h = Nothing\nWScript.Echo \"ok\""),
              "ok");
    Interpreter interpreter;
    interpreter.RegisterStandardObjects();
    interpreter.AddCode(
        "Set h = Nothing\nFor i = 1 To 100000\n Set d = CreateObject(\"Scripting.Dictionary\")\n"
        " d.Add \"next\", h\n Set h = d\nNext\nSet d = Nothing\nSet h = Nothing");
  });
  // Objects in a container still end in the container's order, before the statement that
  // dropped them is over.
  EXPECT_EQ(
      Output("Class C\n Public id\n Sub Class_Terminate : WScript.Echo \"end\", id : End Sub\n"
             "End Class\nDim a(2)\nFor i = 0 To 2 : Set a(i) = New C : a(i).id = i : Next\n"
             "b = Array(a, a(2))\nErase a\nb = Empty\nWScript.Echo \"after\""),
      "end 0\nend 1\nend 2\nafter");
}

TEST(Limits, StopFlagEndsRunawayScriptsFromAnotherThread) {
  const char* scripts[] = {
      "On Error Resume Next\nDo : Loop",
      "On Error Resume Next\nWhile True : Wend",
      "On Error Resume Next\nFor i = 1 To 2 Step 0 : Next",
      // Recursion that fails with error 28, caught, and tried again.
      "Sub R : R : End Sub\nOn Error Resume Next\nDo\n R\nLoop",
      "Function F(n)\n On Error Resume Next\n F = F(n + 1)\n F = F(n + 1)\nEnd Function\nx = F(1)",
      // Long texts built over and over: their size counts as work.
      "Do : s = Space(10000000) : Loop",
      "Class C\n Sub Class_Terminate : Do : Loop : End Sub\nEnd Class\nSet o = New C\nSet o = "
      "Nothing",
  };
  for (const char* source : scripts) {
    Interpreter interpreter;
    auto stop = std::make_shared<std::atomic<bool>>(false);
    interpreter.SetStopFlag(stop);
    interpreter.RegisterStandardObjects();
    std::thread stopper([stop] {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      stop->store(true);
    });
    try {
      interpreter.AddCode(source);
      ADD_FAILURE() << source;
    } catch (const ScriptError& e) {
      EXPECT_EQ(e.number(), kTimeLimitExceeded) << source;
      EXPECT_EQ(e.description(), "Esecuzione interrotta") << source;
    }
    stopper.join();
    // While the flag stays set every run stops at once; cleared, the instance works again.
    EXPECT_THROW(interpreter.AddCode("Do : Loop"), ScriptError) << source;
    stop->store(false);
    interpreter.AddCode("For i = 1 To 10000 : n = n + 1 : Next");
    EXPECT_EQ(interpreter.ToText(interpreter.Eval("n")), "10000") << source;
  }
}

// A host that lowers the text limit, so that sizes around it are cheap to try.
std::string WithTextLimit(size_t bytes, const std::string& script) {
  Interpreter interpreter;
  interpreter.SetTextLimit(bytes);
  auto echo = std::make_shared<testing::Echo>(interpreter);
  interpreter.AddObject("WScript", echo);
  try {
    interpreter.AddCode(script);
  } catch (const ScriptError& e) {
    return echo->output + (echo->output.empty() ? "" : "\n") + "ERR " + std::to_string(e.number());
  }
  return echo->output;
}

TEST(Limits, TextsPastTheLimitAreError7BeforeTheyAreBuilt) {
  // The default limit, 256 MiB: sizes just past it are refused without being allocated.
  EXPECT_EQ(Output("x = Space(268435457)"), "ERR 7");
  EXPECT_EQ(Output("x = String(268435457, \"a\")"), "ERR 7");
  EXPECT_EQ(Output("x = String(89478486, \"€\")"), "ERR 7");  // 3 bytes each
  EXPECT_EQ(Output("x = Space(2000000000)"), "ERR 7");
  struct Case {
    const char* script;
    const char* at;               // a text of exactly 1000 bytes
    const char* past;             // 1001 bytes
    const char* length = "1000";  // of the text of `at`, in characters
  } cases[] = {
      {"Space", "x = Space(1000)", "x = Space(1001)"},
      {"String", "x = String(1000, \"a\")", "x = String(1001, \"a\")"},
      {"String of a long character", "x = String(500, \"é\")", "x = String(334, \"€\")", "500"},
      {"&", "x = Space(600) & Space(400)", "x = Space(600) & Space(401)"},
      {"& of numbers", "x = Space(998) & 10", "x = Space(998) & 100"},
      {"+ of texts", "x = Space(600) + Space(400)", "x = Space(600) + Space(401)"},
      // A local variable grows in place.
      {"appending in a loop",
       "Function F(t)\n For i = 1 To 100 : t = t & \"0123456789\" : Next\n F = t\nEnd Function\n"
       "s = F(\"\")",
       "Function F(t)\n For i = 1 To 100 : t = t & \"0123456789\" : Next\n F = t\nEnd Function\n"
       "s = F(\"x\")"},
      {"Replace", "x = Replace(Space(8), \" \", Space(125))",
       "x = Replace(Space(11), \" \", Space(91))"},
      {"Join", "x = Join(Array(Space(500), Space(499)))",
       "x = Join(Array(Space(500), Space(500)))"},
      {"Escape", "x = Escape(Space(333) & \"a\")", "x = Escape(Space(333) & \"ab\")"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WithTextLimit(1000, std::string(c.at) + "\nWScript.Echo Len(x & s)"), c.length)
        << c.script;
    EXPECT_EQ(WithTextLimit(1000, c.past), "ERR 7") << c.script;
  }
  // Like running out of memory, a script may catch it.
  EXPECT_EQ(WithTextLimit(1000,
                          "On Error Resume Next\nx = Space(5000)\nWScript.Echo Err.Number, "
                          "Err.Description"),
            "7 Memoria esaurita");
}

TEST(Limits, ArraysPastTheLimitAreError7) {
  // Bounds whose product wraps around must not make an array smaller than it claims.
  EXPECT_EQ(Output("ReDim a(2147483647, 2147483647, 2147483647)\nx = a(99999, 99999, 99999)"),
            "ERR 7");
  EXPECT_EQ(Output("ReDim a(70000000)"), "ERR 7");
  EXPECT_EQ(Output("On Error Resume Next\nDim a()\nReDim a(65536, 1024)\nWScript.Echo Err.Number"),
            "7");
}

}  // namespace
}  // namespace tillbook::vbscript
