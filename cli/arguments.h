// Checks made at the door, before any command runs: every argument must be UTF-8 text (it may
// end up in the archive and in JSON output), and the environment settings must be readable.
#pragma once

#include <string>
#include <vector>

namespace tillbook::cli {

// An empty string when the arguments and the environment are fine, else the Italian message of
// the first problem (wrong usage: status 2).
std::string CheckArguments(const std::vector<std::string>& args);

}  // namespace tillbook::cli
