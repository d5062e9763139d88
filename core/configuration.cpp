#include "core/configuration.h"

#include <charconv>
#include <cmath>
#include <fstream>

#include "base/error.h"
#include "base/text.h"
#include "core/scramble.h"
#include "data/TableClass.h"
#include "engine/connection.h"
#include "platform/files.h"
#include "platform/settings.h"

namespace tillbook::core {

namespace {

using C = Configuration;

std::string NumberText(double v) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
  return std::string(buffer, result.ptr);
}

int WholeValue(std::string_view text) {
  const double v = std::nearbyint(NumberValue(text));  // ties to even, as the platform rounds
  if (!(v > -2147483648.0 && v < 2147483648.0)) return 0;
  return static_cast<int>(v);
}

// The default's text of a key, read off a default-constructed record so the two never differ.
std::string DefaultText(const ConfigurationKey& key, std::string_view programFolder) {
  if (text::EqualNoCase(key.name, "RootDir")) return std::string(programFolder);
  static const Configuration defaults;
  return std::visit(
      [](auto member) -> std::string {
        const auto& v = defaults.*member;
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, std::string>)
          return v;
        else if constexpr (std::is_same_v<T, bool>)
          return BooleanText(v);
        else
          return NumberText(v);
      },
      key.member);
}

const ConfigurationKey* FindKey(std::string_view name) {
  for (const auto& k : ConfigurationKeys())
    if (text::EqualNoCase(k.name, name)) return &k;
  return nullptr;
}

struct PrintKey {
  const char* name;
  std::string Configuration::*member;
};
constexpr PrintKey kPrintKeys[] = {
    {"PrintVenditeTop", &C::PrintVenditeTop},
    {"PrintVenditeLeft", &C::PrintVenditeLeft},
    {"PrintRibaTop", &C::PrintRibaTop},
    {"PrintRibaLeft", &C::PrintRibaLeft},
};

// Keys of the main window in section "Settings" with their defaults.
struct MainKey {
  const char* name;
  const char* fallback;
};
constexpr MainKey kMainKeys[] = {{"MainLeft", "1000"},  {"MainTop", "1000"},
                                 {"MainWidth", "6500"}, {"MainHeight", "6500"},
                                 {"MainState", "0"},    {"MainSplit", "3500"}};

constexpr int kMaxRanges = 10;

}  // namespace

const std::vector<ConfigurationKey>& ConfigurationKeys() {
  static const std::vector<ConfigurationKey> keys = {
      {"RootDir", &C::RootDir},
      {"PasswordDB", &C::PasswordDB},
      {"AccessMode", &C::AccessMode},
      {"UseTransaction", &C::UseTransaction},
      {"TicketCopiesNum", &C::TicketCopiesNum},
      {"ProgrLen_ClientiForn", &C::ProgrLen_ClientiForn},
      {"ProgrLen_Articoli", &C::ProgrLen_Articoli},
      {"Default_UnitaMisura", &C::Default_UnitaMisura},
      {"Default_CodiceIVA", &C::Default_CodiceIVA},
      {"UseDateSelection", &C::UseDateSelection},
      {"UseMonthSelection", &C::UseMonthSelection},
      {"UseYearSelection", &C::UseYearSelection},
      {"CurrencyConversion", &C::CurrencyConversion},
      {"EnableGenericLabel", &C::EnableGenericLabel},
      {"ImportoMaxArticolo", &C::ImportoMaxArticolo},
      {"Request_Causale", &C::Request_Causale},
      {"Notify_AssociazioneDocs", &C::Notify_AssociazioneDocs},
      {"Notify_ListinoRicarico", &C::Notify_ListinoRicarico},
      {"FiscalPrinterEnabled", &C::FiscalPrinterEnabled},
      {"ValoreArrotondamento", &C::ValoreArrotondamento},
      {"ArrotondaInEccesso", &C::ArrotondaInEccesso},
      {"Use_Zone", &C::Use_Zone},
      {"Use_Agenti", &C::Use_Agenti},
      {"Use_Ordini", &C::Use_Ordini},
      {"Use_NoMagazzino", &C::Use_NoMagazzino},
      {"Use_AdvancedMigrationExport", &C::Use_AdvancedMigrationExport},
      {"Use_Valuta", &C::Use_Valuta},
      {"AcquireNEXTSHOP", &C::AcquireNEXTSHOP},
      {"AcquireBrenlow", &C::AcquireBrenlow},
  };
  return keys;
}

std::string Configuration::DatabasePassword() const {
  return Unscramble(PasswordDB);
}

void Configuration::SetDatabasePassword(std::string_view plain) {
  PasswordDB = Scramble(plain);
}

data::TableSwitches Configuration::Switches() const {
  data::TableSwitches s;
  s.EnableGenericLabel = EnableGenericLabel;
  s.Use_Zone = Use_Zone;
  s.Use_Agenti = Use_Agenti;
  s.Use_Ordini = Use_Ordini;
  s.Use_AdvancedMigrationExport = Use_AdvancedMigrationExport;
  s.Use_Valuta = Use_Valuta;
  s.Use_NoMagazzino = Use_NoMagazzino;
  CopyNewRowDefaults(*this, s);
  return s;
}

void CopyNewRowDefaults(const Configuration& config, data::TableSwitches& s) {
  s.ProgrLen_ClientiForn = config.ProgrLen_ClientiForn;
  s.ProgrLen_Articoli = config.ProgrLen_Articoli;
  s.Default_UnitaMisura = config.Default_UnitaMisura;
  s.Default_CodiceIVA = config.Default_CodiceIVA;
  s.config = config;
}

bool ParseBoolean(std::string_view value) {
  const std::string v = text::Upper(text::Trim(value));
  return !(v == "FALSE" || v == "FALSO" || v == "NO" || v == "0");
}

std::string BooleanText(bool value) {
  return value ? "True" : "False";
}

double NumberValue(std::string_view s) {
  s = text::Trim(s);
  bool negative = false;
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  double v = 0;
  const auto result = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::fixed);
  if (result.ec != std::errc() || !std::isfinite(v)) return 0;
  return negative ? -v : v;
}

std::string BuildPath(std::string_view directory, std::string_view name,
                      std::string_view extension) {
  std::string file(name);
  if (!extension.empty()) {
    if (const auto dot = file.find('.'); dot != std::string::npos) file.erase(dot);
    file += '.';
    file += extension;
  }
  if (directory.empty()) return file;
  std::string path(directory);
  if (path.back() != '\\' && path.back() != '/') path += '/';
  return path + file;
}

void LoadConfiguration(const platform::SettingsStore& store, Configuration& config,
                       std::string_view programFolder) {
  for (const auto& key : ConfigurationKeys()) {
    const std::string value =
        store.GetOr(kSectionConfiguration, key.name, DefaultText(key, programFolder));
    std::visit(
        [&](auto member) {
          auto& field = config.*member;
          using T = std::decay_t<decltype(field)>;
          if constexpr (std::is_same_v<T, std::string>)
            field = value;
          else if constexpr (std::is_same_v<T, bool>)
            field = ParseBoolean(value);
          else if constexpr (std::is_same_v<T, int>)
            field = WholeValue(value);
          else
            field = NumberValue(value);
        },
        key.member);
  }
  for (const auto& k : kPrintKeys) config.*k.member = store.GetOr(kSectionPrint, k.name, "0");
  LoadRoundRanges(store, config.RoundRanges);
}

void SaveConfiguration(platform::SettingsStore& store, const Configuration& config) {
  for (const auto& key : ConfigurationKeys()) {
    const std::string value = std::visit(
        [&](auto member) -> std::string {
          const auto& field = config.*member;
          using T = std::decay_t<decltype(field)>;
          if constexpr (std::is_same_v<T, std::string>)
            return field;
          else if constexpr (std::is_same_v<T, bool>)
            return BooleanText(field);
          else
            return NumberText(field);
        },
        key.member);
    store.Set(kSectionConfiguration, key.name, value);
  }
  for (const auto& k : kPrintKeys) store.Set(kSectionPrint, k.name, config.*k.member);
}

std::string EffectiveValue(const platform::SettingsStore& store, std::string_view section,
                           std::string_view key, std::string_view programFolder) {
  if (section.empty()) section = kSectionConfiguration;
  if (auto stored = store.Get(section, key)) return *stored;
  if (text::EqualNoCase(section, kSectionConfiguration)) {
    if (const ConfigurationKey* k = FindKey(key)) return DefaultText(*k, programFolder);
  } else if (text::EqualNoCase(section, kSectionPrint)) {
    for (const auto& k : kPrintKeys)
      if (text::EqualNoCase(k.name, key)) return "0";
  } else if (text::EqualNoCase(section, kSectionSettings)) {
    for (const auto& k : kMainKeys)
      if (text::EqualNoCase(k.name, key)) return k.fallback;
  }
  return {};
}

void LoadRoundRanges(const platform::SettingsStore& store, std::vector<clsRoundItem>& ranges) {
  ranges.clear();
  auto money = [&](const std::string& key) {
    return Money::Parse(text::Trim(store.GetOr(kSectionConfiguration, key, "0"))).value_or(Money());
  };
  for (int i = 1; i <= kMaxRanges; ++i) {
    const std::string n = std::to_string(i);
    const auto step = store.Get(kSectionConfiguration, "ArrotondaValore" + n);
    if (!step || step->empty()) continue;  // a gap is skipped, not the end of the list
    ranges.emplace_back(money("ArrotondaDaPrezzo" + n), money("ArrotondaAPrezzo" + n),
                        money("ArrotondaValore" + n));
  }
}

void SaveRoundRanges(platform::SettingsStore& store, const std::vector<clsRoundItem>& ranges) {
  if (ranges.size() > static_cast<size_t>(kMaxRanges))
    throw Error("Non è possibile memorizzare più di 10 fasce di arrotondamento.");
  for (int i = 1; i <= kMaxRanges; ++i) {
    const std::string n = std::to_string(i);
    for (const char* k : {"ArrotondaDaPrezzo", "ArrotondaAPrezzo", "ArrotondaValore"})
      store.Delete(kSectionConfiguration, k + n);
  }
  for (size_t i = 0; i < ranges.size(); ++i) {
    const std::string n = std::to_string(i + 1);
    store.Set(kSectionConfiguration, "ArrotondaDaPrezzo" + n, ranges[i].FromValue().ToString());
    store.Set(kSectionConfiguration, "ArrotondaAPrezzo" + n, ranges[i].ToValue().ToString());
    store.Set(kSectionConfiguration, "ArrotondaValore" + n, ranges[i].RoundValue().ToString());
  }
}

// The archive is SQLite and every action already is one transaction, so "UseTransaction"
// changes nothing in how rows are written; both values are handed on for the engine to read.
void ApplyDatabaseOptions(const Configuration& config, engine::Connection& connection) {
  connection.AccessMode = config.AccessMode;
  connection.UseTransaction = config.UseTransaction;
}

void SaveWindowPosition(platform::SettingsStore& store, std::string_view window,
                        const WindowPosition& p) {
  const std::string section = std::string(kSectionSettings) + std::string(window);
  store.Set(section, "State", std::to_string(p.State));
  store.Set(section, "Left", std::to_string(p.Left));
  store.Set(section, "Top", std::to_string(p.Top));
  store.Set(section, "Width", std::to_string(p.Width));
  store.Set(section, "Height", std::to_string(p.Height));
}

bool RestoreWindowPosition(const platform::SettingsStore& store, std::string_view window,
                           WindowPosition& p) {
  const std::string section = std::string(kSectionSettings) + std::string(window);
  const std::string left = store.GetOr(section, "Left", "");
  if (left.empty()) return false;
  p.Left = WholeValue(left);
  p.State = WholeValue(store.GetOr(section, "State", "0"));
  p.Top = WholeValue(store.GetOr(section, "Top", "0"));
  p.Width = WholeValue(store.GetOr(section, "Width", "0"));
  p.Height = WholeValue(store.GetOr(section, "Height", "0"));
  return true;
}

void WriteFileConfiguration(const platform::SettingsStore& store, const std::string& path) {
  std::string body;
  for (const auto& [key, value] : store.Entries(kSectionConfiguration))
    body += key + "=" + value + "\n";
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) platform::ThrowPathError(path, {errno, std::generic_category()});
  out << body;
  out.flush();
  if (!out) platform::ThrowPathError(path, {errno, std::generic_category()});
}

void ReadFileConfiguration(platform::SettingsStore& store, const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) platform::ThrowPathError(path, {errno, std::generic_category()});
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (text::Trim(line).empty()) continue;
    const auto eq = line.find('=');
    const std::string key = line.substr(0, eq);
    const std::string value = eq == std::string::npos ? "" : line.substr(eq + 1);
    if (value.find('=') != std::string::npos)
      throw Error("Una variabile contiene il carattere =, non è possibile continuare",
                  path + ", riga " + std::to_string(number));
    store.Set(kSectionConfiguration, key, value);
  }
}

std::string SuggestedExportName(std::string_view date) {
  return BuildPath("", "Conf_" + std::string(kProductName) + "_" + std::string(date), "txt");
}

}  // namespace tillbook::core
