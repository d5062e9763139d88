// The values the list views compute on the archive's own tables: costs, gains and taxable
// amounts of sold and stocked articles, stock at a date, the cash-book columns, supplier prices,
// daily takings, bank receipts and the columns of the default field lists.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "base/error.h"
#include "data/testing/views_seed.h"

namespace tillbook::data::views {
namespace {

TEST_F(ViewsTest, ArticoliVendutiCostAndGain) {
  const engine::SelectRequest v{"DettagliVendite", MonthClause("Vendite.Data", 3, 2024),
                                kArticoliVenduti, "Vendite.Data"};
  // Vite: 6.00*2 + 12.50*2*(20/120); quaderno: 3.50*1 + 7.05*1*(10/110).
  const Values cost = {12 + 25.0 / 6, 3.5 + 7.05 / 11, 6 + 12.5 / 6};
  EXPECT_THAT(Numbers(v, "Costo"), Near(cost));
  EXPECT_THAT(Numbers(v, "Guadagno"), Near(Values{25 - cost[0], 7.05 - cost[1], 12.5 - cost[2]}));
  EXPECT_THAT(Numbers(v, "Percentuale"), Near(Values{20, 10, 20}));
  EXPECT_EQ(Column(v, "Data"), (Texts{"2024-03-15", "2024-03-15", "2024-03-20"}));
}

TEST_F(ViewsTest, ImponibileVenditeReplacesTheVatColumn) {
  const engine::SelectRequest v{"DettagliVendite", DayClause("Vendite.Data", Day(2024, 3, 15)),
                                kImponibileVendite, ""};
  engine::DataSet ds(conn(), v);
  int named = 0;
  for (const auto& c : ds.columns()) {
    if (c.name == "ImportoIVA") {
      ++named;
      EXPECT_TRUE(c.readOnly);
    }
  }
  EXPECT_EQ(named, 1);
  EXPECT_THAT(Numbers(v, "Imponibile"), Near(Values{12, 3.5}));
  EXPECT_THAT(Numbers(v, "ImportoIVA"), Near(Values{2.4, 0.35}));
}

TEST_F(ViewsTest, StockValues) {
  const std::string stock = "Quantità > 0 AND PrezzoVendita > 0";
  EXPECT_THAT(Numbers({"Articoli", stock, kImponibileMagazzino, "Codice"}, "Imponibile"),
              Near(Values{70, 30}));
  EXPECT_THAT(Numbers({"Articoli", stock, kImponibileMagazzino, "Codice"}, "ImportoIVA"),
              Near(Values{7, 6}));
  EXPECT_THAT(Numbers({"ArticoliLiberi", stock, kImponibileLiberi, ""}, "ImportoIVA"),
              Near(Values{4}));
  const engine::SelectRequest inventory{"Articoli", stock, kInventario, "Codice"};
  EXPECT_THAT(Numbers(inventory, "Valore"), Near(Values{141, 62.5}));
  const Values cost = {70 + 141.0 / 11, 30 + 62.5 / 6};
  EXPECT_THAT(Numbers(inventory, "Costo"), Near(cost));
  EXPECT_THAT(Numbers(inventory, "Guadagno"), Near(Values{141 - cost[0], 62.5 - cost[1]}));
  EXPECT_THAT(Numbers({"ArticoliLiberi", stock, kInventarioLiberi, ""}, "Guadagno"),
              Near(Values{50 - 20 - 50.0 / 6}));
}

TEST_F(ViewsTest, RicalcoloImponibileAtADate) {
  const std::string stock = "Quantità > 0 AND PrezzoVendita > 0";
  // Quaderno: 20 now, no load since 10 March, 1 sold -> 21. Vite: 5 now, 10 loaded, 3 sold -> -2.
  const engine::SelectRequest march{"Articoli", stock, Ricalcolo("03/10/2024"), "Codice"};
  EXPECT_THAT(Numbers(march, "QuantitàAllaData"), Near(Values{21, -2}));
  EXPECT_THAT(Numbers(march, "Imponibile"), Near(Values{73.5, -12}));
  EXPECT_THAT(Numbers(march, "ImportoIVA"), Near(Values{7.35, -2.4}));
  // After every movement the sums are null and count 0.
  EXPECT_THAT(Numbers({"Articoli", stock, Ricalcolo("12/31/2030"), "Codice"}, "QuantitàAllaData"),
              Near(Values{20, 5}));
}

TEST_F(ViewsTest, PrimaNotaColumnsSplitByKind) {
  const engine::SelectRequest v{
      "PrimaNota", "DataInserimento >= #03/15/2024# AND DataInserimento < #03/17/2024#", kPrimaNota,
      "DataMovimento,Tipo DESC"};
  EXPECT_THAT(Numbers(v, "EntrataCassa"), Near(Values{120, 0, 0}));
  EXPECT_THAT(Numbers(v, "UscitaCassa"), Near(Values{0, 0, 73.2}));
  EXPECT_THAT(Numbers(v, "EntrataFuoriCassa"), Near(Values{0, 5.5, 0}));
  EXPECT_THAT(Numbers(v, "UscitaFuoriCassa"), Near(Values{0, 0, 0}));
  EXPECT_EQ(Column(v, "Soggetto"), (Texts{"Rossi Mario", "", "Verdi Forniture"}));
  engine::DataSet ds(conn(), v);
  ds.First();
  // Amounts stay amounts through IIF.
  EXPECT_EQ(ds.ColValue("EntrataCassa").type(), VarType::Currency);
}

TEST_F(ViewsTest, ArticoliFornitoreShowsThatSuppliersPrices) {
  const engine::SelectRequest v{"Articoli", "DatiFornitori.Fornitore = 'NERI'", kArticoliFornitore,
                                "Codice"};
  EXPECT_EQ(Column(v, "Codice"), (Texts{"VITE"}));
  EXPECT_THAT(Numbers(v, "PrezzoAcquistoFornitore"), Near(Values{5.8}));
  EXPECT_THAT(Numbers(v, "PrezzoAcquistoMedioFornitore"), Near(Values{5.8}));
  EXPECT_THAT(Numbers(v, "PrezzoVendita"), Near(Values{12.5}));
}

TEST_F(ViewsTest, CorrispettiviTotals) {
  const engine::SelectRequest v{"Vendite",
                                "Vendite.Data >= #03/01/2024# AND Vendite.Data <= #03/31/2024#",
                                kCorrispettivi, "Vendite.OID_TipoDocumento, Vendite.Numero"};
  EXPECT_THAT(Numbers(v, "ImportoIVA"), Near(Values{20, 10}));
  EXPECT_THAT(Numbers(v, "Totale"), Near(Values{120, 60}));
}

TEST_F(ViewsTest, RiBaColumnsFollowThePaymentAndItsCustomer) {
  const engine::SelectRequest v{"DettagliPagamentiCliente", "Modalità=6", kRiBa,
                                "Documento,DataScadenza,NumeroRata"};
  EXPECT_EQ(Column(v, "Cliente"), (Texts{"ROSSI", "ROSSI"}));
  EXPECT_EQ(Column(v, "Indirizzo"), (Texts{"Via Roma 1", "Via Roma 1"}));
  EXPECT_EQ(Column(v, "PartitaIva"), (Texts{"IT0001", "IT0001"}));
  EXPECT_EQ(Column(v, "CAP"), (Texts{"00100", "00100"}));
  EXPECT_EQ(Column(v, "ABI"), (Texts{"01234", "01234"}));
  EXPECT_EQ(Column(v, "CAB"), (Texts{"56789", "56789"}));
  EXPECT_EQ(Column(v, "DataDocumento"), (Texts{"2024-03-15", "2024-03-15"}));
}

TEST_F(ViewsTest, DefaultFieldListsShowTheReferencedValues) {
  const engine::SelectRequest subjects{"Clienti", "", kSubjects, "Codice"};
  EXPECT_EQ(Column(subjects, "Città"), (Texts{"", "Città di Castello", "Roma"}));
  EXPECT_EQ(Column(subjects, "CAP"), (Texts{"", "06012", "00100"}));
  EXPECT_EQ(Column(subjects, "Provincia"), (Texts{"", "PG", "RM"}));
  EXPECT_EQ(Column({"Fornitori", "", kSubjects, "Codice"}, "RagioneSociale"),
            (Texts{"Neri Ingrosso", "Verdi Forniture"}));
  const engine::SelectRequest sales{"Vendite", "", kSalesDefault, "Numero"};
  EXPECT_EQ(Column(sales, "Cliente"), (Texts{"ROSSI", "BIANCHI", "ROSSI", "ALFA"}));
  EXPECT_EQ(Column(sales, "TipoDocumento"),
            (Texts{"FATTURA", "SCONTRINO FISCALE", "FATTURA", "FATTURA"}));
  EXPECT_THAT(Numbers(sales, "ImportoTotaleIVA"), Near(Values{20, 10, 3, 2}));
  EXPECT_EQ(Column({"PagamentiCliente", "", "*,Cliente", "Documento"}, "Cliente"),
            (Texts{"ROSSI", "BIANCHI"}));
  EXPECT_EQ(Column({"AcquistoFornitori", "", "*,Fornitore", "Documento"}, "Fornitore"),
            (Texts{"VERDI", "NERI"}));
  EXPECT_EQ(Column({"DettagliAcquistoFornitori", "", kSupplierInstalments, "DataScadenza"},
                   "DataDocumento"),
            (Texts{"2024-02-01", "2024-03-12", "2024-03-12"}));
  EXPECT_EQ(Column({"TrasportiFornitori", "", kSupplierTransports, "Numero"}, "Fornitore"),
            (Texts{"VERDI", "NERI"}));
  EXPECT_EQ(Column({"TrasportiClienti", "", kCustomerTransports, "Numero"}, "Data"),
            (Texts{"2024-03-05", "2024-03-18", "2024-02-10", "2024-03-09"}));
}

// A row of a view is a row of its table: found by a value, written through, gone from the view
// once it no longer passes the filter; borrowed and computed columns stay read-only.
TEST_F(ViewsTest, CurrentRowOfAViewIsWritable) {
  const engine::SelectRequest open{"TrasportiClienti", "Not Evaso", kCustomerTransports, "Numero"};
  engine::DataSet ds(conn(), open);
  for (const auto& c : ds.columns()) {
    if (c.name == "Cliente" || c.name == "TipoTrasporto") EXPECT_TRUE(c.readOnly) << c.name;
    if (c.name == "Evaso" || c.name == "Data") EXPECT_FALSE(c.readOnly) << c.name;
  }
  ASSERT_TRUE(ds.Find("Numero", Int(6)));
  auto row = ds.CurrentRow();
  ASSERT_TRUE(row);
  EXPECT_EQ(row->Oid(), Id("t6"));
  EXPECT_EQ(row->Get("Data").ToText(), "2024-03-09");  // a field of the base table
  ASSERT_TRUE(row->Set("Evaso", Flag(true)));
  ds.Requery();
  EXPECT_EQ(ds.RowCount(), 2);
  EXPECT_EQ(Column(open, "Numero"), (Texts{"1", "3"}));
  ASSERT_TRUE(row->Set("Evaso", Flag(false)));  // the next cases read the seeded state
  EXPECT_EQ(Column(open, "Numero"), (Texts{"1", "3", "6"}));

  engine::DataSet stock(conn(),
                        {"Articoli", "Quantità > 0 AND PrezzoVendita > 0", kInventario, "Codice"});
  ASSERT_TRUE(stock.Find("Codice", Text("vite")));  // without regard to case
  EXPECT_EQ(stock.CurrentOid(), Id("vite"));
  EXPECT_FALSE(stock.Find("Codice", Text("CHIODO")));  // not in the view
  EXPECT_TRUE(stock.IsEOF());
}

}  // namespace
}  // namespace tillbook::data::views
