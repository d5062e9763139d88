// Configuration switches that decide an archive's tables: given on the command line as
// "--set KEY=VALUE" (keys without regard to case, values read as the settings store reads
// booleans: FALSE, FALSO, NO and 0 are false, anything else true), and remembered in the archive
// when it is defined, so later commands on it see the same tables.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "data/TableClass.h"

namespace tillbook::engine {
class Connection;
}

namespace tillbook::cli {

// Switches named on the command line, to apply over the archive's own.
class SwitchOverrides {
 public:
  void ApplyTo(data::TableSwitches& switches) const;
  bool empty() const { return items_.empty(); }

 private:
  friend std::string TakeSwitches(std::vector<std::string>& args, SwitchOverrides& overrides);
  std::vector<std::pair<bool data::TableSwitches::*, bool>> items_;
};

// Takes every "--set KEY=VALUE" out of `args`. Returns an empty string on success, else the
// Italian message for the person (unknown key, missing '=').
std::string TakeSwitches(std::vector<std::string>& args, SwitchOverrides& overrides);


}  // namespace tillbook::cli
