// The host side: objects reached by member name, indexed properties, default members,
// arguments by reference in both directions, calls by name, named objects, the sandbox and
// the limits.
#include <gtest/gtest.h>

#include <map>
#include <thread>

#include "base/text.h"
#include "vbscript/interpreter.h"
#include "vbscript/locale.h"
#include "vbscript/test_support.h"

namespace tillbook::vbscript {
namespace {

// A report engine as layouts see it: Vars/Nums/Strs indexed properties, a few plain
// properties, a method that writes into its by-reference argument, a log of drawing calls.
class FakePrinter : public Object {
 public:
  std::string TypeName() const override { return "clsCustomReport"; }
  Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) override {
    std::string k = text::Fold(name);
    if (k == "vars" || k == "nums" || k == "strs") {
      if (args.empty()) throw Error("argomento mancante", "", 449);
      std::string key = k + ":" + text::Fold(args[0].ToText());
      if (kind == InvokeKind::Let) {
        vars[key] = args.back();
        return {};
      }
      auto it = vars.find(key);
      if (it != vars.end()) return it->second;
      return k == "nums" ? Variant::Integer(0) : k == "strs" ? Variant::String("") : Variant();
    }
    if (k == "ignorenextnewrow" || k == "rowprinting") {
      if (kind == InvokeKind::Let) {
        flags[k] = args.back().ToBool();
        return {};
      }
      return Variant::Boolean(flags[k]);
    }
    if (k == "datareferencename") return Variant::String("Dettagli");
    if (k == "txtout" || k == "setfont" || k == "boxout") {
      std::string line = k;
      for (auto& a : args) line += " " + a.ToText();
      log.push_back(line);
      return {};
    }
    if (k == "measure") {  // Measure text, width: writes the width back
      args[1] = Variant::Long(static_cast<int32_t>(args[0].ToText().size() * 2));
      return Variant::Boolean(true);
    }
    throw Error("", "", 438);
  }
  std::map<std::string, Variant> vars;
  std::map<std::string, bool> flags;
  std::vector<std::string> log;
};

// A record whose default member is its Fields collection's Value: rs("Codice").
class FakeRecord : public Object {
 public:
  std::string TypeName() const override { return "Recordset"; }
  Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) override {
    std::string k = text::Fold(name);
    if (k.empty() || k == "fields") {
      if (args.empty()) throw Error("", "", 450);
      std::string field = text::Fold(args[0].ToText());
      if (field == "codice") return Variant::String("A1");
      if (field == "prezzo") return Variant::Currency(Money::FromRaw(125000));
      if (field == "note") return Variant::Null();
      throw Error("Campo non trovato", field, 3265);
    }
    if (k == "count") return Variant::Long(3);
    throw Error("", "", 438);
  }
  bool Enumerate(std::vector<Variant>& items) override {
    items = {Variant::String("Codice"), Variant::String("Prezzo"), Variant::String("Note")};
    return true;
  }
};

class HostTest : public ::testing::Test {
 protected:
  HostTest() {
    echo_ = std::make_shared<testing::Echo>(interpreter_);
    interpreter_.AddObject("WScript", echo_);
    interpreter_.SetClock([] { return 45296.5; });
  }
  Interpreter interpreter_;
  std::shared_ptr<testing::Echo> echo_;
};

TEST_F(HostTest, IndexedPropertiesAndMembers) {
  auto prn = std::make_shared<FakePrinter>();
  interpreter_.AddCode(
      "Function PrintReportRow(dsRow, prn, nRow)\n"
      "  prn.Nums(\"Tot\") = prn.Nums(\"Tot\") + nRow\n"
      "  prn.Vars(\"x\") = \"riga \" & nRow\n"
      "  prn.IgnoreNextNewRow = True\n"
      "  If prn.DataReferenceName=\"Dettagli\" Then prn.TxtOut 10, 20, \"testo\", 0, False\n"
      "  PrintReportRow = True\n"
      "End Function\n");
  for (int row = 1; row <= 3; ++row) {
    std::vector<Variant> args{Variant::Nothing(), Variant::Object(prn), Variant::Integer(row)};
    EXPECT_TRUE(interpreter_.Call("PrintReportRow", args).ToBool());
  }
  EXPECT_EQ(prn->vars["nums:tot"].ToInt64(), 6);
  EXPECT_EQ(prn->vars["vars:x"].ToText(), "riga 3");
  EXPECT_TRUE(prn->flags["ignorenextnewrow"]);
  ASSERT_EQ(prn->log.size(), 3u);
  EXPECT_EQ(prn->log[0], "txtout 10 20 testo 0 False");
}

TEST_F(HostTest, DefaultMembersAndEnumeration) {
  interpreter_.AddObject("rs", std::make_shared<FakeRecord>());
  interpreter_.AddCode(
      "v = rs(\"Codice\")\n"
      "WScript.Echo v, rs(\"Prezzo\") * 2, TypeName(rs(\"Prezzo\")), \"[\" & rs(\"Note\") & \"]\"\n"
      "If rs(\"Codice\") = \"A1\" Then WScript.Echo \"match\"\n"
      "For Each f In rs\n  s = s & f & \";\"\nNext\n"
      "WScript.Echo s, rs.Count, TypeName(rs)\n"
      "On Error Resume Next\nx = rs(\"Manca\")\nWScript.Echo Err.Number, Err.Description\n"
      "x = rs.Unknown\nWScript.Echo Err.Number\n");
  EXPECT_EQ(echo_->output,
            "A1 25 Currency []\nmatch\nCodice;Prezzo;Note; 3 Recordset\n3265 Campo non trovato\n438");
}

TEST_F(HostTest, HostMethodsWriteIntoVariables) {
  interpreter_.AddObject("prn", std::make_shared<FakePrinter>());
  interpreter_.AddCode("w = 0\nok = prn.Measure(\"abcd\", w)\nWScript.Echo ok, w\n"
                       "Dim a(1)\nprn.Measure \"ab\", a(1)\nWScript.Echo a(1)\n"
                       "prn.Measure \"abc\", (w)\nWScript.Echo w");
  EXPECT_EQ(echo_->output, "True 8\n4\n8");
}

TEST_F(HostTest, ScriptsGiveBackArgumentsByReference) {
  interpreter_.AddCode(
      "Dim rstCount\nFunction ImportRow(bIgnore)\n  If rstCount > 1 Then bIgnore = True\n  rstCount = rstCount + 1\n"
      "  ImportRow = True\nEnd Function\n"
      "Function GetValue_QuantitàScarico(vntValue, vntRetValue)\n"
      "  vntRetValue = vntValue * 2\n  GetValue_QuantitàScarico = True\nEnd Function\n"
      "Function RestartDate(dtRipartenza)\n  dtRipartenza = DateAdd(\"d\", -1, dtRipartenza)\n"
      "  RestartDate = True\nEnd Function\n"
      "Sub NoResult(ByVal x)\n  x = 5\nEnd Sub\n");
  std::vector<bool> ignored;
  for (int i = 0; i < 3; ++i) {
    std::vector<Variant> args{Variant::Boolean(false)};
    EXPECT_TRUE(interpreter_.Call("ImportRow", args).ToBool());
    ignored.push_back(args[0].ToBool());
  }
  EXPECT_EQ(ignored, (std::vector<bool>{false, false, true}));  // globals persist between calls

  std::vector<Variant> values{Variant::Integer(21), Variant()};
  EXPECT_TRUE(interpreter_.HasFunction("GetValue_QuantitàScarico"));
  interpreter_.Call("getvalue_quantitàscarico", values);
  EXPECT_EQ(values[1].ToInt64(), 42);

  std::vector<Variant> date{Variant::Date(*DateTime::FromParts(2024, 3, 1))};
  interpreter_.Call("RestartDate", date);
  EXPECT_EQ(date[0].ToDateTime(), *DateTime::FromParts(2024, 2, 29));

  std::vector<Variant> byValue{Variant::Integer(1)};
  EXPECT_TRUE(interpreter_.Call("NoResult", byValue).IsEmpty());
  EXPECT_EQ(byValue[0].ToInt64(), 1);
  EXPECT_FALSE(interpreter_.HasFunction("rstCount"));

  std::vector<Variant> tooMany{Variant(), Variant()};
  try {
    interpreter_.Call("ImportRow", tooMany);
    FAIL();
  } catch (const ScriptError& e) {
    EXPECT_EQ(e.number(), 450);
  }
}

TEST_F(HostTest, HookResultsConvertToBooleans) {
  interpreter_.AddCode("Function Forgot(a)\nEnd Function\nFunction Yes(a)\n Yes = True\nEnd Function");
  std::vector<Variant> args{Variant()};
  EXPECT_TRUE(interpreter_.Call("Forgot", args).IsEmpty());
  EXPECT_FALSE(interpreter_.Call("Forgot", args).ToBool());
  EXPECT_TRUE(interpreter_.Call("Yes", args).ToBool());
}

TEST_F(HostTest, EvalAndEmptyResults) {
  interpreter_.AddCode("rate = 22");
  EXPECT_EQ(interpreter_.Eval("rate * 2").ToInt64(), 44);
  EXPECT_EQ(interpreter_.ToText(interpreter_.Eval("1.5 + 1")), "2,5");
  interpreter_.SetLocale(Locale::English());
  EXPECT_EQ(interpreter_.ToText(interpreter_.Eval("1.5 + 1")), "2.5");
}

TEST_F(HostTest, CreateObjectKnowsOnlyRegisteredNames) {
  int created = 0;
  interpreter_.RegisterCreatable("ADODB.Recordset", [&] {
    ++created;
    return std::make_shared<FakeRecord>();
  });
  interpreter_.AddCode("Set r = CreateObject(\"adodb.recordset\")\nWScript.Echo TypeName(r), r(\"Codice\")");
  EXPECT_EQ(created, 1);
  EXPECT_EQ(echo_->output, "Recordset A1");
  for (const char* progId : {"Scripting.FileSystemObject", "WScript.Shell", "MSXML2.XMLHTTP",
                             "ADODB.Stream", "Shell.Application"}) {
    try {
      interpreter_.AddCode(std::string("Set o = CreateObject(\"") + progId + "\")");
      ADD_FAILURE() << progId;
    } catch (const ScriptError& e) {
      EXPECT_EQ(e.number(), 429) << progId;
    }
  }
  EXPECT_THROW(interpreter_.AddCode("Set o = GetObject(\"C:\\\\x.txt\")"), ScriptError);
}

TEST_F(HostTest, TimeLimitStopsRunawayScripts) {
  interpreter_.SetTimeLimit(std::chrono::milliseconds(100));
  interpreter_.AddCode("Function Spin()\n  On Error Resume Next\n  Do\n    n = n + 1\n  Loop\nEnd Function\n"
                       "Function Quick()\n  Quick = 1\nEnd Function");
  try {
    interpreter_.Call("Spin", {});
    FAIL();
  } catch (const ScriptError& e) {
    EXPECT_EQ(e.number(), kTimeLimitExceeded);  // On Error does not hide it
    EXPECT_EQ(e.line(), 3);
  }
  // The limit is per call: the instance stays usable.
  EXPECT_EQ(interpreter_.Call("Quick", {}).ToInt64(), 1);
}

TEST_F(HostTest, BarcodeFilterKeepsStateBetweenCalls) {
  interpreter_.AddCode(
      "Dim lastCode\nFunction BarCodeFilter( sOriginalCode )\n"
      "  If sOriginalCode = lastCode Then\n    BarCodeFilter = \"\"\n  Else\n"
      "    BarCodeFilter = UCase(Trim(sOriginalCode))\n  End If\n  lastCode = sOriginalCode\nEnd function\n");
  auto scan = [&](const char* code) {
    std::vector<Variant> args{Variant::String(code)};
    return interpreter_.Call("BarCodeFilter", args).ToText();
  };
  EXPECT_EQ(scan(" abc "), "ABC");
  EXPECT_EQ(scan(" abc "), "");
  EXPECT_EQ(scan("x1"), "X1");
}

TEST_F(HostTest, MessageBoxesGoThroughTheHost) {
  std::vector<std::string> shown;
  interpreter_.SetMessageBox([&](const std::string& text, int buttons, const std::string&) {
    shown.push_back(text + "/" + std::to_string(buttons));
    return 7;  // No
  });
  interpreter_.AddCode("r = MsgBox(\"Continuare?\", vbYesNo + vbQuestion)\nWScript.Echo r = vbNo");
  EXPECT_EQ(shown, (std::vector<std::string>{"Continuare?/36"}));
  EXPECT_EQ(echo_->output, "True");
}

}  // namespace
}  // namespace tillbook::vbscript

namespace tillbook::vbscript {
namespace {

TEST_F(HostTest, ObjectAssignmentsAndRefusals) {
  auto ds = std::make_shared<FakePrinter>();
  interpreter_.AddObject("prn", ds);
  interpreter_.AddObject("rs", std::make_shared<FakeRecord>());
  interpreter_.AddCode("On Error Resume Next\n"
                       "For Each x In prn\nNext\nWScript.Echo Err.Number\nErr.Clear\n"
                       "Set n = Nothing\ny = n.Value\nWScript.Echo Err.Number\nErr.Clear\n"
                       "Set o = rs\nWScript.Echo o Is rs, TypeName(o)\n"
                       "prn.Vars(\"k\") = rs(\"Codice\")\nWScript.Echo prn.Vars(\"k\")\n");
  EXPECT_EQ(echo_->output, "451\n91\nTrue Recordset\nA1");
}

}  // namespace
}  // namespace tillbook::vbscript

namespace tillbook::vbscript {
namespace {

class Quitter : public Object {
 public:
  std::string TypeName() const override { return "WScript"; }
  Variant Invoke(std::string_view name, InvokeKind, std::span<Variant> args) override {
    if (text::EqualNoCase(name, "quit")) throw QuitRequest{args.empty() ? 0 : static_cast<int>(args[0].ToInt64())};
    return {};
  }
};

TEST(Host, QuitEndsTheRunThroughErrorHandlers) {
  Interpreter interpreter;
  interpreter.AddObject("WScript", std::make_shared<Quitter>());
  interpreter.AddCode("Dim reached\nSub Deep()\n On Error Resume Next\n WScript.Quit 4\n reached = True\nEnd Sub");
  try {
    interpreter.AddCode("On Error Resume Next\nDeep\nreached = True");
    FAIL();
  } catch (const QuitRequest& q) {
    EXPECT_EQ(q.exitCode, 4);
  }
  EXPECT_TRUE(interpreter.Eval("IsEmpty(reached)").ToBool());
  // The instance is still usable afterwards.
  EXPECT_EQ(interpreter.Eval("1 + 1").ToInt64(), 2);
}

}  // namespace
}  // namespace tillbook::vbscript

namespace tillbook::vbscript {
namespace {

TEST(Host, HostsCallScriptObjects) {
  Interpreter interpreter;
  interpreter.AddCode("Class Calc\n Public Rate\n Function Apply(x)\n  Apply = x * Rate\n End Function\n"
                      " Function Broken()\n  Broken = 1 / 0\n End Function\nEnd Class\n"
                      "Function Make()\n Set Make = New Calc\n Make.Rate = 2\nEnd Function");
  Variant calc = interpreter.Call("Make", {});
  ASSERT_TRUE(calc.IsObject());
  EXPECT_EQ(calc.AsObject()->TypeName(), "Calc");
  EXPECT_TRUE(calc.AsObject()->HasMember("apply"));
  std::vector<Variant> args{Variant::Integer(21)};
  EXPECT_EQ(calc.AsObject()->Invoke("APPLY", InvokeKind::Call, args).ToInt64(), 42);
  std::vector<Variant> rate{Variant::Integer(3)};
  calc.AsObject()->Invoke("Rate", InvokeKind::Let, rate);
  EXPECT_EQ(calc.AsObject()->Invoke("Apply", InvokeKind::Call, args).ToInt64(), 63);
  try {
    calc.AsObject()->Invoke("Broken", InvokeKind::Call, {});
    FAIL();
  } catch (const ScriptError& e) {
    EXPECT_EQ(e.number(), 11);
    EXPECT_EQ(e.line(), 7);
  }
  EXPECT_THROW(calc.AsObject()->Invoke("Nope", InvokeKind::Get, {}), ScriptError);
}

}  // namespace
}  // namespace tillbook::vbscript

namespace tillbook::vbscript {
namespace {

// Nothing in the language reaches files, processes or the network by itself.
TEST(Sandbox, NoWayOutWithoutHostObjects) {
  struct Case {
    const char* source;
    int number;
  } cases[] = {
      {"Set fso = CreateObject(\"Scripting.FileSystemObject\")", 429},
      {"Set sh = CreateObject(\"WScript.Shell\")", 429},
      {"Set x = GetObject(\"winmgmts:\")", 429},
      {"Set p = LoadPicture(\"/etc/passwd\")", 5},
      {"Shell \"rm -rf /\"", 13},
      {"Execute \"Set f = CreateObject(\"\"ADODB.Stream\"\")\"", 429},
      {"x = Eval(\"CreateObject(\"\"MSXML2.XMLHTTP\"\")\")", 429},
  };
  for (const auto& c : cases) {
    auto o = testing::Run(c.source);
    EXPECT_EQ(o.error, c.number) << c.source;
  }
}

}  // namespace
}  // namespace tillbook::vbscript
