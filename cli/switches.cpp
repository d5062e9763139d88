#include "cli/switches.h"

#include "base/text.h"

namespace tillbook::cli {

bool ParseBoolean(std::string_view value) {
  const std::string v = text::Upper(text::Trim(value));
  return !(v == "FALSE" || v == "FALSO" || v == "NO" || v == "0");
}

std::string TakeSwitches(std::vector<std::string>& args, data::TableSwitches& s) {
  struct Key {
    const char* name;
    bool data::TableSwitches::*member;
  };
  static const Key keys[] = {
      {"EnableGenericLabel", &data::TableSwitches::EnableGenericLabel},
      {"Use_Zone", &data::TableSwitches::Use_Zone},
      {"Use_Agenti", &data::TableSwitches::Use_Agenti},
      {"Use_Ordini", &data::TableSwitches::Use_Ordini},
      {"Use_AdvancedMigrationExport", &data::TableSwitches::Use_AdvancedMigrationExport},
      {"Use_Valuta", &data::TableSwitches::Use_Valuta},
      {"Use_NoMagazzino", &data::TableSwitches::Use_NoMagazzino},
  };
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
    bool found = false;
    for (const Key& k : keys)
      if (text::EqualNoCase(key, k.name)) {
        s.*(k.member) = ParseBoolean(pair.substr(eq + 1));
        found = true;
      }
    if (!found) return "Impostazione sconosciuta: " + key + ".";
  }
  args = std::move(rest);
  return {};
}

}  // namespace tillbook::cli
