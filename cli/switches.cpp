#include "cli/switches.h"

#include "base/text.h"
#include "core/configuration.h"
#include "core/table_switches.h"

namespace tillbook::cli {

void SwitchOverrides::ApplyTo(data::TableSwitches& s) const {
  for (const auto& [member, value] : items_) s.*member = value;
}

std::string TakeSwitches(std::vector<std::string>& args, SwitchOverrides& overrides) {
  std::vector<std::string> rest;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string pair;
    if (args[i] == "--set") {
      if (i + 1 >= args.size()) return "Manca KEY=VALUE dopo --set.";
      pair = args[++i];
    } else if (args[i].rfind("--set=", 0) == 0) {
      pair = args[i].substr(6);
    } else {
      rest.push_back(args[i]);
      continue;
    }
    const auto eq = pair.find('=');
    if (eq == std::string::npos) return "Impostazione senza '=': " + pair + ".";
    const std::string key(text::Trim(pair.substr(0, eq)));
    const core::SwitchKey* k = core::FindSwitch(key);
    if (!k) return "Impostazione sconosciuta: " + key + ".";
    overrides.items_.emplace_back(k->member, core::ParseBoolean(pair.substr(eq + 1)));
  }
  args = std::move(rest);
  return {};
}

}  // namespace tillbook::cli
