// SQL functions the translator's SQLite output calls: jet_like (the original wildcards * ? #
// [..], case-insensitive), jet_upper / jet_lower (accented letters included) and jet_pow. The
// engine registers them on every connection, next to its JET_CI and JET_SORT collations.
#pragma once

#include <string_view>

struct sqlite3;

namespace tillbook::jet {

// Throws Error when SQLite refuses a registration.
void RegisterJetFunctions(sqlite3* db);

// The matching rule of jet_like, exposed for tests and for callers that filter in memory:
// '*' any run, '?' one character, '#' one digit, [abc] [a-z] [!abc] one character in (or not
// in) the group; '%' and '_' are ordinary characters. Case-insensitive, accent-sensitive.
bool JetLike(std::string_view value, std::string_view pattern);

}  // namespace tillbook::jet
