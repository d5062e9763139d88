#include "vbscript/test_support.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "vbscript/locale.h"

namespace tillbook::vbscript::testing {

Variant Echo::Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) {
  if (!text::EqualNoCase(name, "echo")) throw Error("", "", 438);
  std::string line;
  for (size_t i = 0; i < args.size(); ++i) {
    if (i > 0) line += ' ';
    line += owner_.ToText(args[i]);
  }
  if (!output.empty()) output += '\n';
  output += line;
  return {};
}

Outcome Run(std::string_view script, bool english, bool standardObjects) {
  Interpreter interpreter;
  if (standardObjects) interpreter.RegisterStandardObjects();
  if (english) interpreter.SetLocale(Locale::English());
  interpreter.SetClock([] { return 45296.5; });  // 2024-01-05 12:00:00
  auto echo = std::make_shared<Echo>(interpreter);
  interpreter.AddObject("WScript", echo);
  Outcome out;
  try {
    interpreter.AddCode(script);
  } catch (const ScriptError& e) {
    out.error = e.number();
    out.line = e.line();
    out.description = e.description();
  }
  out.output = echo->output;
  return out;
}

std::string Output(std::string_view script, bool english, bool standardObjects) {
  Outcome o = Run(script, english, standardObjects);
  if (o.error) return o.output + (o.output.empty() ? "" : "\n") + "ERR " + std::to_string(o.error);
  return o.output;
}

std::string Show(std::string_view expression, bool english) {
  return Output("WScript.Echo " + std::string(expression), english);
}

void Check(std::initializer_list<ExpressionCase> cases, bool english) {
  for (const auto& c : cases) EXPECT_EQ(Show(c.expression, english), c.expected) << c.expression;
}

}  // namespace tillbook::vbscript::testing
