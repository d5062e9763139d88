// The configuration record against the settings store: every key's default, booleans and numbers
// as stored text, the rounding ranges, window positions, the text-file export and import, paths
// and the password scrambling.
#include "core/configuration.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "base/error.h"
#include "core/scramble.h"
#include "data/TableClass.h"
#include "engine/connection.h"
#include "platform/settings.h"

namespace tillbook::core {
namespace {

namespace fs = std::filesystem;
using platform::MemorySettings;

TEST(ParseBooleanTest, FalseWordsInAnyCaseWithBlanksEverythingElseTrue) {
  const struct {
    const char* text;
    bool expected;
  } cases[] = {
      {"FALSE", false}, {"false", false}, {"  falso ", false}, {"FaLsO", false}, {"no", false},
      {"0", false},     {"\t0 ", false},  {"True", true},      {"2", true},      {"si", true},
      {"", true},       {"00", true},     {"-1", true},        {"NO!", true},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseBoolean(c.text), c.expected) << "'" << c.text << "'";
}

TEST(NumberValueTest, LeadingNumberWithPointOrZero) {
  const struct {
    const char* text;
    double expected;
  } cases[] = {{"12", 12}, {" 12.5 ", 12.5}, {"-3.25", -3.25}, {"+4", 4},   {"7kg", 7},
               {"abc", 0}, {"", 0},          {"1,5", 1},       {".5", 0.5}, {"1e3", 1}};
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(NumberValue(c.text), c.expected) << c.text;
}

TEST(LoadConfigurationTest, EmptyStoreGivesEveryDefault) {
  MemorySettings store;
  Configuration c;
  c.Use_Ordini = false;  // whatever the record held before is replaced
  c.TicketCopiesNum = 9;
  LoadConfiguration(store, c, "/opt/tillbook");
  EXPECT_EQ(c.RootDir, "/opt/tillbook");
  EXPECT_EQ(c.PasswordDB, "");
  EXPECT_EQ(c.AccessMode, 0);
  EXPECT_FALSE(c.UseTransaction);
  EXPECT_EQ(c.TicketCopiesNum, 1);
  EXPECT_EQ(c.ProgrLen_ClientiForn, 5);
  EXPECT_EQ(c.ProgrLen_Articoli, 5);
  EXPECT_EQ(c.Default_UnitaMisura, "QntPzz");
  EXPECT_EQ(c.Default_CodiceIVA, "IVA20");
  EXPECT_FALSE(c.UseDateSelection);
  EXPECT_FALSE(c.UseMonthSelection);
  EXPECT_TRUE(c.UseYearSelection);
  EXPECT_TRUE(c.Notify_AssociazioneDocs);
  EXPECT_TRUE(c.Notify_ListinoRicarico);
  EXPECT_TRUE(c.ArrotondaInEccesso);
  EXPECT_TRUE(c.Use_Ordini);
  EXPECT_TRUE(c.Use_NoMagazzino);
  EXPECT_FALSE(c.Use_Zone);
  EXPECT_FALSE(c.FiscalPrinterEnabled);
  EXPECT_EQ(c.ImportoMaxArticolo, 0);
  EXPECT_EQ(c.PrintRibaTop, "0");
  EXPECT_TRUE(c.RoundRanges.empty());
}

TEST(LoadConfigurationTest, KeyOrderAndNamesArePinned) {
  // The order is the order the loader reads and the saver writes; renaming a key loses the
  // shops' stored value.
  std::string names;
  for (const auto& k : ConfigurationKeys()) names += std::string(k.name) + " ";
  EXPECT_EQ(names,
            "RootDir PasswordDB AccessMode UseTransaction TicketCopiesNum ProgrLen_ClientiForn "
            "ProgrLen_Articoli Default_UnitaMisura Default_CodiceIVA UseDateSelection "
            "UseMonthSelection UseYearSelection CurrencyConversion EnableGenericLabel "
            "ImportoMaxArticolo Request_Causale Notify_AssociazioneDocs Notify_ListinoRicarico "
            "FiscalPrinterEnabled ValoreArrotondamento ArrotondaInEccesso Use_Zone Use_Agenti "
            "Use_Ordini Use_NoMagazzino Use_AdvancedMigrationExport Use_Valuta AcquireNEXTSHOP "
            "AcquireBrenlow ");
}

TEST(LoadConfigurationTest, StoredTextsAreReadByTheirType) {
  MemorySettings store;
  store.Set("Configuration", "use_ordini", " Falso ");
  store.Set("Configuration", "UseYearSelection", "no");
  store.Set("Configuration", "Use_Zone", "si");
  store.Set("Configuration", "UseTransaction", "");
  store.Set("Configuration", "TicketCopiesNum", "3");
  store.Set("Configuration", "ProgrLen_Articoli", "otto");  // unreadable: 0, not the default
  store.Set("Configuration", "AccessMode", "2.5");          // ties to even
  store.Set("Configuration", "ValoreArrotondamento", "0.05");
  store.Set("PrintParam", "PrintRiBaTop", "12");
  Configuration c;
  LoadConfiguration(store, c, ".");
  EXPECT_FALSE(c.Use_Ordini);
  EXPECT_FALSE(c.UseYearSelection);
  EXPECT_TRUE(c.Use_Zone);
  EXPECT_TRUE(c.UseTransaction);
  EXPECT_EQ(c.TicketCopiesNum, 3);
  EXPECT_EQ(c.ProgrLen_Articoli, 0);
  EXPECT_EQ(c.AccessMode, 2);
  EXPECT_DOUBLE_EQ(c.ValoreArrotondamento, 0.05);
  EXPECT_EQ(c.PrintRibaTop, "12");
  EXPECT_FALSE(c.Switches().Use_Ordini);
  EXPECT_TRUE(c.Switches().Use_Zone);
}

TEST(SaveConfigurationTest, RoundTripsEveryKey) {
  Configuration c;
  c.RootDir = "/srv/negozio";
  c.SetDatabasePassword("Segreta1");
  c.AccessMode = 1;
  c.UseTransaction = true;
  c.TicketCopiesNum = 2;
  c.Default_CodiceIVA = "IVA22";
  c.ImportoMaxArticolo = 999.99;
  c.ValoreArrotondamento = 0.1;
  c.ArrotondaInEccesso = false;
  c.Use_Ordini = false;
  c.AcquireBrenlow = true;
  c.PrintVenditeLeft = "-3";
  MemorySettings store;
  SaveConfiguration(store, c);
  EXPECT_EQ(store.Get("Configuration", "UseTransaction"), "True");
  EXPECT_EQ(store.Get("Configuration", "Use_Ordini"), "False");
  EXPECT_NE(store.Get("Configuration", "PasswordDB"), "Segreta1");
  EXPECT_EQ(store.Entries("Configuration").size(), ConfigurationKeys().size());
  Configuration back;
  LoadConfiguration(store, back, "/elsewhere");
  EXPECT_EQ(back.RootDir, "/srv/negozio");
  EXPECT_EQ(back.DatabasePassword(), "Segreta1");
  EXPECT_EQ(back.AccessMode, 1);
  EXPECT_TRUE(back.UseTransaction);
  EXPECT_EQ(back.TicketCopiesNum, 2);
  EXPECT_EQ(back.Default_CodiceIVA, "IVA22");
  EXPECT_DOUBLE_EQ(back.ImportoMaxArticolo, 999.99);
  EXPECT_DOUBLE_EQ(back.ValoreArrotondamento, 0.1);
  EXPECT_FALSE(back.ArrotondaInEccesso);
  EXPECT_FALSE(back.Use_Ordini);
  EXPECT_TRUE(back.AcquireBrenlow);
  EXPECT_EQ(back.PrintVenditeLeft, "-3");
}

TEST(EffectiveValueTest, StoredTextElseTheDefaultOfItsSection) {
  MemorySettings store;
  store.Set("Configuration", "TicketCopiesNum", "4");
  EXPECT_EQ(EffectiveValue(store, "", "ticketcopiesnum", "."), "4");
  EXPECT_EQ(EffectiveValue(store, "", "ProgrLen_Articoli", "."), "5");
  EXPECT_EQ(EffectiveValue(store, "", "Use_NoMagazzino", "."), "True");
  EXPECT_EQ(EffectiveValue(store, "", "UseTransaction", "."), "False");
  EXPECT_EQ(EffectiveValue(store, "", "RootDir", "/opt/t"), "/opt/t");
  EXPECT_EQ(EffectiveValue(store, "PrintParam", "PrintRibaLeft", "."), "0");
  EXPECT_EQ(EffectiveValue(store, "Settings", "MainWidth", "."), "6500");
  EXPECT_EQ(EffectiveValue(store, "Settings", "MainSplit", "."), "3500");
  EXPECT_EQ(EffectiveValue(store, "", "Sconosciuta", "."), "");
}

TEST(RoundRangesTest, LoadSkipsGapsAndEmptyStepsAndReadsMissingBoundsAsZero) {
  MemorySettings store;
  auto set = [&](const char* k, const char* v) { store.Set("Configuration", k, v); };
  set("ArrotondaDaPrezzo1", "0");
  set("ArrotondaAPrezzo1", "9.99");
  set("ArrotondaValore1", "0.05");
  set("ArrotondaDaPrezzo2", "10");  // no step: no range
  set("ArrotondaValore2", "");
  set("ArrotondaAPrezzo4", "100");  // index 3 missing: skipped, not the end
  set("ArrotondaValore4", "0,5");
  set("ArrotondaDaPrezzo10", "1000");
  set("ArrotondaAPrezzo10", "99999");
  set("ArrotondaValore10", "10");
  set("ArrotondaValore11", "1");  // beyond ten: never read
  std::vector<clsRoundItem> ranges{clsRoundItem(Money::FromUnits(1), Money(), Money())};
  LoadRoundRanges(store, ranges);
  const std::vector<clsRoundItem> expected = {
      {Money(), *Money::Parse("9.99"), *Money::Parse("0.05")},
      {Money(), Money::FromUnits(100), *Money::Parse("0.5")},
      {Money::FromUnits(1000), Money::FromUnits(99999), Money::FromUnits(10)},
  };
  EXPECT_EQ(ranges, expected);
}

TEST(RoundRangesTest, SaveRenumbersFromOneAndRemovesOldIndexes) {
  MemorySettings store;
  for (int i = 1; i <= 10; ++i)
    store.Set("Configuration", "ArrotondaValore" + std::to_string(i), "1");
  const std::vector<clsRoundItem> ranges = {
      {Money::FromUnits(5), Money::FromUnits(10), *Money::Parse("0.25")},
      {*Money::Parse("-10"), *Money::Parse("-0.01"), *Money::Parse("0.1")},
  };
  SaveRoundRanges(store, ranges);
  EXPECT_EQ(store.Get("Configuration", "ArrotondaDaPrezzo1"), "5");
  EXPECT_EQ(store.Get("Configuration", "ArrotondaValore1"), "0.25");
  EXPECT_EQ(store.Get("Configuration", "ArrotondaDaPrezzo2"), "-10");
  EXPECT_FALSE(store.Get("Configuration", "ArrotondaValore3"));
  EXPECT_FALSE(store.Get("Configuration", "ArrotondaValore10"));
  std::vector<clsRoundItem> back;
  LoadRoundRanges(store, back);
  EXPECT_EQ(back, ranges);
  EXPECT_THROW(SaveRoundRanges(store, std::vector<clsRoundItem>(11)), Error);
  EXPECT_EQ(store.Get("Configuration", "ArrotondaValore1"), "0.25");  // refused: nothing lost
}

TEST(WindowPositionTest, RestoreNeedsLeftAndReadsTheFiveKeys) {
  MemorySettings store;
  WindowPosition p{7, 7, 7, 7, 7};
  EXPECT_FALSE(RestoreWindowPosition(store, "frmVendite", p));
  store.Set("SettingsfrmVendite", "Left", "");
  EXPECT_FALSE(RestoreWindowPosition(store, "frmVendite", p));
  EXPECT_EQ(p.Left, 7);
  SaveWindowPosition(store, "frmVendite", {2, 100, 200, 3000, 4000});
  EXPECT_EQ(store.Get("SettingsfrmVendite", "Width"), "3000");
  ASSERT_TRUE(RestoreWindowPosition(store, "FRMVENDITE", p));
  EXPECT_EQ(p.State, 2);
  EXPECT_EQ(p.Left, 100);
  EXPECT_EQ(p.Top, 200);
  EXPECT_EQ(p.Width, 3000);
  EXPECT_EQ(p.Height, 4000);
}

TEST(BuildPathTest, JoinsDirectoryNameAndExtension) {
  const struct {
    const char* dir;
    const char* name;
    const char* ext;
    const char* expected;
  } cases[] = {
      {"/srv/negozio", "Tillbook.mdb", "", "/srv/negozio/Tillbook.mdb"},
      {"/srv/negozio/", "Tillbook.mdb", "", "/srv/negozio/Tillbook.mdb"},
      {"C:\\Negozio\\", "Tillbook.mdb", "", "C:\\Negozio\\Tillbook.mdb"},
      {"", "Tillbook.mdb", "", "Tillbook.mdb"},
      {"/d", "archivio.vecchio.mdb", "NEW", "/d/archivio.NEW"},
      {"/d", "senza", "txt", "/d/senza.txt"},
  };
  for (const auto& c : cases) EXPECT_EQ(BuildPath(c.dir, c.name, c.ext), c.expected) << c.name;
  EXPECT_EQ(SuggestedExportName("20261205"), "Conf_Tillbook_20261205.txt");
}

TEST(ScrambleTest, ReversibleSameLengthAndNotThePlainText) {
  for (const char* plain : {"", "a", "Segreta1", "password con spazi ~!", "Perché"}) {
    const std::string s = Scramble(plain);
    EXPECT_EQ(Unscramble(s), plain);
    EXPECT_EQ(s.size(), std::string(plain).size());
    EXPECT_EQ(s.find_first_of("\r\n"), std::string::npos);
    if (std::string(plain).size() > 0) EXPECT_NE(s, plain);
  }
  EXPECT_NE(Scramble("aa"), Scramble("AA"));
}

class ConfigurationFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tillbook_conf_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Write(const std::string& text) {
    const std::string path = (dir_ / "conf.txt").string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  fs::path dir_;
};

TEST_F(ConfigurationFileTest, ExportThenImportGivesTheSameSection) {
  MemorySettings store;
  SaveConfiguration(store, Configuration{});
  store.Set("Configuration", "ArrotondaValore1", "0.05");
  store.Set("Settings", "MainLeft", "5");  // other sections stay out
  const std::string path = (dir_ / "out.txt").string();
  WriteFileConfiguration(store, path);
  MemorySettings other;
  ReadFileConfiguration(other, path);
  EXPECT_EQ(other.Entries("Configuration"), store.Entries("Configuration"));
  EXPECT_TRUE(other.Entries("Settings").empty());
}

TEST_F(ConfigurationFileTest, ImportStopsAtASecondEqualsKeepingEarlierLines) {
  MemorySettings store;
  const std::string path =
      Write("TicketCopiesNum=3\r\n\r\nRootDir=/srv/x\nPasswordDB=a=b\nUse_Zone=True\n");
  try {
    ReadFileConfiguration(store, path);
    FAIL() << "the import went past a value holding '='";
  } catch (const Error& e) {
    EXPECT_EQ(e.message(), "Una variabile contiene il carattere =, non è possibile continuare");
  }
  EXPECT_EQ(store.Get("Configuration", "TicketCopiesNum"), "3");
  EXPECT_EQ(store.Get("Configuration", "RootDir"), "/srv/x");
  EXPECT_FALSE(store.Get("Configuration", "PasswordDB"));
  EXPECT_FALSE(store.Get("Configuration", "Use_Zone"));
}

TEST(ApplyDatabaseOptionsTest, HandsBothSwitchesToTheConnection) {
  Configuration c;
  c.AccessMode = 2;
  c.UseTransaction = true;
  engine::Connection connection;
  ApplyDatabaseOptions(c, connection);
  EXPECT_EQ(connection.AccessMode, 2);
  EXPECT_TRUE(connection.UseTransaction);
}

}  // namespace
}  // namespace tillbook::core
