// Binds the translator's parameters to an SQLite statement in the archive's storage forms:
// Boolean as 1/0, Date as 'yyyy-mm-dd hh:mm:ss', Currency as its count of ten-thousandths.
#pragma once

#include <vector>

#include "base/variant.h"

struct sqlite3_stmt;

namespace tillbook::jet {

// params[i] goes to placeholder i + 1. Throws Error on a value SQLite refuses, or when the list
// is not the statement's own (not as many values as it has placeholders).
void BindJetParameters(sqlite3_stmt* statement, const std::vector<Variant>& params);

}  // namespace tillbook::jet
