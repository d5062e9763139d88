// The filters around the list views on the archive's own tables: the period clauses the main
// window adds to a dated view, the filters that document windows, tools, reports, the barcode
// reader and the export pass, and the sums the recalculation tools ask for.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "base/error.h"
#include "data/testing/views_seed.h"

namespace tillbook::data::views {
namespace {

// The clauses the period selection adds to a dated view, one switch at a time, alone and joined
// to the view's own filter.
enum class Period { Month, Day, Year, Range };

struct PeriodCase {
  std::string name;
  std::string table;
  std::string filter;
  std::string dateField;
  Period period;
  std::string sort;
  std::string column;
  Texts values;
};

void PrintTo(const PeriodCase& c, std::ostream* os) {
  *os << c.name;
}

std::string PeriodFilter(const PeriodCase& c) {
  std::string clause;
  switch (c.period) {
    case Period::Month:
      clause = MonthClause(c.dateField, kNow.Month(), kNow.Year());
      break;
    case Period::Day:
      clause = DayClause(c.dateField, Day(2024, 3, 15));
      break;
    case Period::Year:
      clause = YearClause(c.dateField, 2024);
      break;
    case Period::Range:
      clause = PeriodClause(c.dateField, Day(2024, 2, 28), Day(2024, 3, 15));
      break;
  }
  return WithPeriod(c.filter, clause);
}

std::vector<PeriodCase> Periods() {
  return {
      {"Vendite mese", "Vendite", "", "Data", Period::Month, "Numero", "Numero", {"1", "2"}},
      {"Vendite giorno", "Vendite", "", "Data", Period::Day, "", "Numero", {"1"}},
      {"Vendite anno", "Vendite", "", "Data", Period::Year, "Data", "Numero", {"3", "1", "2"}},
      // The end day is included whatever the time of the row.
      {"Vendite periodo", "Vendite", "", "Data", Period::Range, "Data", "Numero", {"3", "1"}},
      {"Vendite Per Tipo mese",
       "Vendite",
       "OID_TipoDocumento={fattura}",
       "Data",
       Period::Month,
       "",
       "Numero",
       {"1"}},
      {"Vendite Per Tipo anno",
       "Vendite",
       "OID_TipoDocumento={fattura}",
       "Data",
       Period::Year,
       "Numero",
       "Numero",
       {"1", "3"}},
      {"Accompagnatorie anno",
       "VenditeAccompagnatorie",
       "",
       "Data",
       Period::Year,
       "",
       "Numero",
       {"3"}},
      {"Trasporti non Evasi mese",
       "TrasportiClienti",
       "Not Evaso",
       "Data",
       Period::Month,
       "Numero",
       "Numero",
       {"1", "6"}},
      {"Trasporti non Evasi periodo",
       "TrasportiClienti",
       "Not Evaso",
       "Data",
       Period::Range,
       "Numero",
       "Numero",
       {"1", "6"}},
      {"Trasporti Fornitori anno",
       "TrasportiFornitori",
       "Evaso",
       "Data",
       Period::Year,
       "",
       "Numero",
       {"5"}},
      {"Ordini non Evasi mese",
       "OrdiniClienti",
       "Not Evaso AND Tipologia=0",
       "Data",
       Period::Month,
       "",
       "Numero",
       {"1"}},
      {"Articoli Venduti giorno",
       "DettagliVendite",
       "",
       "Vendite.Data",
       Period::Day,
       "Vendite.Data",
       "Codice",
       {"VITE", "QUADERNO"}},
      {"Articoli Venduti anno",
       "DettagliVendite",
       "",
       "Vendite.Data",
       Period::Year,
       "Vendite.Data",
       "Codice",
       {"QUADERNO", "VITE", "QUADERNO", "VITE"}},
      {"Carichi periodo",
       "DettagliForniture",
       "",
       "Forniture.Data",
       Period::Range,
       "Forniture.Data",
       "Codice",
       {"VITE"}},
      {"Lista Forniture mese", "Forniture", "", "Data", Period::Month, "", "Documento", {"B-77"}},
      {"Lista Forniture anno",
       "Forniture",
       "",
       "Data",
       Period::Year,
       "Data",
       "Documento",
       {"N-5", "B-77"}},
      {"Pagamenti Clienti Saldati mese",
       "PagamentiCliente",
       "Saldato",
       "DataDocumento",
       Period::Month,
       "DataDocumento",
       "Documento",
       {"SC 2"}},
      {"Rate In Scadenza periodo",
       "DettagliPagamentiCliente",
       "Not Pagato Or DaVerificare",
       "DataScadenza",
       Period::Range,
       "DataScadenza",
       "NumeroRata",
       {"1", "1"}},
      {"Prima Nota giorno", "PrimaNota", "", "DataMovimento", Period::Day, "", "Tipo", {"1"}},
      // A registry's own date field carries the time of day.
      {"Articoli giorno (data e ora)",
       "Articoli",
       "",
       "DataInserimento",
       Period::Day,
       "",
       "Codice",
       {}},
      {"Articoli mese (data e ora)",
       "Articoli",
       "Quantità>0",
       "DataInserimento",
       Period::Month,
       "Codice",
       "Codice",
       {"QUADERNO", "VITE"}},
  };
}

class PeriodTest : public ViewsTest, public ::testing::WithParamInterface<PeriodCase> {};

TEST_P(PeriodTest, NarrowsTheViewToThePeriod) {
  const PeriodCase& c = GetParam();
  const engine::SelectRequest request{c.table, Resolve(PeriodFilter(c)), "", c.sort};
  try {
    EXPECT_EQ(Column(request, c.column), c.values) << request.filter;
  } catch (const Error& e) {
    ADD_FAILURE() << e.message() << " | " << e.detail();
  }
}

INSTANTIATE_TEST_SUITE_P(Views, PeriodTest, ::testing::ValuesIn(Periods()),
                         [](const ::testing::TestParamInfo<PeriodCase>& info) {
                           return CaseName(info.param.name, info.index);
                         });

TEST_F(ViewsTest, DayClauseCoversTheWholeDayOfADateTimeField) {
  const engine::SelectRequest day{"Articoli", DayClause("DataInserimento", Day(2024, 3, 20)), "",
                                  "Codice"};
  EXPECT_EQ(Column(day, "Codice"), (Texts{"VITE"}));
  const engine::SelectRequest before{"Articoli", DayClause("DataInserimento", Day(2024, 3, 19)), "",
                                     "Codice"};
  EXPECT_EQ(Column(before, "Codice"), (Texts{"QUADERNO"}));
}

// The filters that document windows, tools, reports, the barcode reader and the export pass.
std::vector<ViewCase> OtherFilters() {
  return {
      {"ordini da caricare in vendita",
       "OrdiniClienti",
       "Not Evaso AND Clienti.Codice='ROSSI'",
       "",
       "Data DESC",
       "Numero",
       {"3", "1"}},
      {"ordini da caricare (minuscolo)",
       "OrdiniClienti",
       "Not Evaso And Clienti.Codice='rossi'",
       "",
       "Data DESC",
       "Numero",
       {"3", "1"}},
      {"ordini fornitore da caricare",
       "OrdiniFornitori",
       "Not Evaso AND Fornitori.Codice='VERDI'",
       "",
       "",
       "Numero",
       {"1"}},
      {"ordini non ancora associati",
       "OrdiniClienti",
       "Not Evaso AND Clienti.Codice='ROSSI' AND OID NOT IN ({o1})",
       "",
       "",
       "Numero",
       {"3"}},
      {"trasporti da associare",
       "TrasportiClienti",
       "Not Evaso And Clienti.Codice='ROSSI'",
       "",
       "Numero",
       "Numero",
       {"1", "3"}},
      {"righe ancora da evadere",
       "DettagliOrdiniClienti",
       "QuantitàOrdine-QuantitàScaricata>0",
       "",
       "",
       "Codice",
       {"VITE"}},
      {"righe da evadere di un ordine",
       "DettagliOrdiniClienti",
       "OrdiniClienti.Numero=1 AND QuantitàOrdine-QuantitàScaricata>0",
       "",
       "",
       "Codice",
       {"VITE"}},
      {"fatturazione differita",
       "TrasportiClienti",
       "Month(Data)=3 AND Year(Data)=2024 AND Not Evaso",
       "",
       "Cliente,Numero",
       "Numero",
       {"6", "1"}},
      {"fatturazione differita (cliente)",
       "TrasportiClienti",
       "Month(Data)=3 AND Year(Data)=2024 AND Not Evaso AND OID_Cliente={rossi} AND "
       "OID_TipoTrasporto={ddt}",
       "",
       "Cliente,Numero",
       "Numero",
       {"1"}},
      {"fatture del mese del cliente",
       "Vendite",
       "Month(Data)=3 AND Year(Data)=2024 AND OID_Cliente={rossi} AND OID_TipoDocumento="
       "{fattura}",
       "",
       "",
       "Numero",
       {"1"}},
      {"prospetti di una tabella di righe",
       "TabProspettiStampa",
       "(NomeTabellaOrigine='DettagliVendite' AND NomeReference<>'') OR "
       "NomeTabellaOrigine='Vendite' AND NomeReference<>''",
       "*,NomeProspetto",
       "NomeProspetto",
       "NomeProspetto",
       {"Righe per settore", "Scheda cliente"}},
      {"prospetto per nome",
       "TabProspettiStampa",
       "((NomeTabellaOrigine='DettagliVendite') OR NomeTabellaOrigine='Vendite') AND "
       "NomeProspetto='Fattura'",
       "*,NomeProspetto",
       "NomeProspetto",
       "NomeTabellaOrigine",
       {"Vendite"}},
      {"prospetto con lo stesso nome",
       "TabProspettiStampa",
       "NomeTabellaOrigine='Vendite' And NomeReference='Cliente' And "
       "NomeProspetto='Scheda cliente'",
       "",
       "",
       "NomeProspetto",
       {"Scheda cliente"}},
      {"schema codice a barre",
       "CodiciBarre",
       "PrefissoCodice='2'",
       "",
       "",
       "LunghezzaCodice",
       {"7"}},
      {"schema codice a barre assente",
       "CodiciBarre",
       "PrefissoCodice='9'",
       "",
       "",
       "LunghezzaCodice",
       {}},
      {"codice correlato",
       "Articoli",
       "CodiciCorrelati.Codice='8001234'",
       "*,PrezzoVendita,Descrizione,Deposito",
       "",
       "Codice",
       {"VITE"}},
      {"codici rapidi lunghi", "Articoli", "Len(CodiceRapido)>2", "", "", "Codice", {"QUADERNO"}},
      {"ricerca in colonna",
       "Clienti",
       "RagioneSociale Like '*ross*'",
       kSubjects,
       "",
       "Codice",
       {"ROSSI"}},
      {"ricerca in colonna riferimento",
       "Vendite",
       "Cliente Like '*OSS*'",
       kSalesDefault,
       "Numero",
       "Numero",
       {"1", "3"}},
      {"esportazione con criterio",
       "Vendite",
       "Cliente = 'ROSSI'",
       "",
       "Numero",
       "Numero",
       {"1", "3"}},
      {"esportazione con due criteri",
       "Vendite",
       "(Cliente = 'ROSSI') AND Year(Data)=2024",
       "",
       "Numero",
       "Numero",
       {"1", "3"}},
      {"carichi del periodo (prezzi di acquisto)",
       "DettagliForniture",
       "Forniture.Data>=#03/01/2024# AND Forniture.Data<=#03/31/2024# AND QuantitàCarico>0 and "
       "Importo>0",
       "",
       "",
       "Codice",
       {"VITE"}},
      {"carichi di un fornitore",
       "DettagliForniture",
       "Forniture.OID_Fornitore={neri}",
       "",
       "",
       "Codice",
       {"QUADERNO"}},
      {"vero di Jet", "OrdiniClienti", "Evaso = True", "", "Numero", "Numero", {"2", "5"}},
      {"vero come numero", "OrdiniClienti", "Evaso = -1", "", "Numero", "Numero", {"2", "5"}},
      {"falso come numero",
       "OrdiniClienti",
       "Evaso = 0 AND Tipologia<>0",
       "",
       "Numero",
       "Numero",
       {"3", "4"}},
      {"fornitore scelto per il sottoscorta",
       "Articoli",
       "DatiFornitori.OID_Fornitore={neri} AND ScortaMinima > Quantità AND PrezzoVendita > 0",
       "",
       "",
       "Codice",
       {"VITE"}},
      {"riga per identificativo qualificato",
       "DettagliVendite",
       "DettagliVendite.OID={r2}",
       "",
       "",
       "Codice",
       {"QUADERNO"}},
      {"righe di una vendita dal documento",
       "DettagliVendite",
       "Vendite.Numero=1",
       "",
       "Codice",
       "Codice",
       {"QUADERNO", "VITE"}},
      {"data tra due date",
       "Vendite",
       "Data Between #03/01/2024# And #03/31/2024#",
       "",
       "Numero",
       "Numero",
       {"1", "2"}},
      {"codici in elenco",
       "Articoli",
       "Codice In ('vite', 'PENNA')",
       "",
       "Codice",
       "Codice",
       {"PENNA", "VITE"}},
      {"date nulle",
       "DettagliPagamentiCliente",
       "DataScadenza Is Null",
       "",
       "",
       "Insoluto",
       {"True"}},
      {"rate del cliente (percorso)",
       "DettagliPagamentiCliente",
       "PagamentiCliente.Cliente.Città.CAP='00100'",
       "",
       "NumeroRata",
       "NumeroRata",
       {"1", "2"}},
  };
}

class OtherFiltersTest : public ViewsTest, public ::testing::WithParamInterface<ViewCase> {};

TEST_P(OtherFiltersTest, ReturnsTheRowsAsked) {
  const ViewCase& v = GetParam();
  const engine::SelectRequest request{v.table, Resolve(v.filter), v.fields, v.sort};
  try {
    EXPECT_EQ(Column(request, v.column), v.values);
  } catch (const Error& e) {
    ADD_FAILURE() << e.message() << " | " << e.detail();
  }
}

INSTANTIATE_TEST_SUITE_P(Callers, OtherFiltersTest, ::testing::ValuesIn(OtherFilters()),
                         [](const ::testing::TestParamInfo<ViewCase>& info) {
                           return CaseName(info.param.key, info.index);
                         });

// What the recalculation tools ask: sums over the rows that reference a row, empty sets as 0.
TEST_F(ViewsTest, AggregatesOverChildRowsAndPeriods) {
  auto order = conn().GetRow("OrdiniClienti", Id("o1"));
  ASSERT_TRUE(order);
  EXPECT_DOUBLE_EQ(engine::AggregateChildren(conn(), *order, "Dettagli", engine::AggregateKind::Sum,
                                             "QuantitàOrdine-QuantitàScaricata")
                       .ToDouble(),
                   3);
  const std::string vite = "OID_Articoli=" + IdText("vite");
  using engine::Aggregate;
  using engine::AggregateKind;
  EXPECT_DOUBLE_EQ(
      Aggregate(conn(), "DettagliVendite", AggregateKind::Sum, "QuantitàScarico", vite).ToDouble(),
      3);
  Variant sold = Aggregate(conn(), "DettagliVendite", AggregateKind::Sum, "Importo", vite);
  EXPECT_EQ(sold.type(), VarType::Currency);
  EXPECT_EQ(sold.ToText(), "37.5");
  EXPECT_DOUBLE_EQ(Aggregate(conn(), "DettagliDDTClienti", AggregateKind::Sum,
                             "QuantitàTrasporto-QuantitàScaricata", vite)
                       .ToDouble(),
                   2);
  EXPECT_DOUBLE_EQ(Aggregate(conn(), "DettagliForniture", AggregateKind::Sum, "QuantitàCarico",
                             vite + " AND Forniture.OID_Fornitore=" + IdText("neri"))
                       .ToDouble(),
                   0);
  EXPECT_DOUBLE_EQ(
      Aggregate(conn(), "DettagliForniture", AggregateKind::Avg, "Importo/QuantitàCarico",
                "Forniture.Data>=#03/01/2024# AND Forniture.Data<=#03/31/2024# AND "
                "QuantitàCarico>0 and Importo>0 AND " +
                    vite)
          .ToDouble(),
      6);
  EXPECT_EQ(Aggregate(conn(), "PagamentiCliente", AggregateKind::Sum, "Importo",
                      "OID_Cliente=" + IdText("rossi"))
                .ToText(),
            "120");
  EXPECT_DOUBLE_EQ(Aggregate(conn(), "PagamentiCliente", AggregateKind::Sum, "Importo",
                             "OID_Cliente=" + IdText("alfa"))
                       .ToDouble(),
                   0);
  EXPECT_EQ(
      Aggregate(conn(), "Vendite", AggregateKind::Count, "*", "Month(Data)=3 AND Year(Data)=2024")
          .ToInt64(),
      2);
}

}  // namespace
}  // namespace tillbook::data::views
