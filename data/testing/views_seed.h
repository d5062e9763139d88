// The archive the view tests share, seeded once per test suite with customers, suppliers,
// articles, sales, loads, orders, transport documents, payments, the cash book, report layouts
// and a barcode layout, with the clock fixed on a Wednesday morning; the period clauses and field
// lists of the main window's views; helpers reading the columns of a data set.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "base/date.h"
#include "data/TableClass.h"
#include "engine/connection.h"
#include "engine/database.h"
#include "engine/dataset.h"
#include "platform/clock.h"

namespace tillbook::data::views {

using Texts = std::vector<std::string>;
using Values = std::vector<double>;

inline DateTime Day(int y, int m, int d) {
  return *DateTime::FromParts(y, m, d);
}
// Wednesday 20 March 2024, mid-morning: "today" and "now" of every view.
inline const DateTime kNow = *DateTime::FromParts(2024, 3, 20, 10, 30, 0);

// The period clauses as the main window writes them.
inline std::string MonthClause(const std::string& f, int month, int year) {
  return "Month(" + f + ") = " + std::to_string(month) + " AND Year(" + f +
         ") = " + std::to_string(year);
}
inline std::string DayClause(const std::string& f, DateTime d) {
  return f + " >= " + d.ToJetLiteral() + " AND " + f + " < " + d.AddDays(1).ToJetLiteral();
}
inline std::string YearClause(const std::string& f, int year) {
  return "Year(" + f + ") = " + std::to_string(year);
}
inline std::string PeriodClause(const std::string& f, DateTime start, DateTime end) {
  return f + " >= " + start.ToJetLiteral() + " AND " + f + " < " + end.AddDays(1).ToJetLiteral();
}
inline std::string WithPeriod(const std::string& filter, const std::string& clause) {
  return filter.empty() ? clause : "(" + filter + ") AND " + clause;
}

// Field lists of the catalogue.
inline constexpr char kSubjects[] =
    "*,Codice,RagioneSociale,Indirizzo,Città,Città.CAP AS CAP,Città.Provincia AS Provincia";
inline constexpr char kSalesDefault[] =
    "*,Numero,Cliente,Data,Causale,TipoDocumento,ImportoTotale,ImportoTotaleIVA";
inline constexpr char kCustomerTransports[] =
    "*,Numero,Cliente,Data,Causale,TipoTrasporto,ImportoTotale,ImportoTotaleIVA";
inline constexpr char kSupplierTransports[] =
    "*,Numero,Fornitore,Data,Causale,TipoTrasporto,ImportoTotale,ImportoTotaleIVA";
inline constexpr char kCustomerInstalments[] =
    "*,PagamentiCliente.Cliente,PagamentiCliente.Documento,PagamentiCliente.DataDocumento";
inline constexpr char kSupplierInstalments[] =
    "*,AcquistoFornitori.Fornitore,AcquistoFornitori.Documento,AcquistoFornitori.DataDocumento";
inline constexpr char kArticoliFornitore[] =
    "*,Codice,Descrizione,DatiFornitori.Fornitore,DatiFornitori.PrezzoAcquisto As "
    "PrezzoAcquistoFornitore,DatiFornitori.PrezzoAcquistoMedio As PrezzoAcquistoMedioFornitore";
inline constexpr char kArticoliVenduti[] =
    "*, CodiciIva.Percentuale, (PrezzoAcquistoMedio*QuantitàScarico) + (PrezzoVendita * "
    "QuantitàScarico) *(CodiciIva.Percentuale/(100+CodiciIva.Percentuale)) AS Costo, "
    "Importo-(Costo) AS Guadagno, Vendite.Data";
inline constexpr char kImponibileVendite[] =
    "*,(PrezzoAcquistoMedio*QuantitàScarico) AS Imponibile,"
    "(((PrezzoAcquistoMedio*QuantitàScarico)*CodiciIva.Percentuale)/100) AS ImportoIVA";
inline constexpr char kImponibileMagazzino[] =
    "*,(PrezzoAcquistoMedio*Quantità) AS Imponibile,"
    "(((PrezzoAcquistoMedio*Quantità)*CodiciIva.Percentuale)/100) AS ImportoIVA";
inline constexpr char kImponibileLiberi[] =
    "*,(PrezzoAcquisto*Quantità) AS Imponibile,"
    "(((PrezzoAcquisto*Quantità)*CodiciIva.Percentuale)/100) AS ImportoIVA";
inline constexpr char kInventario[] =
    "*,PrezzoVendita*Quantità AS Valore,(PrezzoAcquistoMedio*Quantità) + PrezzoVendita*Quantità "
    "*(CodiciIva.Percentuale/(100+CodiciIva.Percentuale)) AS Costo,(Valore)-(Costo) AS Guadagno";
inline constexpr char kInventarioLiberi[] =
    "*,PrezzoVendita*Quantità AS Valore,(PrezzoAcquisto*Quantità) + PrezzoVendita*Quantità "
    "*(CodiciIva.Percentuale/(100+CodiciIva.Percentuale)) AS Costo,(Valore)-(Costo) AS Guadagno";
inline constexpr char kPrimaNota[] =
    "*,DataMovimento,Descrizione,IIF(Tipo=1,ImportoMovimento,0) AS EntrataCassa,"
    "IIF(Tipo=-1,ImportoMovimento,0) AS UscitaCassa,IIF(Tipo=2,ImportoMovimento,0) AS "
    "EntrataFuoriCassa,IIF(Tipo=-2,ImportoMovimento,0) AS UscitaFuoriCassa,Soggetto";
inline constexpr char kRiBa[] =
    "*,PagamentiCliente.Cliente,PagamentiCliente.Documento,PagamentiCliente.DataDocumento,"
    "PagamentiCliente.Cliente.Indirizzo,PagamentiCliente.Cliente.PartitaIva,"
    "PagamentiCliente.Cliente.Città.CAP,PagamentiCliente.BancaDiRiferimento.ABI AS ABI,"
    "PagamentiCliente.BancaDiRiferimento.CAB AS CAB";
inline constexpr char kCorrispettivi[] =
    "*, (ImportoTotale+ImportoIVA) AS Totale, (ImportoTotale*20/100) AS ImportoIVA";

// Stock at a date: the loads and sales since then are taken back. Load and sale rows carry no
// date of their own, so the date of their document stands for it.
inline std::string Ricalcolo(const std::string& date) {
  return "*,(SELECT SUM(QuantitàCarico) FROM DettagliForniture WHERE OID_Articoli=Articoli.OID "
         "AND Forniture.Data >= #" +
         date +
         "#) AS QuantitàCarico,"
         "(SELECT SUM(QuantitàScarico) FROM DettagliVendite WHERE OID_Articoli=Articoli.OID AND "
         "Vendite.Data >= #" +
         date +
         "#) AS QuantitàScarico,"
         "Quantità-IIF(IsNull(QuantitàCarico),0,QuantitàCarico)+"
         "IIF(IsNull(QuantitàScarico),0,QuantitàScarico) AS QuantitàAllaData,"
         "(PrezzoAcquistoMedio*QuantitàAllaData) AS Imponibile,"
         "(((PrezzoAcquistoMedio*QuantitàAllaData)*CodiciIva.Percentuale)/100) AS ImportoIVA";
}

struct ViewCase {
  std::string key;
  std::string table;
  std::string filter;
  std::string fields;
  std::string sort;
  std::string column;  // the column that tells the rows apart
  Texts values;        // its values, in the order the rows come back
};

// Failures name the case, not its bytes.
inline void PrintTo(const ViewCase& c, std::ostream* os) {
  *os << c.key;
}

inline std::string CaseName(const std::string& key, size_t index) {
  std::string name;
  for (char c : key) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) name += c;
  }
  return name + "_" + std::to_string(index);
}

MATCHER_P(Near, expected, "") {
  if (arg.size() != expected.size()) return false;
  for (size_t i = 0; i < arg.size(); ++i) {
    if (!(std::abs(arg[i] - expected[i]) < 1e-6)) return false;
  }
  return true;
}

class ViewsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();

  static engine::Connection& conn() { return *conn_; }
  static int64_t Id(const std::string& name) { return ids_->at(name); }
  static std::string IdText(const std::string& name) { return std::to_string(Id(name)); }
  // The text with each "{name}" replaced by the identifier of the seeded row of that name, as
  // the window writes a picked row's identifier into a filter.
  static std::string Resolve(std::string text);
  // The values of `column` of every row of the data set, in order: as text, or as numbers
  // (NaN for Null).
  static Texts Column(const engine::SelectRequest& request, const std::string& column);
  static Values Numbers(const engine::SelectRequest& request, const std::string& column);

 private:
  static engine::Row Add(const std::string& name, const char* table,
                         const engine::FieldValues& values);
  static Variant Ref(const std::string& name) { return Num(static_cast<double>(Id(name))); }
  static Variant Existing(const char* table, const char* field, const char* value);
  static void Set(engine::Row& row, const engine::FieldValues& values);
  // Writes every seeded value again over what the table hooks derived from the seeded rows.
  static void RedrawPicture();
  static engine::Row ArticleRow(engine::Row& document, const char* list, const char* article,
                                const engine::FieldValues& values);
  static void Seed();

  static platform::FixedClock* clock_;
  static std::filesystem::path* dir_;
  static engine::Connection* conn_;
  static engine::Database* db_;
  static std::map<std::string, int64_t>* ids_;
};

}  // namespace tillbook::data::views
