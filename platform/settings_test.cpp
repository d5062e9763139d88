// The settings store: keys without regard to case, INI round trips, damaged files read as far as
// they can be, atomic rewrites, and where the file lives.
#include "platform/settings.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/error.h"
#include "platform/instance.h"

namespace tillbook::platform {
namespace {

namespace fs = std::filesystem;

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("tillbook_settings_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  static void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  fs::path dir_;
};

TEST(MemorySettingsTest, KeysAndSectionsMatchWithoutRegardToCase) {
  MemorySettings s;
  s.Set("PrintParam", "PrintRiBaTop", "12");
  EXPECT_EQ(s.Get("printparam", "PrintRibaTop"), "12");
  s.Set("PRINTPARAM", "printribatop", "13");
  // One key, keeping the spelling it was first written with.
  ASSERT_EQ(s.Entries("PrintParam").size(), 1u);
  EXPECT_EQ(s.Entries("PrintParam")[0].first, "PrintRiBaTop");
  EXPECT_EQ(s.Entries("PrintParam")[0].second, "13");
  s.Delete("printPARAM", "PRINTRIBATOP");
  EXPECT_FALSE(s.Get("PrintParam", "PrintRibaTop"));
  s.Delete("Nowhere", "Nothing");  // absent: not a failure
}

TEST(MemorySettingsTest, ValuesAreKeptAsTheyStand) {
  MemorySettings s;
  for (const char* value : {"", "  spazi  ", "a=b=c", "C:\\Negozio\\", "Attività ; # [x]"}) {
    s.Set("Configuration", "K", value);
    EXPECT_EQ(s.Get("Configuration", "K"), value);
    MemorySettings back;
    EXPECT_TRUE(back.ParseIni(s.ToIni()).empty()) << value;
    EXPECT_EQ(back.Get("Configuration", "K"), value) << value;
  }
}

TEST(MemorySettingsTest, RefusesWhatAnIniLineCannotHold) {
  MemorySettings s;
  EXPECT_THROW(s.Set("Configuration", "", "x"), Error);
  EXPECT_THROW(s.Set("Configuration", "A=B", "x"), Error);
  EXPECT_THROW(s.Set("Config]", "A", "x"), Error);
  EXPECT_THROW(s.Set("Configuration", "A", "due\nrighe"), Error);
  EXPECT_THROW(s.Set("Configuration", "A", "\xC3"), Error);
  EXPECT_TRUE(s.Entries("Configuration").empty());
}

TEST(MemorySettingsTest, EntriesKeepTheirWritingOrder) {
  MemorySettings s;
  for (const char* k : {"Zeta", "Alfa", "Mezzo"}) s.Set("Configuration", k, k);
  std::string order;
  for (const auto& [k, v] : s.Entries("configuration")) order += k + ",";
  EXPECT_EQ(order, "Zeta,Alfa,Mezzo,");
}

TEST(MemorySettingsTest, ParsingReportsEachBadLineAndReadsTheRest) {
  struct Case {
    const char* name;
    const char* ini;
    std::vector<int> badLines;
    std::vector<std::pair<const char*, const char*>> expected;  // "Section/Key", value
  };
  const Case cases[] = {
      {"clean with comments and CRLF",
       "; commento\r\n[Configuration]\r\nA=1\r\n# altro\r\n\r\n[Settings]\r\nB = 2\r\n",
       {},
       {{"Configuration/A", "1"}, {"Settings/B", " 2"}}},
      {"line without equals",
       "[Configuration]\nA=1\nsolo testo\nB=2\n",
       {3},
       {{"Configuration/A", "1"}, {"Configuration/B", "2"}}},
      {"key before any section", "X=1\n[Configuration]\nA=1\n", {1}, {{"Configuration/A", "1"}}},
      {"broken header drops its keys",
       "[Configuration]\nA=1\n[Sett\nB=2\n[Settings]\nC=3\n",
       {3, 4},
       {{"Configuration/A", "1"}, {"Settings/C", "3"}}},
      {"empty key", "[Configuration]\n=5\nA=1\n", {2}, {{"Configuration/A", "1"}}},
      {"byte-order mark", "\xEF\xBB\xBF[Configuration]\nA=1\n", {}, {{"Configuration/A", "1"}}},
      {"repeated key: last wins", "[Configuration]\nA=1\na=2\n", {}, {{"Configuration/A", "2"}}},
  };
  for (const Case& c : cases) {
    MemorySettings s;
    const auto problems = s.ParseIni(c.ini);
    std::vector<int> lines;
    for (const auto& p : problems) lines.push_back(p.line);
    EXPECT_EQ(lines, c.badLines) << c.name;
    for (const auto& [where, value] : c.expected) {
      const std::string w(where);
      const auto slash = w.find('/');
      EXPECT_EQ(s.Get(w.substr(0, slash), w.substr(slash + 1)), value) << c.name << " " << w;
    }
  }
}

TEST_F(SettingsFileTest, MissingFileIsAnEmptyStoreAndTheFirstWriteCreatesIt) {
  const std::string path = Path("sub/dir/Tillbook.ini");
  IniSettings s(path);
  EXPECT_FALSE(s.Get("Configuration", "RootDir"));
  s.Set("Configuration", "RootDir", "/negozio");
  IniSettings again(path);
  EXPECT_EQ(again.Get("configuration", "rootdir"), "/negozio");
  EXPECT_TRUE(again.problems().empty());
}

TEST_F(SettingsFileTest, FileCutOffMidwayStillGivesTheKeysBeforeTheCut) {
  const std::string path = Path("Tillbook.ini");
  {
    IniSettings s(path);
    s.Set("Configuration", "TicketCopiesNum", "2");
    s.Set("Configuration", "ProgrLen_Articoli", "7");
    s.Set("Configuration", "Default_UnitaMisura", "QntKg");
  }
  const std::string whole = Read(path);
  const size_t cut = whole.find("Default_Unit") + 7;  // inside the third key's name
  Write(path, whole.substr(0, cut));
  IniSettings s(path);
  EXPECT_EQ(s.Get("Configuration", "TicketCopiesNum"), "2");
  EXPECT_EQ(s.Get("Configuration", "ProgrLen_Articoli"), "7");
  EXPECT_FALSE(s.Get("Configuration", "Default_UnitaMisura"));
  ASSERT_EQ(s.problems().size(), 1u);
  EXPECT_EQ(s.problems()[0].line, 4);
  EXPECT_EQ(s.ProblemMessages()[0], "Impostazioni " + path + ", riga 4: manca il carattere =.");
}

TEST_F(SettingsFileTest, RewritesLeaveNoTemporaryFileAndReplaceTheOldOneWhole) {
  const std::string path = Path("Tillbook.ini");
  IniSettings s(path);
  s.Set("Configuration", "A", std::string(1000, 'x'));
  s.Set("Configuration", "A", "corto");
  EXPECT_EQ(Read(path), "[Configuration]\nA=corto\n");
  size_t files = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir_)) ++files;
  EXPECT_EQ(files, 1u);
}

TEST_F(SettingsFileTest, AFailedWriteKeepsTheFileAsItWas) {
  const std::string path = Path("Tillbook.ini");
  IniSettings s(path);
  s.Set("Configuration", "A", "1");
  // A folder where the temporary file goes makes the write fail before the rename.
  fs::create_directories(path + ".tmp" + std::to_string(::getpid()) + "/x");
  EXPECT_THROW(s.Set("Configuration", "A", "2"), Error);
  EXPECT_THROW(s.Delete("Configuration", "A"), Error);
  EXPECT_EQ(Read(path), "[Configuration]\nA=1\n");
  EXPECT_EQ(s.Get("Configuration", "A"), "1");  // memory and file still agree
}

TEST(SettingsPathTest, EnvironmentDecidesWhereTheFileLives) {
  const char* keep[] = {"TILLBOOK_SETTINGS", "XDG_CONFIG_HOME", "HOME"};
  std::vector<std::optional<std::string>> saved;
  for (const char* k : keep) {
    const char* v = std::getenv(k);
    saved.push_back(v ? std::optional<std::string>(v) : std::nullopt);
  }
  ::unsetenv("TILLBOOK_SETTINGS");
  ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
  EXPECT_EQ(DefaultSettingsPath(), "/cfg/Tillbook/Tillbook.ini");
  ::unsetenv("XDG_CONFIG_HOME");
  ::setenv("HOME", "/home/negozio", 1);
  EXPECT_EQ(DefaultSettingsPath(), "/home/negozio/.config/Tillbook/Tillbook.ini");
  ::setenv("TILLBOOK_SETTINGS", "/tmp/prova.ini", 1);
  EXPECT_EQ(DefaultSettingsPath(), "/tmp/prova.ini");
  for (size_t i = 0; i < saved.size(); ++i) {
    if (saved[i])
      ::setenv(keep[i], saved[i]->c_str(), 1);
    else
      ::unsetenv(keep[i]);
  }
}

TEST_F(SettingsFileTest, SecondInstanceLockIsRefusedUntilTheFirstIsReleased) {
  SingleInstanceLock first(dir_.string(), "Tillbook");
  SingleInstanceLock second(dir_.string(), "Tillbook");
  EXPECT_TRUE(first.TryAcquire());
  EXPECT_FALSE(second.TryAcquire());
  first.Release();
  EXPECT_TRUE(second.TryAcquire());
}

}  // namespace
}  // namespace tillbook::platform
