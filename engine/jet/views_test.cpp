// The list views of the main window run end to end: each view's table, filter (with the period
// clauses the window adds), field list and sort are translated and executed on the seeded shop,
// and the rows that come back are checked.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/jet/sqlite_dialect.h"
#include "engine/jet/testing/shop_catalog.h"
#include "engine/jet/testing/shop_seed.h"
#include "engine/jet/translator.h"

namespace tillbook::jet {
namespace {

using testing::ShopCatalog;
using testing::ShopNow;
using testing::TestDatabase;
using Oids = std::vector<std::string>;

DateTime Day(int y, int m, int d) {
  return *DateTime::FromParts(y, m, d);
}

// The period clauses as the main window writes them.
std::string MonthClause(const std::string& f, int month, int year) {
  return "Month(" + f + ") = " + std::to_string(month) + " AND Year(" + f +
         ") = " + std::to_string(year);
}
std::string DayClause(const std::string& f, DateTime d) {
  return f + " >= " + d.ToJetLiteral() + " AND " + f + " < " + d.AddDays(1).ToJetLiteral();
}
std::string YearClause(const std::string& f, int year) {
  return "Year(" + f + ") = " + std::to_string(year);
}
std::string PeriodClause(const std::string& f, DateTime start, DateTime end) {
  return f + " >= " + start.ToJetLiteral() + " AND " + f + " < " + end.AddDays(1).ToJetLiteral();
}
std::string WithPeriod(const std::string& filter, const std::string& clause) {
  return filter.empty() ? clause : "(" + filter + ") AND " + clause;
}

const char kSubjects[] =
    "*,Codice,RagioneSociale,Indirizzo,Città,Città.CAP AS CAP,Città.Provincia AS Provincia";
const char kArticoliFornitore[] =
    "*,Codice,Descrizione,DatiFornitori.Fornitore,DatiFornitori.PrezzoAcquisto As "
    "PrezzoAcquistoFornitore,DatiFornitori.PrezzoAcquistoMedio As PrezzoAcquistoMedioFornitore";
const char kArticoliVenduti[] =
    "*, CodiciIva.Percentuale, (PrezzoAcquistoMedio*QuantitàScarico) + (PrezzoVendita * "
    "QuantitàScarico) *(CodiciIva.Percentuale/(100+CodiciIva.Percentuale)) AS Costo, "
    "Importo-(Costo) AS Guadagno, Vendite.Data";
const char kImponibileVendite[] =
    "*,(PrezzoAcquistoMedio*QuantitàScarico) AS Imponibile,"
    "(((PrezzoAcquistoMedio*QuantitàScarico)*CodiciIva.Percentuale)/100) AS ImportoIVA";
const char kImponibileMagazzino[] =
    "*,(PrezzoAcquistoMedio*Quantità) AS Imponibile,"
    "(((PrezzoAcquistoMedio*Quantità)*CodiciIva.Percentuale)/100) AS ImportoIVA";
const char kImponibileLiberi[] =
    "*,(PrezzoAcquisto*Quantità) AS Imponibile,"
    "(((PrezzoAcquisto*Quantità)*CodiciIva.Percentuale)/100) AS ImportoIVA";
const char kRicalcolo[] =
    "*,(SELECT SUM(QuantitàCarico) FROM DettagliForniture WHERE OID_Articoli=Articoli.OID AND "
    "Forniture.Data >= #03/10/2024#) AS QuantitàCarico,"
    "(SELECT SUM(QuantitàScarico) FROM DettagliVendite WHERE OID_Articoli=Articoli.OID AND "
    "Vendite.Data >= #03/10/2024#) AS QuantitàScarico,"
    "Quantità-Nz(QuantitàCarico,0)+Nz(QuantitàScarico,0) AS QuantitàAllaData,"
    "(PrezzoAcquistoMedio*QuantitàAllaData) AS Imponibile,"
    "(((PrezzoAcquistoMedio*QuantitàAllaData)*CodiciIva.Percentuale)/100) AS ImportoIVA";
const char kInventario[] =
    "*,PrezzoVendita*Quantità AS Valore,(PrezzoAcquistoMedio*Quantità) + PrezzoVendita*Quantità "
    "*(CodiciIva.Percentuale/(100+CodiciIva.Percentuale)) AS Costo,(Valore)-(Costo) AS Guadagno";
const char kInventarioLiberi[] =
    "*,PrezzoVendita*Quantità AS Valore,(PrezzoAcquisto*Quantità) + PrezzoVendita*Quantità "
    "*(CodiciIva.Percentuale/(100+CodiciIva.Percentuale)) AS Costo,(Valore)-(Costo) AS Guadagno";
const char kPrimaNota[] =
    "*,DataMovimento,Descrizione,IIF(Tipo=1,ImportoMovimento,0) AS EntrataCassa,"
    "IIF(Tipo=-1,ImportoMovimento,0) AS UscitaCassa,IIF(Tipo=2,ImportoMovimento,0) AS "
    "EntrataFuoriCassa,IIF(Tipo=-2,ImportoMovimento,0) AS UscitaFuoriCassa,Soggetto";
const char kRiBa[] =
    "*,PagamentiCliente.Cliente,PagamentiCliente.Documento,PagamentiCliente.DataDocumento,"
    "PagamentiCliente.Cliente.Indirizzo,PagamentiCliente.Cliente.PartitaIva,"
    "PagamentiCliente.Cliente.Città.CAP,PagamentiCliente.BancaDiRiferimento.ABI AS ABI,"
    "PagamentiCliente.BancaDiRiferimento.CAB AS CAB";
const char kCorrispettivi[] =
    "*, (ImportoTotale+ImportoIVA) AS Totale, (ImportoTotale*20/100) AS ImportoIVA";

struct ViewCase {
  std::string key;
  std::string table;
  std::string filter;
  std::string fields;
  std::string sort;
  Oids oids;  // expected rows, in order
};

std::vector<ViewCase> Views() {
  const std::string today = ShopNow().DatePart().ToJetLiteral();
  const std::string corrispettivi = "Vendite.Data >= #03/01/2024# AND Vendite.Data <= #03/31/2024#";
  return {
      {"Trasporti Evasi", "TrasportiClienti", "Evaso", "", "", {"901"}},
      {"Trasporti non Evasi", "TrasportiClienti", "Not Evaso", "", "", {"900", "902"}},
      {"Trasporti Fornitori Evasi", "TrasportiFornitori", "Evaso", "", "", {"951"}},
      {"Trasporti Fornitori non Evasi", "TrasportiFornitori", "Not Evaso", "", "", {"950"}},
      {"Tutti (TrasportiBase)", "TrasportiBase", "", "", "", {"900", "901", "902", "950", "951"}},
      {"Solo Ordini Clienti", "OrdiniClienti", "Tipologia=0", "", "", {"800", "801"}},
      {"Solo Preventivi Clienti", "OrdiniClienti", "Tipologia=1", "", "", {"802"}},
      {"Solo Proforma Clienti", "OrdiniClienti", "Tipologia=2", "", "", {"803"}},
      {"Ordini Evasi", "OrdiniClienti", "Evaso AND Tipologia=0", "", "", {"801"}},
      {"Preventivi Evasi", "OrdiniClienti", "Evaso AND Tipologia=1", "", "", {}},
      {"Proforma Evasi", "OrdiniClienti", "Evaso AND Tipologia=2", "", "", {}},
      {"Preventivi non Evasi", "OrdiniClienti", "Not Evaso AND Tipologia=1", "", "", {"802"}},
      {"Ordini non Evasi", "OrdiniClienti", "Not Evaso AND Tipologia=0", "", "", {"800"}},
      {"Proforma non Evasi", "OrdiniClienti", "Not Evaso AND Tipologia=2", "", "", {"803"}},
      // Valid until today: already expired at 10:30, as Now has a time.
      {"Ordini Scaduti",
       "OrdiniClienti",
       "Not Evaso AND DataFineValidità<Now AND Tipologia=0",
       "",
       "",
       {"800"}},
      {"Preventivi Scaduti",
       "OrdiniClienti",
       "Not Evaso AND DataFineValidità<Now AND Tipologia=1",
       "",
       "",
       {"802"}},
      {"Proforma Scaduti",
       "OrdiniClienti",
       "Not Evaso AND DataFineValidità<Now AND Tipologia=2",
       "",
       "",
       {}},
      {"Ordini Fornitori Evasi", "OrdiniFornitori", "Evaso", "", "", {"851"}},
      {"Ordini Fornitori non Evasi", "OrdiniFornitori", "Not Evaso", "", "", {"850"}},
      {"Pagamenti Clienti Saldati", "PagamentiCliente", "Saldato", "*,Cliente", "", {"501"}},
      {"Pagamenti Clienti da Saldare", "PagamentiCliente", "Not Saldato", "*,Cliente", "", {"500"}},
      {"Pagati (Dettagli Pagamenti Clienti)",
       "DettagliPagamentiCliente",
       "Pagato",
       "",
       "",
       {"510"}},
      {"Pagati da Verificare", "DettagliPagamentiCliente", "DaVerificare", "", "", {"511"}},
      {"Insoluti", "DettagliPagamentiCliente", "Insoluto", "", "", {"512"}},
      {"In Scadenza (Clienti)",
       "DettagliPagamentiCliente",
       "Not Pagato Or DaVerificare",
       "",
       "",
       {"511", "512", "513"}},
      // A null due date is neither before nor after today.
      {"Scaduti (Clienti)",
       "DettagliPagamentiCliente",
       "Not Pagato And DataScadenza<" + today,
       "*,PagamentiCliente.Cliente,PagamentiCliente.Documento,PagamentiCliente.DataDocumento",
       "DataScadenza,NumeroRata",
       {"513"}},
      {"Pagamenti Fornitori Saldati", "AcquistoFornitori", "Saldato", "*,Fornitore", "", {"711"}},
      {"Pagamenti Fornitori da Saldare",
       "AcquistoFornitori",
       "Not Saldato",
       "*,Fornitore",
       "",
       {"710"}},
      {"Pagati (Fornitori)", "DettagliAcquistoFornitori", "Pagato", "", "", {"731"}},
      {"In Scadenza (Fornitori)",
       "DettagliAcquistoFornitori",
       "Not Pagato",
       "*,AcquistoFornitori.Fornitore,AcquistoFornitori.Documento,AcquistoFornitori.DataDocumento",
       "",
       {"730"}},
      {"Scaduti (Fornitori)",
       "DettagliAcquistoFornitori",
       "Not Pagato And DataScadenza<" + today,
       "",
       "",
       {"730"}},
      {"Articoli In Giacenza", "Articoli", "Quantità>0", "", "", {"100", "102"}},
      {"Articoli In Giacenza Liberi", "ArticoliLiberi", "Quantità>0", "", "", {"150"}},
      {"Articoli Movimentati",
       "Articoli",
       "Quantità<>0 Or QuantitàTotaleScarichi<>0 Or QuantitàTotaleCarichi<>0",
       "",
       "",
       {"100", "101", "102", "103"}},
      {"Articoli Movimentati Liberi",
       "ArticoliLiberi",
       "Quantità<>0 Or QuantitàTotaleScarichi<>0 Or QuantitàTotaleCarichi<>0",
       "",
       "",
       {"150"}},
      {"Articoli Sottoscorta",
       "Articoli",
       "ScortaMinima > Quantità AND PrezzoVendita > 0",
       "",
       "",
       {"100", "103"}},
      {"Articoli Sottoscorta (fornitore)",
       "Articoli",
       "DatiFornitori.OID_Fornitore=20 AND ScortaMinima > Quantità AND PrezzoVendita > 0",
       "",
       "",
       {"100"}},
      {"Articoli Vari", "Articoli", "PrezzoVendita = 0", "", "", {"101"}},
      {"Articoli Per Settore", "Articoli", "Settore = 'fer'", "", "", {"100", "101", "104"}},
      {"Articoli Per Settore (link)", "Articoli", "OID_Settore=2", "", "", {"102", "103"}},
      {"Articoli Fornitore",
       "Articoli",
       "DatiFornitori.Fornitore = 'VERDI'",
       kArticoliFornitore,
       "Codice,Descrizione,DatiFornitori.Fornitore",
       {"100", "102"}},
      {"Articoli Venduti",
       "DettagliVendite",
       MonthClause("Vendite.Data", 3, 2024),
       kArticoliVenduti,
       "",
       {"600", "601", "602"}},
      {"Imponibile Vendite",
       "DettagliVendite",
       DayClause("Vendite.Data", Day(2024, 3, 15)),
       kImponibileVendite,
       "",
       {"600", "601"}},
      {"Imponibile Magazzino",
       "Articoli",
       "Quantità > 0 AND PrezzoVendita > 0",
       kImponibileMagazzino,
       "",
       {"100", "102"}},
      {"Imponibile Magazzino Liberi",
       "ArticoliLiberi",
       "Quantità > 0 AND PrezzoVendita > 0",
       kImponibileLiberi,
       "",
       {"150"}},
      {"Ricalcolo Imponibile Magazzino",
       "Articoli",
       "Quantità > 0 AND PrezzoVendita > 0",
       kRicalcolo,
       "",
       {"100", "102"}},
      {"Inventario Magazzino",
       "Articoli",
       "Quantità > 0 AND PrezzoVendita > 0",
       kInventario,
       "",
       {"100", "102"}},
      {"Inventario Magazzino Liberi",
       "ArticoliLiberi",
       "Quantità > 0 AND PrezzoVendita > 0",
       kInventarioLiberi,
       "",
       {"150"}},
      {"Lista Forniture (Carichi)",
       "Forniture",
       PeriodClause("Data", Day(2024, 3, 1), Day(2024, 3, 19)),
       "*,ImportoTotale,ImportoTotaleIVA,Data,Fornitore",
       "",
       {"700"}},
      {"Forniture per Tipo Pagamento",
       "Forniture",
       "Pagamento.TipoPagamento = 'RB'",
       "*,Data,Pagamento.Importo,Pagamento.TipoPagamento,Fornitore,ImportoTotale,",
       "",
       {"700"}},
      {"Forniture per Fornitore", "Forniture", "OID_Fornitore=21", "", "", {"701"}},
      {"Lista Fatture / Vendite Per Tipo",
       "Vendite",
       "OID_TipoDocumento=2",
       "*,Numero,Cliente,Data,Causale,TipoDocumento,ImportoTotale,ImportoTotaleIVA",
       "",
       {"401"}},
      {"Vendite Per Tipo", "Vendite", "OID_TipoDocumento=1", "", "", {"400", "402", "403"}},
      {"Forniture Per Tipo", "Forniture", "OID_TipoDocumento=1", "", "", {"700"}},
      {"Lista Ordini (Clienti)", "OrdiniClienti", "Tipologia=0", "", "", {"800", "801"}},
      {"Lista Preventivi (Clienti)", "OrdiniClienti", "Tipologia=1", "", "", {"802"}},
      {"Lista Proforma (Clienti)", "OrdiniClienti", "Tipologia=2", "", "", {"803"}},
      {"Lista Fatture / Vendite Per Cliente",
       "Vendite",
       "Cliente = 'rossi'",
       "",
       "Data DESC",
       {"402", "400"}},
      {"Lista Mastrino", "PrimaNota", "Soggetto = 'Rossi Mario'", "", "", {"1000"}},
      {"Lista Mastrino (link)", "PrimaNota", "OID_Soggetto=20", "", "", {"1001"}},
      {"Lista Ordini/Preventivi/Proforma Non Evasi",
       "OrdiniClienti",
       "Not Evaso",
       "",
       "",
       {"800", "802", "803"}},
      {"Lista Prima Nota",
       "PrimaNota",
       "DataInserimento >= #03/15/2024# AND DataInserimento < #03/17/2024#",
       kPrimaNota,
       "DataInserimento,DataMovimento,Tipo,Descrizione",
       {"1000", "1001", "1002"}},
      {"Lista Ri.Ba. (Data Documento)",
       "DettagliPagamentiCliente",
       "PagamentiCliente.DataDocumento >= #03/01/2024# AND PagamentiCliente.DataDocumento < "
       "#04/01/2024# AND Modalità=6",
       kRiBa,
       "Documento,DataScadenza,NumeroRata",
       {"512", "510", "511"}},
      {"Lista Ri.Ba. (Data Scadenza)",
       "DettagliPagamentiCliente",
       PeriodClause("DataScadenza", Day(2024, 3, 1), Day(2024, 3, 31)) + " AND Modalità=6",
       kRiBa,
       "Documento,DataScadenza,NumeroRata",
       {"510"}},
      // The program writes no blank between the date and AND.
      {"Lista Corrispettivi (tipo)",
       "Vendite",
       corrispettivi + "AND OID_TipoDocumento=1",
       kCorrispettivi,
       "Vendite.OID_TipoDocumento, Vendite.Numero",
       {"400"}},
      {"Lista Corrispettivi",
       "Vendite",
       corrispettivi,
       kCorrispettivi,
       "Vendite.OID_TipoDocumento, Vendite.Numero",
       {"400", "401"}},
      {"Vendite Per Tipo + mese",
       "Vendite",
       WithPeriod("OID_TipoDocumento=1", MonthClause("Data", 3, 2024)),
       "",
       "",
       {"400"}},
      {"Vendite (giorno)", "Vendite", DayClause("Data", Day(2024, 3, 15)), "", "", {"400"}},
      {"Vendite (anno)",
       "Vendite",
       YearClause("Data", 2024),
       "",
       "Data",
       {"403", "400", "401", "402"}},
      {"Vendite (periodo)",
       "Vendite",
       PeriodClause("Data", Day(2024, 2, 29), Day(2024, 3, 15)),
       "",
       "",
       {"400", "403"}},
      {"Accompagnatorie", "VenditeAccompagnatorie", MonthClause("Data", 2, 2024), "", "", {"403"}},
      {"Trasporti non Evasi + mese",
       "TrasportiClienti",
       WithPeriod("Not Evaso", MonthClause("Data", 3, 2024)),
       "*,Numero,Cliente,Data,Causale,TipoTrasporto,ImportoTotale,ImportoTotaleIVA",
       "",
       {"900"}},
      {"Trasporti Fornitori + giorno",
       "TrasportiFornitori",
       WithPeriod("Not Evaso", DayClause("Data", Day(2024, 3, 7))),
       "*,Numero,Fornitore,Data,Causale,TipoTrasporto,ImportoTotale,ImportoTotaleIVA",
       "",
       {"950"}},
      {"Articoli (data-ora, giorno)",
       "Articoli",
       DayClause("DataInserimento", Day(2024, 1, 10)),
       "",
       "",
       {"100", "101", "102", "103", "104"}},
      {"Clienti", "Clienti", "", kSubjects, "RagioneSociale", {"12", "11", "10"}},
      {"Fornitori", "Fornitori", "", kSubjects, "", {"20", "21"}},
      {"Vettori", "Vettori", "", kSubjects, "", {"30"}},
      {"Agenti", "Agenti", "", kSubjects, "", {}},
      {"Soggetti", "Soggetti", "", "", "RagioneSociale", {"12", "11", "30", "21", "10", "20"}},
  };
}

class ViewsTest : public ::testing::TestWithParam<ViewCase> {
 protected:
  static void SetUpTestSuite() {
    db_ = new TestDatabase(ShopCatalog());
    testing::SeedShop(*db_);
  }
  static void TearDownTestSuite() {
    delete db_;
    db_ = nullptr;
  }
  static TestDatabase* db_;
};
TestDatabase* ViewsTest::db_ = nullptr;

TEST_P(ViewsTest, ReturnsTheViewRows) {
  const ViewCase& v = GetParam();
  SqliteDialect dialect;
  Translator translator(ShopCatalog(), dialect);
  Translation t = translator.Translate({v.table, v.filter, v.fields, v.sort}, ShopNow());
  EXPECT_EQ(db_->Column(t, "OID"), v.oids) << t.sql;
  EXPECT_EQ(db_->Count(t), static_cast<int64_t>(v.oids.size())) << t.countSql;
}

INSTANTIATE_TEST_SUITE_P(Catalogue, ViewsTest, ::testing::ValuesIn(Views()),
                         [](const ::testing::TestParamInfo<ViewCase>& info) {
                           std::string name;
                           for (char c : info.param.key) {
                             if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                                 (c >= '0' && c <= '9')) {
                               name += c;
                             }
                           }
                           return name + "_" + std::to_string(info.index);
                         });

// Values computed by the views' field lists.
class ViewValuesTest : public ::testing::Test {
 protected:
  ViewValuesTest() : db_(ShopCatalog()), translator_(ShopCatalog(), dialect_) {
    testing::SeedShop(db_);
  }
  std::vector<double> Numbers(const std::string& table, const std::string& filter,
                              const std::string& fields, const std::string& column,
                              const std::string& sort = "") {
    std::vector<double> out;
    auto t = translator_.Translate({table, filter, fields, sort}, ShopNow());
    for (const std::string& s : db_.Column(t, column)) out.push_back(std::atof(s.c_str()));
    return out;
  }
  TestDatabase db_;
  SqliteDialect dialect_;
  Translator translator_;
};

MATCHER_P(Near, expected, "") {
  if (arg.size() != expected.size()) return false;
  for (size_t i = 0; i < arg.size(); ++i) {
    if (std::abs(arg[i] - expected[i]) > 1e-6) return false;
  }
  return true;
}

TEST_F(ViewValuesTest, ArticoliVendutiCostAndGain) {
  std::string month = MonthClause("Vendite.Data", 3, 2024);
  // Row 600: 6.00*2 + 12.50*2*(20/120); gain = 25.00 - cost.
  EXPECT_THAT(Numbers("DettagliVendite", month, kArticoliVenduti, "Costo"),
              Near(std::vector<double>{12 + 25.0 / 6, 3.5 + 7.05 / 11, 6 + 12.5 / 6}));
  EXPECT_THAT(
      Numbers("DettagliVendite", month, kArticoliVenduti, "Guadagno"),
      Near(std::vector<double>{25 - 12 - 25.0 / 6, 7.05 - 3.5 - 7.05 / 11, 12.5 - 6 - 12.5 / 6}));
  EXPECT_THAT(Numbers("DettagliVendite", month, kArticoliVenduti, "Percentuale"),
              Near(std::vector<double>{20, 10, 20}));
}

TEST_F(ViewValuesTest, ImponibileVenditeReplacesTheVatField) {
  std::string day = DayClause("Vendite.Data", Day(2024, 3, 15));
  auto t = translator_.Translate({"DettagliVendite", day, kImponibileVendite, ""}, ShopNow());
  int named = 0;
  for (const OutputColumn& c : t.columns) {
    if (c.name == "ImportoIVA") {
      ++named;
      EXPECT_TRUE(c.readOnly);
      EXPECT_EQ(c.type, LogicalType::Number);
    }
  }
  EXPECT_EQ(named, 1);
  EXPECT_THAT(Numbers("DettagliVendite", day, kImponibileVendite, "ImportoIVA"),
              Near(std::vector<double>{2.4, 0.35}));
  EXPECT_THAT(Numbers("DettagliVendite", day, kImponibileVendite, "Imponibile"),
              Near(std::vector<double>{12, 3.5}));
}

TEST_F(ViewValuesTest, StockValues) {
  const std::string filter = "Quantità > 0 AND PrezzoVendita > 0";
  EXPECT_THAT(Numbers("Articoli", filter, kImponibileMagazzino, "ImportoIVA"),
              Near(std::vector<double>{6, 7}));
  EXPECT_THAT(Numbers("ArticoliLiberi", filter, kImponibileLiberi, "Imponibile"),
              Near(std::vector<double>{20}));
  EXPECT_THAT(Numbers("Articoli", filter, kInventario, "Valore"),
              Near(std::vector<double>{62.5, 141}));
  EXPECT_THAT(Numbers("Articoli", filter, kInventario, "Guadagno"),
              Near(std::vector<double>{62.5 - 30 - 62.5 / 6, 141 - 70 - 141.0 / 11}));
  EXPECT_THAT(Numbers("ArticoliLiberi", filter, kInventarioLiberi, "Guadagno"),
              Near(std::vector<double>{50 - 20 - 50.0 / 6}));
}

TEST_F(ViewValuesTest, RicalcoloImponibileAtADate) {
  const std::string filter = "Quantità > 0 AND PrezzoVendita > 0";
  // Article 100: 5 in stock, 5 loaded and 3 sold since 10 March -> 3 at that date.
  EXPECT_THAT(Numbers("Articoli", filter, kRicalcolo, "QuantitàAllaData"),
              Near(std::vector<double>{3, 17}));
  EXPECT_THAT(Numbers("Articoli", filter, kRicalcolo, "Imponibile"),
              Near(std::vector<double>{18, 59.5}));
  // Before any load the sums are null and count 0.
  std::string later = kRicalcolo;
  for (auto pos = later.find("03/10/2024"); pos != std::string::npos;
       pos = later.find("03/10/2024")) {
    later.replace(pos, 10, "12/31/2030");
  }
  EXPECT_THAT(Numbers("Articoli", filter, later, "QuantitàAllaData"),
              Near(std::vector<double>{5, 20}));
}

TEST_F(ViewValuesTest, PrimaNotaColumnsSplitByType) {
  const std::string filter = "DataInserimento >= #03/15/2024# AND DataInserimento < #03/17/2024#";
  EXPECT_THAT(Numbers("PrimaNota", filter, kPrimaNota, "EntrataCassa"),
              Near(std::vector<double>{1200000, 0, 0}));
  EXPECT_THAT(Numbers("PrimaNota", filter, kPrimaNota, "UscitaCassa"),
              Near(std::vector<double>{0, 732000, 0}));
  EXPECT_THAT(Numbers("PrimaNota", filter, kPrimaNota, "EntrataFuoriCassa"),
              Near(std::vector<double>{0, 0, 55000}));
  auto t = translator_.Translate({"PrimaNota", filter, kPrimaNota, ""}, ShopNow());
  for (const OutputColumn& c : t.columns) {
    if (c.name == "UscitaCassa") {
      EXPECT_EQ(c.type, LogicalType::Money);
    }
  }
  EXPECT_EQ(db_.Column(t, "Soggetto"),
            (std::vector<std::string>{"Rossi Mario", "Verdi Forniture", "NULL"}));
}

TEST_F(ViewValuesTest, ArticoliFornitoreShowsThatSuppliersPrice) {
  auto t = translator_.Translate(
      {"Articoli", "DatiFornitori.Fornitore = 'VERDI'", kArticoliFornitore, "Codice"}, ShopNow());
  EXPECT_EQ(db_.Column(t, "PrezzoAcquistoFornitore"), (std::vector<std::string>{"60000", "35000"}));
  EXPECT_EQ(db_.Column(t, "Fornitore"), (std::vector<std::string>{"VERDI", "VERDI"}));
  // Without a filter every supplier row of an article is a row of the view.
  auto all = translator_.Translate(
      {"Articoli", "", kArticoliFornitore, "Codice,Descrizione,DatiFornitori.Fornitore"},
      ShopNow());
  EXPECT_EQ(db_.Column(all, "OID"),
            (std::vector<std::string>{"100", "100", "101", "102", "103", "104"}));
  EXPECT_EQ(db_.Count(all), 6);
}

TEST_F(ViewValuesTest, CorrispettiviTotals) {
  const std::string filter = "Vendite.Data >= #03/01/2024# AND Vendite.Data <= #03/31/2024#";
  EXPECT_THAT(Numbers("Vendite", filter, kCorrispettivi, "Totale", "Vendite.Numero"),
              Near(std::vector<double>{120, 60}));
}

TEST_F(ViewValuesTest, RiBaColumnsFollowTheOwner) {
  auto t = translator_.Translate(
      {"DettagliPagamentiCliente", "Modalità=6", kRiBa, "Documento,DataScadenza,NumeroRata"},
      ShopNow());
  EXPECT_EQ(db_.Column(t, "Cliente"), (std::vector<std::string>{"ROSSI", "ROSSI", "ROSSI"}));
  EXPECT_EQ(db_.Column(t, "CAP"), (std::vector<std::string>{"00100", "00100", "00100"}));
  EXPECT_EQ(db_.Column(t, "DataDocumento").front(), "2024-03-15 00:00:00");
}

TEST_F(ViewValuesTest, SubjectDefaultColumns) {
  auto t = translator_.Translate({"Clienti", "", kSubjects, "Codice"}, ShopNow());
  EXPECT_EQ(db_.Column(t, "Codice"), (std::vector<std::string>{"alfa", "BIANCHI", "ROSSI"}));
  EXPECT_EQ(db_.Column(t, "CAP"), (std::vector<std::string>{"NULL", "06012", "00100"}));
  EXPECT_EQ(db_.Column(t, "Città"),
            (std::vector<std::string>{"NULL", "Città di Castello", "Roma"}));
  EXPECT_EQ(db_.Column(t, "Provincia"), (std::vector<std::string>{"NULL", "PG", "RM"}));
}

}  // namespace
}  // namespace tillbook::jet
