#include "cli/switches.h"

#include "base/text.h"
#include "core/configuration.h"
#include "engine/database.h"

namespace tillbook::cli {

namespace {

struct Key {
  const char* name;
  bool data::TableSwitches::*member;
};

constexpr Key kKeys[] = {
    {"EnableGenericLabel", &data::TableSwitches::EnableGenericLabel},
    {"Use_Zone", &data::TableSwitches::Use_Zone},
    {"Use_Agenti", &data::TableSwitches::Use_Agenti},
    {"Use_Ordini", &data::TableSwitches::Use_Ordini},
    {"Use_AdvancedMigrationExport", &data::TableSwitches::Use_AdvancedMigrationExport},
    {"Use_Valuta", &data::TableSwitches::Use_Valuta},
    {"Use_NoMagazzino", &data::TableSwitches::Use_NoMagazzino},
};

const Key* FindKey(std::string_view name) {
  for (const Key& k : kKeys)
    if (text::EqualNoCase(name, k.name)) return &k;
  return nullptr;
}

constexpr std::string_view kStoreKey = "CFG_TableSwitches";

}  // namespace

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
    const Key* k = FindKey(key);
    if (!k) return "Impostazione sconosciuta: " + key + ".";
    overrides.items_.emplace_back(k->member, core::ParseBoolean(pair.substr(eq + 1)));
  }
  args = std::move(rest);
  return {};
}

data::TableSwitches StoredSwitches(engine::Connection& connection) {
  data::TableSwitches s;
  const Variant stored =
      engine::Database::GetSystemValue(connection, kStoreKey, Variant::String(""));
  for (const std::string& item : text::Split(stored.ToText(), ';')) {
    const auto eq = item.find('=');
    if (eq == std::string::npos) continue;
    if (const Key* k = FindKey(item.substr(0, eq)))
      s.*(k->member) = core::ParseBoolean(item.substr(eq + 1));
  }
  return s;
}

void StoreSwitches(engine::Connection& connection, const data::TableSwitches& s) {
  std::string value;
  for (const Key& k : kKeys)
    value += std::string(value.empty() ? "" : ";") + k.name + "=" + (s.*(k.member) ? "1" : "0");
  // Unchanged switches are not written again: no write lock for nothing.
  if (engine::Database::GetSystemValue(connection, kStoreKey, Variant::Null()).ToText() == value)
    return;
  engine::Database::SetSystemValue(connection, kStoreKey, "OPZIONI TABELLE",
                                   Variant::String(value));
}

}  // namespace tillbook::cli
