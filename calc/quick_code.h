// The proposal for a new article's quick code ("CodiceRapido"): codes are a number optionally
// followed by other characters ("12", "12X"), and the proposal is the greatest number plus one
// with the same trailing characters. Longer codes count as greater, so after "9" the search goes
// on among the two-character codes.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace tillbook::engine {
class Connection;
}

namespace tillbook::calc {

// The greatest code in text order among those longer than `longerThan` characters (all codes
// for 0); nullopt when there is none.
using GreatestQuickCode = std::function<std::optional<std::string>(size_t longerThan)>;

// "" when there is no code, the greatest is "0" or empty, or it has no leading digits.
std::string NextQuickCode(const GreatestQuickCode& greatest);
// The same over the "CodiceRapido" of the archive's `Articoli`.
std::string NextQuickCode(engine::Connection& connection);

}  // namespace tillbook::calc
