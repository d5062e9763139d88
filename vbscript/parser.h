// The parser: tokens to a Unit. Locals, parameters, constants and class members are bound
// here; global names are left to the linker of the running interpreter, which knows the names
// of earlier texts and of the host. Compile errors are thrown as ScriptError with the line.
#pragma once

#include <memory>
#include <string_view>

#include "vbscript/program.h"

namespace tillbook::vbscript {

std::unique_ptr<Unit> Parse(std::string_view source);

// A single expression (for Eval), as a unit whose top level assigns it to the hidden global
// named by `resultName`.
std::unique_ptr<Unit> ParseExpression(std::string_view source, std::string_view resultName);

}  // namespace tillbook::vbscript
