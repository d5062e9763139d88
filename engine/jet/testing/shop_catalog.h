// The shop's tables as the catalogue sees them (fields, references, inheritance), for the
// translator's tests: the shapes the list views and the program's filters run against.
#pragma once

#include "engine/jet/memory_catalog.h"

namespace tillbook::jet::testing {

// Built once; the ordering switches (orders, agents) are on.
const MemoryCatalog& ShopCatalog();

}  // namespace tillbook::jet::testing
