// The commands over the application core: config (settings file and configuration text files),
// repair and identity, through their exit statuses and exact texts.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/commands.h"

namespace tillbook::cli {
namespace {

namespace fs = std::filesystem;

struct Result {
  int status;
  std::string out, err;
};

using Command = int (*)(const Args&, std::ostream&, std::ostream&);

Result Call(Command command, const Args& args) {
  std::ostringstream out, err;
  const int status = command(args, out, err);
  return {status, out.str(), err.str()};
}

class CoreCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tillbook_corecli_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    const char* old = std::getenv("TILLBOOK_SETTINGS");
    if (old) saved_ = old;
    ::setenv("TILLBOOK_SETTINGS", Path("Tillbook.ini").c_str(), 1);
  }
  void TearDown() override {
    if (saved_)
      ::setenv("TILLBOOK_SETTINGS", saved_->c_str(), 1);
    else
      ::unsetenv("TILLBOOK_SETTINGS");
    fs::remove_all(dir_);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  fs::path dir_;
  std::optional<std::string> saved_;
};

TEST_F(CoreCommandsTest, ConfigGetPrintsStoredTextElseTheDefault) {
  const struct {
    Args args;
    std::string out;
  } reads[] = {
      {{"get", "ProgrLen_Articoli"}, "5\n"},     {{"get", "Use_Ordini"}, "True\n"},
      {{"get", "Default_CodiceIVA"}, "IVA20\n"}, {{"get", "PrintParam/PrintRibaTop"}, "0\n"},
      {{"get", "Settings/MainLeft"}, "1000\n"},  {{"get", "NonEsiste"}, "\n"},
  };
  for (const auto& r : reads) {
    const Result got = Call(ConfigCommand, r.args);
    EXPECT_EQ(got.status, 0) << r.args[1];
    EXPECT_EQ(got.out, r.out) << r.args[1];
  }
  EXPECT_EQ(Call(ConfigCommand, {"set", "ProgrLen_Articoli", "7"}).status, 0);
  EXPECT_EQ(Call(ConfigCommand, {"set", "PrintParam/PrintRiBaTop", "12"}).status, 0);
  EXPECT_EQ(Call(ConfigCommand, {"get", "progrlen_articoli"}).out, "7\n");
  EXPECT_EQ(Call(ConfigCommand, {"get", "PRINTPARAM/PrintRibaTop"}).out, "12\n");
  EXPECT_EQ(Call(ConfigCommand, {"get", "Configuration/ProgrLen_Articoli"}).out, "7\n");
}

TEST_F(CoreCommandsTest, ConfigWrongUsageIsStatusTwo) {
  for (const Args& args :
       {Args{}, Args{"get"}, Args{"set", "A"}, Args{"boh", "A"}, Args{"export", "a", "b"}})
    EXPECT_EQ(Call(ConfigCommand, args).status, 2);
}

TEST_F(CoreCommandsTest, ConfigImportStopsAtASecondEquals) {
  std::ofstream(Path("conf.txt")) << "TicketCopiesNum=4\nPasswordDB=x=y\nUse_Zone=True\n";
  const Result r = Call(ConfigCommand, {"import", Path("conf.txt")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Una variabile contiene il carattere =, non è possibile continuare\n");
  EXPECT_EQ(Call(ConfigCommand, {"get", "TicketCopiesNum"}).out, "4\n");
  EXPECT_EQ(Call(ConfigCommand, {"get", "Use_Zone"}).out, "False\n");
}

TEST_F(CoreCommandsTest, ConfigExportThenImportElsewhere) {
  Call(ConfigCommand, {"set", "Default_UnitaMisura", "QntKg"});
  Call(ConfigCommand, {"set", "Settings/MainLeft", "3"});
  ASSERT_EQ(Call(ConfigCommand, {"export", Path("out.txt")}).status, 0);
  std::ifstream in(Path("out.txt"));
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "Default_UnitaMisura=QntKg\n");
  ::setenv("TILLBOOK_SETTINGS", Path("altro.ini").c_str(), 1);
  ASSERT_EQ(Call(ConfigCommand, {"import", Path("out.txt")}).status, 0);
  EXPECT_EQ(Call(ConfigCommand, {"get", "Default_UnitaMisura"}).out, "QntKg\n");
  EXPECT_EQ(Call(ConfigCommand, {"get", "Settings/MainLeft"}).out, "1000\n");
  EXPECT_EQ(Call(ConfigCommand, {"import", Path("manca.txt")}).status, 1);
}

TEST_F(CoreCommandsTest, ConfigReportsABrokenSettingsLineAndGoesOn) {
  std::ofstream(Path("Tillbook.ini")) << "[Configuration]\nTicketCopiesNum=2\nrotta\n";
  const Result r = Call(ConfigCommand, {"get", "TicketCopiesNum"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "2\n");
  EXPECT_EQ(r.err, "Impostazioni " + Path("Tillbook.ini") + ", riga 3: manca il carattere =.\n");
}

TEST_F(CoreCommandsTest, RepairCompactsAnArchiveOrSaysWhyNot) {
  const std::string archive = Path("negozio");
  ASSERT_EQ(Call(InitCommand, {archive}).status, 0);
  const Result r = Call(RepairCommand, {archive});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Recupero completato\n");
  EXPECT_EQ(Call(InfoCommand, {archive}).status, 0);
  const Result missing = Call(RepairCommand, {Path("vuota")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("File presenti: nessuno."), std::string::npos) << missing.err;
  EXPECT_EQ(Call(RepairCommand, {}).status, 2);
}

TEST_F(CoreCommandsTest, IdentityShowsAndSetsUnderTheWindowRules) {
  const std::string archive = Path("negozio");
  ASSERT_EQ(Call(InitCommand, {archive}).status, 0);
  Result r = Call(IdentityCommand, {archive});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "SYS_Name\tNOME\t");
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 11);

  r = Call(IdentityCommand, {archive, "--set", "SYS_Name=Bottega"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Devi selezionare la categoria.\n");
  EXPECT_EQ(Call(IdentityCommand, {archive}).out.substr(0, 15), "SYS_Name\tNOME\t\n");

  r = Call(IdentityCommand, {archive, "--set", "sys_name=Bottega", "--set",
                             "SYS_Category=Alimentari", "--set=SYS_Details=riga 1\nriga 2"});
  ASSERT_EQ(r.status, 0) << r.err;
  r = Call(IdentityCommand, {archive});
  EXPECT_NE(r.out.find("SYS_Name\tNOME\tBottega\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("SYS_Category\tCATEGORIA/ATTIVITA'\tAlimentari\n"), std::string::npos);
  EXPECT_NE(r.out.find("SYS_Details\tDETTAGLI\triga 1\\nriga 2\n"), std::string::npos);

  EXPECT_EQ(Call(IdentityCommand, {archive, "--set", "SYS_Boh=1"}).status, 2);
  EXPECT_EQ(Call(IdentityCommand, {}).status, 2);
  EXPECT_EQ(Call(IdentityCommand, {Path("vuota")}).status, 1);
}

}  // namespace
}  // namespace tillbook::cli
