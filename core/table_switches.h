// The configuration switches that decide the table list, by name, and the copy of them an
// archive keeps: the desktop program and `tillbook-cli init` record the switches they defined
// the archive with, so every later command starts from the same table list.
#pragma once

#include <span>
#include <string_view>

#include "data/TableClass.h"

namespace tillbook::engine {
class Connection;
}

namespace tillbook::core {

struct SwitchKey {
  const char* name;
  bool data::TableSwitches::*member;
};

// Every switch, in the order the settings list them.
std::span<const SwitchKey> SwitchKeys();
// The switch named so (without regard to case); null when there is none.
const SwitchKey* FindSwitch(std::string_view name);

// The switches the archive was last defined with; the defaults when it has none.
data::TableSwitches StoredSwitches(engine::Connection& connection);
// Records them in the archive; unchanged switches are not written again.
void StoreSwitches(engine::Connection& connection, const data::TableSwitches& switches);
// What a command adding rows works with: the archive's switches, with the new-row defaults
// (code lengths, unit, VAT) of the person's settings file, as the desktop program would.
data::TableSwitches WorkingSwitches(engine::Connection& connection);

}  // namespace tillbook::core
