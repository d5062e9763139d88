#include "core/table_switches.h"

#include <string>

#include "base/text.h"
#include "core/configuration.h"
#include "engine/database.h"
#include "platform/instance.h"
#include "platform/settings.h"

namespace tillbook::core {

namespace {

constexpr SwitchKey kKeys[] = {
    {"EnableGenericLabel", &data::TableSwitches::EnableGenericLabel},
    {"Use_Zone", &data::TableSwitches::Use_Zone},
    {"Use_Agenti", &data::TableSwitches::Use_Agenti},
    {"Use_Ordini", &data::TableSwitches::Use_Ordini},
    {"Use_AdvancedMigrationExport", &data::TableSwitches::Use_AdvancedMigrationExport},
    {"Use_Valuta", &data::TableSwitches::Use_Valuta},
    {"Use_NoMagazzino", &data::TableSwitches::Use_NoMagazzino},
};

constexpr std::string_view kStoreKey = "CFG_TableSwitches";

}  // namespace

std::span<const SwitchKey> SwitchKeys() { return kKeys; }

const SwitchKey* FindSwitch(std::string_view name) {
  for (const SwitchKey& k : kKeys)
    if (text::EqualNoCase(name, k.name)) return &k;
  return nullptr;
}

data::TableSwitches StoredSwitches(engine::Connection& connection) {
  data::TableSwitches s;
  const Variant stored =
      engine::Database::GetSystemValue(connection, kStoreKey, Variant::String(""));
  for (const std::string& item : text::Split(stored.ToText(), ';')) {
    const auto eq = item.find('=');
    if (eq == std::string::npos) continue;
    if (const SwitchKey* k = FindSwitch(item.substr(0, eq)))
      s.*(k->member) = ParseBoolean(item.substr(eq + 1));
  }
  return s;
}

void StoreSwitches(engine::Connection& connection, const data::TableSwitches& s) {
  std::string value;
  for (const SwitchKey& k : kKeys)
    value += std::string(value.empty() ? "" : ";") + k.name + "=" + (s.*(k.member) ? "1" : "0");
  // Unchanged switches are not written again: no write lock for nothing.
  if (engine::Database::GetSystemValue(connection, kStoreKey, Variant::Null()).ToText() == value)
    return;
  engine::Database::SetSystemValue(connection, kStoreKey, "OPZIONI TABELLE",
                                   Variant::String(value));
}

data::TableSwitches WorkingSwitches(engine::Connection& connection) {
  data::TableSwitches s = StoredSwitches(connection);
  platform::IniSettings store(platform::DefaultSettingsPath());
  Configuration config;
  LoadConfiguration(store, config, platform::ProgramFolder());
  CopyNewRowDefaults(config, s);
  return s;
}

}  // namespace tillbook::core
