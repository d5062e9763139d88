// A small host for the interpreter's tests: a WScript object whose Echo collects lines, and
// helpers that run a script and return what it echoed or the error it stopped with.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vbscript/interpreter.h"

namespace tillbook::vbscript::testing {

class Echo : public Object {
 public:
  explicit Echo(Interpreter& owner) : owner_(owner) {}
  std::string TypeName() const override { return "WScript"; }
  Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) override;
  std::string output;

 private:
  Interpreter& owner_;
};

struct Outcome {
  std::string output;   // echoed lines joined with '\n'
  int error = 0;        // number of the error the script stopped with
  int line = 0;
  std::string description;
};

// Runs the script with WScript.Echo (Italian locale unless english), and with the standard
// creatable objects when asked.
Outcome Run(std::string_view script, bool english = false, bool standardObjects = false);
// Echo output of the script, or "ERR <number>" when it failed.
std::string Output(std::string_view script, bool english = false, bool standardObjects = false);
// The text of one expression, as WScript.Echo prints it.
std::string Show(std::string_view expression, bool english = false);

// One table-driven case: an expression and what WScript.Echo prints for it.
struct ExpressionCase {
  const char* expression;
  const char* expected;
};
// Expects Show(expression) == expected for every case, naming the expression on failure.
void Check(std::initializer_list<ExpressionCase> cases, bool english = false);

}  // namespace tillbook::vbscript::testing
