// The identifying data of the business, kept in the archive as system values with their captions,
// and the rules of their editing window: no storing without a category, and a last question.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tillbook::engine {
class Connection;
class UiServices;
}  // namespace tillbook::engine

namespace tillbook::core {

struct IdentityKey {
  const char* key;
  const char* caption;
};
// "SYS_Name" "NOME" ... "SYS_Category" "CATEGORIA/ATTIVITA'", in the window's order.
const std::vector<IdentityKey>& IdentityKeys();
// The key as spelled above for any spelling of it; nullptr when it is none of them.
const IdentityKey* FindIdentityKey(std::string_view key);

// Key -> value (keys as IdentityKeys spells them).
using IdentityValues = std::map<std::string, std::string>;

IdentityValues ReadIdentity(engine::Connection& connection);

// Stores the values the way the identity window does: without "SYS_Category" it refuses with
// "Devi selezionare la categoria."; then it asks "Memorizzare i dati ?" and writes only on Yes.
// Returns true when written.
bool StoreIdentity(engine::Connection& connection, const IdentityValues& values,
                   engine::UiServices& ui);

}  // namespace tillbook::core
