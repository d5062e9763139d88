// A small shop archive for the translator's tests: rows chosen to sit just inside and just
// outside the views' conditions (boundary dates, a null due date, a sale without payment,
// accented and mixed-case names, an article with two suppliers). "Today" is 2024-03-15 10:30.
#pragma once

#include "base/date.h"
#include "engine/jet/testing/test_database.h"

namespace tillbook::jet::testing {

inline DateTime ShopNow() {
  return *DateTime::FromParts(2024, 3, 15, 10, 30, 0);
}

void SeedShop(TestDatabase& db);

}  // namespace tillbook::jet::testing
