// The program's options as one record: every key of section "Configuration" with its type and
// its default, the print offsets, the rounding ranges, the remembered window positions, and the
// text-file export and import of a configuration. Read once at start-up from the settings store
// and handed to whoever needs it; written back by the option windows.
#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "base/money.h"

namespace tillbook::platform {
class SettingsStore;
}
namespace tillbook::engine {
class Connection;
}
namespace tillbook::data {
struct TableSwitches;
}

namespace tillbook::core {

inline constexpr std::string_view kProductName = "Tillbook";
inline constexpr std::string_view kSectionConfiguration = "Configuration";
inline constexpr std::string_view kSectionPrint = "PrintParam";
inline constexpr std::string_view kSectionSettings = "Settings";

// One rounding range: prices from FromValue to ToValue (both inclusive) round to RoundValue.
class clsRoundItem {
 public:
  clsRoundItem() = default;
  clsRoundItem(Money from, Money to, Money step) : round_(step), from_(from), to_(to) {}
  Money RoundValue() const { return round_; }
  void RoundValue(Money v) { round_ = v; }
  Money FromValue() const { return from_; }
  void FromValue(Money v) { from_ = v; }
  Money ToValue() const { return to_; }
  void ToValue(Money v) { to_ = v; }
  bool operator==(const clsRoundItem&) const = default;

 private:
  Money round_, from_, to_;
};

struct Configuration {
  std::string RootDir;
  std::string PasswordDB;  // scrambled, as stored
  int AccessMode = 0;
  bool UseTransaction = false;
  int TicketCopiesNum = 1;
  int ProgrLen_ClientiForn = 5;
  int ProgrLen_Articoli = 5;
  std::string Default_UnitaMisura = "QntPzz";
  std::string Default_CodiceIVA = "IVA20";
  bool UseDateSelection = false;
  bool UseMonthSelection = false;
  bool UseYearSelection = true;
  bool CurrencyConversion = false;
  bool EnableGenericLabel = false;
  double ImportoMaxArticolo = 0;
  bool Request_Causale = false;
  bool Notify_AssociazioneDocs = true;
  bool Notify_ListinoRicarico = true;
  bool FiscalPrinterEnabled = false;
  double ValoreArrotondamento = 0;
  bool ArrotondaInEccesso = true;
  bool Use_Zone = false;
  bool Use_Agenti = false;
  bool Use_Ordini = true;
  bool Use_NoMagazzino = true;
  bool Use_AdvancedMigrationExport = false;
  bool Use_Valuta = false;
  bool AcquireNEXTSHOP = false;
  bool AcquireBrenlow = false;

  // Section "PrintParam": offsets of the pre-printed forms, kept as text.
  std::string PrintVenditeTop = "0", PrintVenditeLeft = "0";
  std::string PrintRibaTop = "0", PrintRibaLeft = "0";

  // The rounding ranges, first match wins.
  std::vector<clsRoundItem> RoundRanges;

  // The unscrambled database password.
  std::string DatabasePassword() const;
  void SetDatabasePassword(std::string_view plain);
  // The switches that decide which tables the archive has.
  data::TableSwitches Switches() const;
};

// One key of section "Configuration", in the order the loader reads them.
struct ConfigurationKey {
  const char* name;
  std::variant<std::string Configuration::*, int Configuration::*, bool Configuration::*,
               double Configuration::*>
      member;
};
const std::vector<ConfigurationKey>& ConfigurationKeys();

// "FALSE", "FALSO", "NO" and "0" (trimmed, any case) are false; anything else, empty included,
// is true.
bool ParseBoolean(std::string_view value);
// How booleans are written: "True" / "False".
std::string BooleanText(bool value);
// The leading number of `text` with "." as decimal mark ("12.5kg" is 12.5); 0 when there is none.
double NumberValue(std::string_view text);

// `directory` and `name` joined by "/" unless the directory already ends in "/" or "\"; with an
// extension, the name loses everything from its first "." and takes "." and the extension.
std::string BuildPath(std::string_view directory, std::string_view name,
                      std::string_view extension = {});

// The defaults new rows take from the configuration (code lengths, unit, VAT), into the switches
// the data model is defined with.
void CopyNewRowDefaults(const Configuration& config, data::TableSwitches& switches);

// Reads every key (absent ones take their defaults, unreadable numbers read 0) and the rounding
// ranges. `programFolder` is the default of "RootDir".
void LoadConfiguration(const platform::SettingsStore& store, Configuration& config,
                       std::string_view programFolder);
// Writes every key of "Configuration" and "PrintParam" (not the rounding ranges: those are saved
// by their own window).
void SaveConfiguration(platform::SettingsStore& store, const Configuration& config);
// The text LoadConfiguration would use for a key: the stored one, else the default (empty for
// keys without one). `section` defaults to "Configuration".
std::string EffectiveValue(const platform::SettingsStore& store, std::string_view section,
                           std::string_view key, std::string_view programFolder);

void LoadRoundRanges(const platform::SettingsStore& store, std::vector<clsRoundItem>& ranges);
// Removes the keys of every index 1 to 10, then writes the ranges numbered from 1. Refuses
// (Error) more than ten ranges, which a restart could not read back.
void SaveRoundRanges(platform::SettingsStore& store, const std::vector<clsRoundItem>& ranges);

// What the advanced options window says before "Use_Zone" is cleared.
inline constexpr std::string_view kUseZoneClearedWarning =
    "Attenzione: Una volta eliminata la tabella \"Zone Geografiche\" non sarà più possibile "
    "recuperare i dati eventualmente presenti.";

// Hands the shared-use switches to an open archive.
void ApplyDatabaseOptions(const Configuration& config, engine::Connection& connection);

// A window's remembered place, in twips as the settings always held it.
struct WindowPosition {
  int State = 0;
  int Left = 0, Top = 0, Width = 0, Height = 0;
};
void SaveWindowPosition(platform::SettingsStore& store, std::string_view window,
                        const WindowPosition& position);
// Fills `position` and returns true; false, leaving it untouched, when "Left" is absent or empty.
bool RestoreWindowPosition(const platform::SettingsStore& store, std::string_view window,
                           WindowPosition& position);

// Writes every key of "Configuration" as "key=value" lines, in stored order. Throws Error when
// the file cannot be written.
void WriteFileConfiguration(const platform::SettingsStore& store, const std::string& path);
// Writes each "key=value" line of the file into "Configuration". At a value holding another "="
// it stops with Error ("Una variabile contiene il carattere =, non è possibile continuare");
// the lines before stay written.
void ReadFileConfiguration(platform::SettingsStore& store, const std::string& path);
// The name the export proposes: "Conf_Tillbook_" and the date (yyyymmdd), extension "txt".
std::string SuggestedExportName(std::string_view date);

}  // namespace tillbook::core
