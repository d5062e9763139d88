// tillbook-cli recalc through its command function: usage, answers, the phases on the standard
// error and the values it leaves in the archive.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>

#include "cli/commands.h"
#include "core/table_switches.h"
#include "data/DB.h"
#include "data/TableClass.h"
#include "engine/connection.h"
#include "engine/database.h"

namespace tillbook::cli {
namespace {

namespace fs = std::filesystem;

class RecalcCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tillbook-recalc-cli-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    if (const char* old = std::getenv("TILLBOOK_SETTINGS")) saved_ = old;
    ::setenv("TILLBOOK_SETTINGS", (dir_ / "Tillbook.ini").c_str(), 1);
    archive_ = (dir_ / "shop").string();
    std::ostringstream out, err;
    ASSERT_EQ(InitCommand({archive_}, out, err), 0) << err.str();
  }
  void TearDown() override {
    if (saved_)
      ::setenv("TILLBOOK_SETTINGS", saved_->c_str(), 1);
    else
      ::unsetenv("TILLBOOK_SETTINGS");
    fs::remove_all(dir_);
  }
  int Run(const Args& args) {
    out_.str("");
    err_.str("");
    return RecalcCommand(args, out_, err_);
  }
  // Runs `body` on the archive opened as the commands open it.
  template <typename Body>
  void OnArchive(Body body) {
    engine::Connection c;
    c.Open(ArchivePath(archive_));
    engine::Database db(std::make_unique<data::DB>(core::StoredSwitches(c)), "Tillbook");
    db.Attach(c);
    body(c);
  }
  Money CustomerTotal() {
    Money total;
    OnArchive([&](engine::Connection& c) {
      total = c.GetRow("Clienti", customer_)->Get("TotaleVenduto").ToMoney();
    });
    return total;
  }

  fs::path dir_;
  std::string archive_;
  std::optional<std::string> saved_;
  std::ostringstream out_, err_;
  int64_t customer_ = 0;
};

TEST_F(RecalcCommandTest, TotalsAnsweredYesByDefaultAndNoOnRequest) {
  OnArchive([&](engine::Connection& c) {
    customer_ =
        c.AddRow("Clienti", {{"Codice", data::Text("R")}, {"RagioneSociale", data::Text("R")}})
            ->Oid();
    c.AddRow("PagamentiCliente", {{"Importo", data::Amount("42.10")},
                                  {"Cliente", Variant::Long(static_cast<int32_t>(customer_))}});
    c.Flush();
    c.RunAction([&] {
      c.Execute("UPDATE Soggetti SET TotaleVenduto = 7");
      return true;
    });
  });
  EXPECT_EQ(Run({archive_, "totals", "--answers", "no"}), 1);
  EXPECT_NE(err_.str().find("Operazione annullata."), std::string::npos) << err_.str();
  EXPECT_EQ(CustomerTotal(), Money::FromRaw(7));

  EXPECT_EQ(Run({archive_, "totals"}), 0) << err_.str();
  EXPECT_EQ(err_.str(),
            "MSG ATTENZIONE! - Questa operazione corregge le incongruenze nei totali delle schede "
            "Clienti/Fornitori in relazione alle movimentazioni effettuate...\\n\\nContinuare ?\n"
            "FASE 1 di 2: Ricalcolo dei totali schede Clienti...\n"
            "FASE 2 di 2: Ricalcolo dei totali schede Fornitori...\n"
            "MSG OPERAZIONE COMPLETATA.\n");
  EXPECT_EQ(CustomerTotal(), *Money::Parse("42.10"));
}

TEST_F(RecalcCommandTest, EveryToolRunsOnAFreshArchive) {
  for (const Args& args : {Args{archive_, "quantities"}, Args{archive_, "markup"},
                           Args{archive_, "prices", "--from", "2024-01-01", "--to", "31/12/2024"}})
    EXPECT_EQ(Run(args), 0) << args[1] << ": " << err_.str();
}

TEST_F(RecalcCommandTest, WrongUsageIsStatusTwoAndAMissingArchiveOne) {
  for (const Args& args :
       {Args{}, Args{archive_}, Args{archive_, "boh"}, Args{archive_, "prices"},
        Args{archive_, "prices", "--from", "2024-01-01"},
        Args{archive_, "prices", "--from", "ieri", "--to", "2024-01-01"},
        Args{archive_, "prices", "--from", "2024-02-01", "--to", "2024-01-01"},
        Args{archive_, "totals", "--from", "2024-01-01", "--to", "2024-01-02"},
        Args{archive_, "totals", "--answers", "forse"}, Args{archive_, "totals", "--boh"}})
    EXPECT_EQ(Run(args), 2) << ::testing::PrintToString(args);
  EXPECT_EQ(Run({(dir_ / "nessuno").string(), "totals"}), 1);
  EXPECT_FALSE(err_.str().empty());
}

}  // namespace
}  // namespace tillbook::cli
