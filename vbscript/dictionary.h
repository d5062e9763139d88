// The keyed collection scripts know as "Scripting.Dictionary": items in insertion order under
// unique keys, compared as binary text (CompareMode 0) or without regard to case (1). Hosts
// make it creatable with Interpreter::RegisterStandardObjects; it touches nothing outside the
// script.
#pragma once

#include <memory>

#include "base/variant.h"

namespace tillbook::vbscript {

std::shared_ptr<Object> NewDictionary();

}  // namespace tillbook::vbscript
