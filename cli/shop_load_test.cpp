// A whole shop loaded on a fresh archive by a script, as a shop automating its data would write
// it from the README alone (towns, customers, suppliers, articles with related codes and
// supplier prices, a sale with its rows and a payment with instalments), then read back with
// `query`.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/commands.h"

namespace tillbook::cli {
namespace {

namespace fs = std::filesystem;

constexpr const char* kLoadShop = R"vbs(
Function NewRow(table)
  Set NewRow = Database.OpenTable(table)
  NewRow.AddRow
End Function

Function OidOf(table, filter)
  OidOf = Database.OpenTable(table, filter, "OID").ColValue("OID")
End Function

' A town beside the empty placeholder one.
Set t = NewRow("Comuni")
t.ColValue("Descrizione") = "Milano"
t.ColValue("CAP") = "20100"
t.ColValue("Provincia") = "MI"
t.Save

Set c = NewRow("Clienti")
c.ColValue("Codice") = "C001"
c.ColValue("RagioneSociale") = "Bar dell'Angolo"
c.ColValue("Città") = OidOf("Comuni", "Descrizione = 'Milano'")
c.Save

Set f = NewRow("Fornitori")
f.ColValue("Codice") = "F001"
f.ColValue("RagioneSociale") = "Ingrosso Nord"
f.Save

Set cc = NewRow("CodiciCorrelati")
cc.ColValue("Codice") = "8001234567890"
cc.Save

Set a = NewRow("Articoli")
a.ColValue("Codice") = "A001"
a.ColValue("Descrizione") = "Caffè in grani"
a.ColValue("PrezzoVendita") = 12.5
a.Save
Set prices = a.GetReference("DatiFornitori")
prices.AddRow
prices.ColValue("Fornitore") = "F001"
prices.ColValue("PrezzoAcquisto") = 7.25
prices.Save
Set related = a.GetReference("CodiciCorrelati")
related.AddRow
related.ColValue("Codice") = "8001234567890"

Set p = NewRow("PagamentiCliente")
p.ColValue("Cliente") = "C001"
p.ColValue("Importo") = 25
p.ColValue("NumeroRate") = 2
p.Save
Set rate = p.GetReference("Dettagli")
For i = 1 To 2
  rate.AddRow
  rate.ColValue("NumeroRata") = i
  rate.ColValue("Importo") = 12.5
  rate.ColValue("DataScadenza") = DateSerial(2026, 12 + i, 5)
Next
rate.Save

Set v = NewRow("Vendite")
v.ColValue("Numero") = 1
v.ColValue("AnnoRiferimento") = 2026
v.ColValue("Data") = DateSerial(2026, 12, 5)
v.ColValue("Cliente") = "C001"
v.ColValue("Pagamento") = p.ColValue("OID")
v.Save
Set rows = v.GetReference("Dettagli")
rows.AddRow
rows.ColValue("Codice") = "A001"
rows.ColValue("Descrizione") = "Caffè in grani"
rows.ColValue("QuantitàScarico") = 2
rows.ColValue("PrezzoUnitario") = 12.5
rows.ColValue("Importo") = 25
WScript.Echo "caricato"
)vbs";

class ShopLoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tillbook-shop-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    std::ostringstream out, err;
    ASSERT_EQ(InitCommand({Archive()}, out, err), 0) << err.str();
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Archive() const { return (dir_ / "negozio").string(); }

  // The rows of a query as tab-separated text, header first.
  std::string Query(Args args) {
    args.insert(args.begin(), {Archive(), "--table"});
    std::ostringstream out, err;
    EXPECT_EQ(QueryCommand(args, out, err), 0) << err.str();
    return out.str();
  }

  fs::path dir_;
};

TEST_F(ShopLoadTest, ScriptLoadsAShopThatQueriesReadBack) {
  const fs::path script = dir_ / "carica.vbs";
  std::ofstream(script) << kLoadShop;
  std::ostringstream out, err;
  ASSERT_EQ(RunCommand({script.string(), "--archive", Archive()}, out, err), 0) << err.str();
  EXPECT_EQ(out.str(), "caricato\n");

  EXPECT_EQ(Query({"Comuni", "--filter", "CAP = '20100'", "--fields", "Descrizione, Provincia"}),
            "Descrizione\tProvincia\nMilano\tMI\n");
  EXPECT_EQ(Query({"Clienti", "--fields", "Codice, RagioneSociale, Città.Descrizione AS Città"}),
            "Codice\tRagioneSociale\tCittà\nC001\tBar dell'Angolo\tMilano\n");
  EXPECT_EQ(Query({"DettagliPrezziFornitori", "--fields",
                   "Fornitore.Codice AS Fornitore, PrezzoAcquisto"}),
            "Fornitore\tPrezzoAcquisto\nF001\t7.25\n");
  EXPECT_EQ(Query({"Articoli", "--filter", "CodiciCorrelati.Codice = '8001234567890'", "--fields",
                   "Codice"}),
            "Codice\nA001\n");
  EXPECT_EQ(Query({"DettagliPagamentiCliente", "--fields", "NumeroRata, Importo, DataScadenza",
                   "--sort", "NumeroRata"}),
            "NumeroRata\tImporto\tDataScadenza\n1\t12.5\t2027-01-05\n2\t12.5\t2027-02-05\n");
  // The sale's last row was still waiting when the script ended: it was saved then.
  EXPECT_EQ(Query({"DettagliVendite", "--fields",
                   "Vendite.Numero AS Vendita, Codice, QuantitàScarico, Importo"}),
            "Vendita\tCodice\tQuantitàScarico\tImporto\n1\tA001\t2\t25\n");
  EXPECT_EQ(Query({"Vendite", "--fields", "Numero, Cliente.Codice AS Cliente, Pagamento.Importo"}),
            "Numero\tCliente\tImporto\n1\tC001\t25\n");
}

}  // namespace
}  // namespace tillbook::cli
