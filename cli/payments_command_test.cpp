// tillbook-cli payments through its command function: which instalments are open, their order,
// the subject and date filters, the follow-ups of unpaid instalments and the two formats.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "base/text.h"
#include "cli/commands.h"
#include "core/table_switches.h"
#include "data/DB.h"
#include "data/TableClass.h"
#include "engine/connection.h"
#include "engine/database.h"
#include "engine/row.h"
#include "platform/clock.h"

namespace tillbook::cli {
namespace {

namespace fs = std::filesystem;
using data::Amount;
using data::Flag;
using data::Text;

class PaymentsCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetCurrentClockForTesting(&clock_);
    dir_ = fs::temp_directory_path() / ("tillbook-payments-cli-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    if (const char* old = std::getenv("TILLBOOK_SETTINGS")) saved_ = old;
    ::setenv("TILLBOOK_SETTINGS", (dir_ / "Tillbook.ini").c_str(), 1);
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
    platform::SetCurrentClockForTesting(nullptr);
  }
  // Rossi pays 90 in three RiBa instalments from 31 January, the first unpaid and followed up;
  // Bianchi 10 in cash, settled; supplier Verdi 50 by transfer from 10 March.
  void Seed() {
    engine::Connection c;
    c.Open(ArchivePath(archive_));
    engine::Database db(std::make_unique<data::DB>(core::StoredSwitches(c)), "Tillbook");
    db.Attach(c);
    auto type = [&](const char* d) {
      return Variant::Double(
          static_cast<double>(c.FindOids("TipiPagamento", "Descrizione", Text(d))[0]));
    };
    auto subject = [&](const char* table, const char* code, const char* name) {
      auto r = c.AddRow(table, {{"Codice", Text(code)}, {"RagioneSociale", Text(name)}});
      return Variant::Double(static_cast<double>(r->Oid()));
    };
    auto payment = [&](const char* table, const char* party, const Variant& who, const char* doc,
                       const char* date, const Variant& kind, const char* amount) {
      return *c.AddRow(table, {{party, who},
                               {"Documento", Text(doc)},
                               {"DataDocumento", Text(date)},
                               {"TipoPagamento", kind},
                               {"Importo", Amount(amount)}});
    };
    engine::Row rossi = payment("PagamentiCliente", "Cliente", subject("Clienti", "C1", "Rossi"),
                                "FT 1", "2024-01-31", type("RI.BA. 30/60/90"), "90");
    engine::Row first = rossi.List("Dettagli")[0];
    ASSERT_TRUE(first.Set("Pagato", Flag(true)));
    ASSERT_TRUE(first.Set("Insoluto", Flag(true)));
    engine::Row bianchi =
        payment("PagamentiCliente", "Cliente", subject("Clienti", "C2", "Bianchi"), "SC 2",
                "2024-03-01", type("CONTANTI"), "10");
    ASSERT_TRUE(bianchi.Set("Saldato", Flag(true)));
    payment("AcquistoFornitori", "Fornitore", subject("Fornitori", "F1", "Verdi"), "B-7",
            "2024-03-10", type("BONIFICO"), "50");
  }
  int Run(const Args& args) {
    out_.str("");
    err_.str("");
    return PaymentsCommand(args, out_, err_);
  }
  std::vector<std::string> Lines() { return text::Split(out_.str(), '\n'); }

  platform::FixedClock clock_{*DateTime::FromParts(2024, 3, 20, 9, 0, 0)};
  fs::path dir_;
  std::string archive_;
  std::optional<std::string> saved_;
  std::ostringstream out_, err_;
};

TEST_F(PaymentsCommandTest, ListsOpenInstalmentsSoonestFirst) {
  ASSERT_EQ(Run({archive_}), 0) << err_.str();
  const auto lines = Lines();
  // The follow-up takes the place of the unpaid instalment; the settled payment lists nothing.
  const std::vector<std::string> expected = {
      "Lato\tDataScadenza\tImporto\tNumeroRata\tModalità\tDocumento\tDataDocumento\tCodice\t"
      "Soggetto\tNote",
      "cliente\t2024-02-29\t30.00\t2\t6\tFT 1\t2024-01-31\tC1\tRossi\t",
      "cliente\t2024-03-31\t30.00\t3\t6\tFT 1\t2024-01-31\tC1\tRossi\t",
      "cliente\t2024-03-31\t30.00\t4\t6\tFT 1\t2024-01-31\tC1\tRossi\t [INSOLUTO] RATA N.1, "
      "31/01/2024 ",
      "fornitore\t2024-03-31\t50.00\t1\t5\tB-7\t2024-03-10\tF1\tVerdi\t",
      ""};
  EXPECT_EQ(lines, expected);
}

TEST_F(PaymentsCommandTest, FiltersBySubjectDateAndUnpaid) {
  struct Case {
    Args args;
    size_t rows;
    const char* first;  // start of the first row
  } cases[] = {
      {{"--customer", "c1"}, 3, "cliente\t2024-02-29"},
      {{"--supplier", "F1"}, 1, "fornitore\t2024-03-31"},
      {{"--customer", "C2"}, 0, nullptr},
      {{"--due-before", "2024-03-31"}, 1, "cliente\t2024-02-29"},
      {{"--due-before", "01/04/2024"}, 4, "cliente\t2024-02-29"},
      {{"--unpaid"}, 1, "cliente\t2024-03-31\t30.00\t4"},
  };
  for (const Case& c : cases) {
    Args args = {archive_};
    args.insert(args.end(), c.args.begin(), c.args.end());
    ASSERT_EQ(Run(args), 0) << err_.str();
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), c.rows + 2) << c.args[0] << " " << out_.str();
    if (c.first) EXPECT_EQ(lines[1].rfind(c.first, 0), 0u) << c.args[0] << " " << lines[1];
  }
}

TEST_F(PaymentsCommandTest, JsonAndWrongUsage) {
  ASSERT_EQ(Run({archive_, "--supplier", "F1", "--format", "json"}), 0) << err_.str();
  EXPECT_EQ(out_.str(),
            "[{\"Lato\":\"fornitore\",\"DataScadenza\":\"2024-03-31\",\"Importo\":50.00,"
            "\"NumeroRata\":1,\"Modalità\":5,\"Documento\":\"B-7\",\"DataDocumento\":"
            "\"2024-03-10\",\"Codice\":\"F1\",\"Soggetto\":\"Verdi\",\"Note\":\"\"}]\n");
  EXPECT_EQ(Run({archive_, "--customer", "C1", "--supplier", "F1"}), 2);
  EXPECT_EQ(Run({archive_, "--format", "xml"}), 2);
  EXPECT_EQ(Run({archive_, "--due-before", "domani"}), 2);
  EXPECT_NE(err_.str().find("Data non valida"), std::string::npos);
  EXPECT_EQ(Run({(dir_ / "nessuno").string()}), 1);
}

}  // namespace
}  // namespace tillbook::cli
