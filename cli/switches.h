// Configuration switches given on the command line as "--set KEY=VALUE": keys without regard to
// case, values read as the settings store reads booleans (FALSE, FALSO, NO and 0 are false,
// anything else true).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "data/TableClass.h"

namespace tillbook::cli {

bool ParseBoolean(std::string_view value);

// Takes every "--set KEY=VALUE" pair out of `args` into `switches`. Returns an empty string on
// success, else the Italian message for the person (unknown key, missing '=').
std::string TakeSwitches(std::vector<std::string>& args, data::TableSwitches& switches);

}  // namespace tillbook::cli
