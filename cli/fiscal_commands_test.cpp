// The fiscal commands of tillbook-cli: a receipt through a simulated register with its trace,
// the failures as MSG lines with status 1, usage errors, and a request posted by one
// workstation and served by another through the shared folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/commands.h"
#include "core/table_switches.h"
#include "data/DB.h"
#include "data/TableClass.h"
#include "engine/connection.h"
#include "engine/database.h"
#include "engine/row.h"
#include "fiscal/fiscal_settings.h"
#include "fiscal/sim/register_sim.h"
#include "platform/settings.h"
#include "platform/testing/file_bytes.h"

namespace tillbook::cli {
namespace {

namespace fs = std::filesystem;
using data::Amount;
using data::Num;
using data::Text;

class FiscalCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tillbook-fiscal-cli-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    if (const char* old = std::getenv("TILLBOOK_SETTINGS")) saved_ = old;
    ::setenv("TILLBOOK_SETTINGS", (dir_ / "Tillbook.ini").c_str(), 1);
    {
      platform::IniSettings store((dir_ / "Tillbook.ini").string());
      fiscal::FiscalSettings s;
      s.CommandWait = 0;
      s.Timout = 300;
      fiscal::SaveFiscalPrinterSettings(store, s);
    }
    archive_ = (dir_ / "shop").string();
    std::ostringstream out, err;
    ASSERT_EQ(InitCommand({archive_}, out, err), 0) << err.str();
    Seed();
  }
  void TearDown() override {
    if (saved_)
      ::setenv("TILLBOOK_SETTINGS", saved_->c_str(), 1);
    else
      ::unsetenv("TILLBOOK_SETTINGS");
    fs::remove_all(dir_);
  }
  // One sale: three coffees at 1.20 on register department 2.
  void Seed() {
    engine::Connection c;
    c.Open(ArchivePath(archive_));
    engine::Database db(std::make_unique<data::DB>(core::StoredSwitches(c)), "Tillbook");
    db.Attach(c);
    auto reparto = c.AddRow("Reparti", {{"Descrizione", Text("Bar")}, {"CodiceCassa", Num(2)}});
    auto settore = c.AddRow("Settori", {{"Codice", Text("BAR")}, {"Descrizione", Text("Bar")}});
    ASSERT_TRUE(settore->SetReferenceOid("Reparto", reparto->Oid()));
    auto article = c.AddRow("Articoli", {{"Codice", Text("CAF")}});
    ASSERT_TRUE(article->SetReferenceOid("Settore", settore->Oid()));
    auto sale = c.AddRow("Vendite", {});
    auto row = sale->AddListRowFrom("Dettagli", *c.GetRow("Articoli", article->Oid()));
    ASSERT_TRUE(row->Set("Descrizione", Text("Caffè")));
    ASSERT_TRUE(row->Set("QuantitàScarico", Num(3)));
    ASSERT_TRUE(row->Set("PrezzoUnitario", Amount("1.20")));
    sale_ = std::to_string(sale->Oid());
  }
  int Run(int (*command)(const Args&, std::ostream&, std::ostream&), const Args& args) {
    out_.str("");
    err_.str("");
    return command(args, out_, err_);
  }

  fs::path dir_;
  std::string archive_, sale_;
  std::optional<std::string> saved_;
  std::ostringstream out_, err_;
};

TEST_F(FiscalCommandsTest, AReceiptOnTheSimulatorWithItsTrace) {
  fiscal::sim::RegisterSimulator sim(fiscal::kDeviceDSProgress);
  sim.Start();
  const std::string trace = (dir_ / "trace.txt").string();
  ASSERT_EQ(Run(ReceiptCommand, {archive_, "--sale", sale_, "--type", "8", "--port", sim.path(),
                                 "--param", "9600,n,8,1", "--trace", trace}),
            0)
      << err_.str();
  EXPECT_EQ(out_.str(), "OK\n");
  EXPECT_EQ(sim.Paper(), "SCONTRINO\nCAFFE REP 2 = 3.60\nTOTALE 3.60\n\n");
  EXPECT_EQ(tillbook::testing::Bytes(trace),
            "SetParameters\t1\t9600,n,8,1\n"
            "FiscalPrinterDescription\n"
            "FiscalPrinterDescription\n"
            "NewSession\t2\n"
            "SendData\t1.2\t3\tCaffè\t2\n"
            "EndSession\n");
}

TEST_F(FiscalCommandsTest, FailuresAreMessagesWithStatusOne) {
  const std::string missing = (dir_ / "no-such-port").string();
  EXPECT_EQ(Run(ReceiptCommand, {archive_, "--sale", sale_, "--type", "0", "--port", missing}), 1);
  EXPECT_EQ(err_.str(),
            "MSG Impostazione registratore di cassa fallita: \\n\\nCodice: 1\\n\\nErrore di "
            "comunicazione con il registratore di cassa (" +
                missing + "-9600,n,8,1)\\nImpossibile aprire la porta " + missing +
                ": il dispositivo non esiste\n");
  EXPECT_EQ(out_.str(), "");

  fiscal::sim::RegisterSimulator sim(fiscal::kDeviceCRF4600);
  sim.InjectFault(1, fiscal::sim::Fault::Silent);
  sim.Start();
  EXPECT_EQ(Run(ReceiptCommand, {archive_, "--sale", sale_, "--type", "0", "--port", sim.path()}),
            1);
  EXPECT_EQ(err_.str(),
            "MSG Si e' verificato un errore durante l'emissione dello scontrino:\\n\\nCodice: "
            "1\\n\\nErrore di comunicazione con il registratore di cassa (" +
                sim.path() + "-9600,n,8,1)\n");

  EXPECT_EQ(Run(ReceiptCommand, {archive_, "--sale", sale_, "--type", "1", "--param", "300"}), 1);
  EXPECT_EQ(err_.str(), "MSG Velocita' imposta non valida (1200,2400,4800,9600 o 19200)\n");
  EXPECT_EQ(Run(ReceiptCommand, {archive_, "--sale", "999", "--type", "8"}), 1);
  EXPECT_EQ(Run(ReceiptCommand, {archive_, "--sale", sale_, "--type", "-1"}), 1);
  EXPECT_EQ(Run(ReceiptCommand, {archive_, "--sale", "x"}), 2);
  EXPECT_EQ(Run(ReceiptCommand, {archive_, "--type", "z", "--sale", sale_}), 2);
  EXPECT_EQ(Run(SpoolCommand, {"print", archive_}), 2);
  EXPECT_EQ(Run(RegisterSimCommand, {"--type", "8", "--fault", "melt@1"}), 2);
  EXPECT_EQ(Run(RegisterSimCommand, {"--type", "42"}), 1);
}

TEST_F(FiscalCommandsTest, ARequestPostedByOneWorkstationIsPrintedByTheOther) {
  fiscal::sim::RegisterSimulator sim(fiscal::kDeviceDSProgress);
  sim.Start();
  int posted = -1;
  std::ostringstream postOut, postErr;
  std::thread requester([&] {
    posted =
        SpoolCommand({"post", archive_, "--sale", sale_, "--host", "CASSA.2", "--timeout", "20"},
                     postOut, postErr);
  });
  const std::string request = archive_ + "/FP_REQUEST_CASSA2.tmp";
  for (int i = 0; i < 500 && !fs::exists(request); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_TRUE(fs::exists(request));
  EXPECT_EQ(Run(SpoolCommand, {"serve", archive_, "--once", "--type", "8", "--port", sim.path()}),
            0)
      << err_.str();
  requester.join();
  EXPECT_EQ(posted, 0) << postErr.str();
  EXPECT_EQ(postOut.str(), "OK\n");
  EXPECT_EQ(out_.str(), "OK\n");
  EXPECT_EQ(sim.Paper(), "SCONTRINO\nCAFFE REP 2 = 3.60\nTOTALE 3.60\n\n");
  EXPECT_FALSE(fs::exists(request));

  // Nobody serving: the requester gives up at its time-out and withdraws the request.
  EXPECT_EQ(Run(SpoolCommand,
                {"post", archive_, "--sale", sale_, "--host", "CASSA.2", "--timeout", "0.3"}),
            1);
  EXPECT_EQ(err_.str(), "MSG Richiesta di emissione scontrino non presa in carico\n");
  EXPECT_FALSE(fs::exists(request));
}

}  // namespace
}  // namespace tillbook::cli
