// The RegExp object of the script language: Pattern, IgnoreCase, Global, Multiline, Test,
// Execute (a collection of matches with their submatches) and Replace ($1, $&, $`, $', $$).
// Patterns follow the language's regular-expression dialect, close to that of web scripts.
// Matching reaches no file, process or network, and a pattern that backtracks without end
// stops with error 16 instead of hanging the script.
#pragma once

#include <memory>

#include "base/variant.h"

namespace tillbook::vbscript {

class Machine;

// A new RegExp; `handle` gives the running machine's locale and time limit (null once it ends).
std::shared_ptr<Object> NewRegExp(std::shared_ptr<Machine*> handle);

}  // namespace tillbook::vbscript
