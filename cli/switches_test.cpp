// Table switches: read as the settings store reads booleans, remembered by the archive, and
// overridden for one command by --set.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/commands.h"
#include "cli/switches.h"

namespace tillbook::cli {
namespace {

namespace fs = std::filesystem;

TEST(SwitchesTest, BooleansReadAsTheSettingsStoreReadsThem) {
  std::vector<std::string> args{"DIR", "--set", "use_zone=si", "--set=USE_ORDINI=falso", "x"};
  SwitchOverrides o;
  ASSERT_EQ(TakeSwitches(args, o), "");
  EXPECT_EQ(args, (std::vector<std::string>{"DIR", "x"}));
  data::TableSwitches s;
  o.ApplyTo(s);
  EXPECT_TRUE(s.Use_Zone);
  EXPECT_FALSE(s.Use_Ordini);
  std::vector<std::string> bad{"--set", "Use_Magia=1"};
  EXPECT_EQ(TakeSwitches(bad, o), "Impostazione sconosciuta: Use_Magia.");
  std::vector<std::string> noValue{"--set", "Use_Zone"};
  EXPECT_NE(TakeSwitches(noValue, o), "");
}

TEST(SwitchesTest, TheArchiveRemembersTheSwitchesItWasDefinedWith) {
  const fs::path dir = fs::temp_directory_path() / ("tillbook-sw-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  std::ostringstream out, err;
  const auto schemaHasZona = [&](Args extra) {
    std::ostringstream o, e;
    Args args{dir.string(), "--table", "Soggetti", "--format", "json"};
    args.insert(args.end(), extra.begin(), extra.end());
    EXPECT_EQ(SchemaCommand(args, o, e), 0) << e.str();
    return o.str().find("\"name\":\"Zona\"") != std::string::npos;
  };
  ASSERT_EQ(InitCommand({dir.string(), "--set", "Use_Zone=true"}, out, err), 0) << err.str();
  EXPECT_TRUE(schemaHasZona({}));
  EXPECT_FALSE(schemaHasZona({"--set", "Use_Zone=0"}));  // for this command only
  ASSERT_EQ(InitCommand({dir.string()}, out, err), 0);     // an update keeps them
  EXPECT_TRUE(schemaHasZona({}));
  std::ostringstream rows;
  EXPECT_EQ(QueryCommand({dir.string(), "--table", "ZoneGeografiche"}, rows, err), 0) << err.str();
  ASSERT_EQ(InitCommand({dir.string(), "--set", "Use_Zone=no"}, out, err), 0);
  EXPECT_FALSE(schemaHasZona({}));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace tillbook::cli
