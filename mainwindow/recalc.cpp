#include "mainwindow/recalc.h"

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/error.h"
#include "base/money.h"
#include "calc/archive_prices.h"
#include "data/TableClass.h"
#include "engine/catalog.h"
#include "engine/connection.h"
#include "engine/dataset.h"
#include "engine/row.h"
#include "engine/ui_services.h"
#include "mainwindow/internal/archive_sql.h"
#include "mainwindow/internal/fulfilment_pass.h"
#include "mainwindow/internal/stock_pass.h"

namespace tillbook::mainwindow {

namespace {

using engine::Answer;
using engine::Buttons;
using engine::Icon;
using internal::Phase;

constexpr const char* kCompleted = "OPERAZIONE COMPLETATA.";

bool Confirm(engine::UiServices& ui, std::string_view warning, std::string_view question) {
  return ui.MessageBox(std::string(warning) + "\n\n" + std::string(question), Buttons::OkCancel,
                       Icon::Exclamation) == Answer::Ok;
}

ToolOutcome Done(engine::UiServices& ui) {
  ui.MessageBox(kCompleted, Buttons::Ok, Icon::Information);
  return ToolOutcome::Completed;
}

// Runs one phase as one action: what it wrote before a Stop is kept.
bool RunPhase(engine::Connection& connection, const std::function<bool()>& phase) {
  bool finished = false;
  connection.RunAction([&] {
    finished = phase();
    return true;
  });
  return finished;
}

struct FulfilmentPhase {
  const char* text;
  const char* table;
  std::vector<std::string_view> drawingLists;  // transport documents first
  bool orders;
};

const std::vector<FulfilmentPhase>& FulfilmentPhases() {
  static const std::vector<FulfilmentPhase> phases = {
      {"FASE 1 di 5: Ricalcolo delle quantità evase negli Ordini Clienti...",
       "OrdiniClienti",
       {"TrasportiAssociati", "VenditeAssociate"},
       true},
      {"FASE 2 di 5: Ricalcolo delle quantità evase negli Ordini Fornitori...",
       "OrdiniFornitori",
       {"TrasportiAssociati", "FornitureAssociate"},
       true},
      {"FASE 3 di 5: Ricalcolo delle quantità evase nei Trasporti Fornitori...",
       "TrasportiFornitori",
       {"FornitureAssociate"},
       false},
      {"FASE 4 di 5: Ricalcolo delle quantità evase nei Trasporti Clienti...",
       "TrasportiClienti",
       {"VenditeAssociate"},
       false},
  };
  return phases;
}

// Sets "<total>" of every row of `subjects` to the sum of "Importo" of the rows of `movements`
// pointing at it through `reference` (0 without any), in one grouped statement.
void WriteSubjectTotals(engine::Connection& connection, const char* subjects, const char* total,
                        const char* movements, const char* reference) {
  using internal::OwnTable;
  using internal::SqlColumnOf;
  const engine::TableInfo& s = connection.Table(subjects);
  const engine::TableInfo& m = connection.Table(movements);
  const internal::SqlColumn target = SqlColumnOf(s, total);
  const internal::SqlColumn amount = SqlColumnOf(m, "Importo");
  const internal::SqlColumn link = SqlColumnOf(m, reference);
  if (amount.table != link.table)
    throw Error("Struttura inattesa della tabella " + m.name + ".", "amount and link apart");
  connection.Execute("UPDATE " + target.table + " SET " + target.column +
                     " = COALESCE(t.s, 0) FROM (SELECT c.\"OID\" AS k, g.s AS s FROM " +
                     OwnTable(s) + " AS c LEFT JOIN (SELECT " + link.column + " AS k, SUM(" +
                     amount.column + ") AS s FROM " + amount.table + " GROUP BY " + link.column +
                     ") AS g ON g.k = c.\"OID\") AS t WHERE " + target.table + ".\"OID\" = t.k");
}

// Writes `values` into the article rows one by one through the engine, so their price rules
// run; in actions of a few hundred rows, each article one progress step. False at a Stop.
bool WriteArticles(engine::Connection& connection, Phase& phase, const std::vector<int64_t>& oids,
                   const std::function<engine::FieldValues(size_t)>& values) {
  constexpr size_t kPerAction = 200;
  bool stopped = false;
  for (size_t start = 0; start < oids.size() && !stopped; start += kPerAction) {
    connection.RunAction([&] {
      for (size_t i = start; i < oids.size() && i < start + kPerAction; ++i) {
        if (!phase.Step()) {
          stopped = true;
          return true;
        }
        std::optional<engine::Row> article = connection.GetRow("Articoli", oids[i]);
        if (!article) continue;
        for (const auto& [field, value] : values(i))
          if (!article->Set(field, value)) {
            const std::string refusal = engine::Row::TakeRefusal();
            throw Error("Non è possibile aggiornare l'articolo " + article->Get("Codice").ToText() +
                            (refusal.empty() ? "." : ": " + refusal),
                        "recalculation refused on Articoli " + std::to_string(oids[i]));
          }
        if (!article->Save())
          throw Error(
              "Non è possibile aggiornare l'articolo " + article->Get("Codice").ToText() + ".",
              "recalculation: save refused");
      }
      return true;
    });
  }
  return !stopped;
}

// A mark-up as the person reads it: "30", "12,5".
std::string PercentText(double value) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.15g", value);
  std::string text = buffer;
  for (char& c : text)
    if (c == '.') c = ',';
  return text;
}

}  // namespace

ToolOutcome RecalcQuantities(engine::Connection& connection, engine::UiServices& ui,
                             const data::TableSwitches& switches) {
  if (!Confirm(ui,
               "ATTENZIONE! - Questa operazione corregge le incongruenze nelle quantità degli "
               "articoli in relazione alle movimentazioni effettuate...",
               "Continuare ?"))
    return ToolOutcome::Cancelled;
  const engine::Catalog& catalog = connection.catalog();
  const bool freeRows = switches.Use_NoMagazzino;
  for (const FulfilmentPhase& p : FulfilmentPhases()) {
    const bool present = catalog.Find(p.table) && (!p.orders || switches.Use_Ordini);
    Phase phase(ui, p.text, present ? internal::DocumentCount(connection, p.table) : 0);
    if (present && !RunPhase(connection, [&] {
          return internal::RebuildFulfilment(connection, phase, p.table, p.drawingLists, freeRows);
        }))
      return ToolOutcome::Stopped;
  }
  std::vector<std::pair<const char*, const internal::StockTables*>> stock = {
      {"FASE 5 di 5: Ricalcolo delle quantità negli Articoli Magazzino...",
       &internal::kWarehouseArticles}};
  if (freeRows)
    stock.push_back({"FASE 5 di 5: Ricalcolo delle quantità negli Articoli Liberi...",
                     &internal::kFreeArticles});
  for (const auto& [text, tables] : stock) {
    Phase phase(ui, text, internal::kStockSteps);
    if (!RunPhase(connection, [&, tables = tables] {
          return internal::RebuildStock(connection, phase, *tables, switches.Use_Ordini);
        }))
      return ToolOutcome::Stopped;
  }
  return Done(ui);
}

ToolOutcome RecalcSubjectTotals(engine::Connection& connection, engine::UiServices& ui) {
  if (!Confirm(ui,
               "ATTENZIONE! - Questa operazione corregge le incongruenze nei totali delle schede "
               "Clienti/Fornitori in relazione alle movimentazioni effettuate...",
               "Continuare ?"))
    return ToolOutcome::Cancelled;
  const struct {
    const char* text;
    const char* subjects;
    const char* total;
    const char* movements;
    const char* reference;
  } phases[] = {
      {"FASE 1 di 2: Ricalcolo dei totali schede Clienti...", "Clienti", "TotaleVenduto",
       "PagamentiCliente", "Cliente"},
      {"FASE 2 di 2: Ricalcolo dei totali schede Fornitori...", "Fornitori", "TotaleAcquistato",
       "AcquistoFornitori", "Fornitore"},
  };
  for (const auto& p : phases) {
    Phase phase(ui, p.text, 1);
    if (!RunPhase(connection, [&] {
          if (!phase.Step()) return false;
          WriteSubjectTotals(connection, p.subjects, p.total, p.movements, p.reference);
          return true;
        }))
      return ToolOutcome::Stopped;
  }
  return Done(ui);
}

ToolOutcome RecalcPurchasePrices(engine::Connection& connection, engine::UiServices& ui,
                                 DateTime from, DateTime to) {
  if (!Confirm(ui,
               "ATTENZIONE! - Questa operazione aggiorna i Prezzi di Acquisto, i Costi relativi "
               "agli Oneri e i Prezzi di Vendita per tutti gli articoli movimentati nelle "
               "forniture del periodo indicato...",
               "CONTINUARE ?"))
    return ToolOutcome::Cancelled;
  using internal::SqlColumnOf;
  const engine::TableInfo& loads = connection.Table("Forniture");
  const engine::ReferenceInfo& list = internal::ListOf(loads, "Dettagli");
  const engine::TableInfo& rows = *list.target;
  const internal::SqlColumn date = SqlColumnOf(loads, "Data");
  const std::string quantity = "r." + SqlColumnOf(rows, "QuantitàCarico").column;
  const std::string amount = "r." + SqlColumnOf(rows, "Importo").column;
  const std::string charges = "r." + SqlColumnOf(rows, "ImportoParzialeOneri").column;
  const std::string article = "r." + internal::BaseLinkColumn(rows);
  // A day given without a time takes in the whole of it.
  const DateTime end = to.HasTime() ? to.AddSeconds(1) : to.DatePart().AddDays(1);
  // Amounts are stored in ten-thousandths: the averages come back in them.
  struct Average {
    int64_t article;
    double price, charges;
  };
  std::vector<Average> averages;
  internal::ForEachResult(
      connection,
      "SELECT " + article + ", AVG(" + amount + " * 1.0 / " + quantity + "), AVG(" + charges +
          " * 1.0 / " + quantity + ") FROM " + internal::OwnTable(rows) + " AS r JOIN " +
          date.table + " AS d ON d.\"OID\" = r." + internal::Quote(list.ownerColumn) + " WHERE d." +
          date.column + " >= ? AND d." + date.column + " < ? AND " + quantity + " > 0 AND " +
          amount + " > 0 AND " + article + " IS NOT NULL GROUP BY " + article + " ORDER BY " +
          article,
      {Variant::String(from.ToIso()), Variant::String(end.ToIso())},
      [&](const std::vector<Variant>& r) {
        if (r[1].IsNull()) return;
        averages.push_back({r[0].ToInt64(), r[1].ToDouble(), r[2].IsNull() ? 0 : r[2].ToDouble()});
      });
  std::vector<int64_t> oids;
  for (const Average& a : averages) oids.push_back(a.article);
  bool finished;
  {
    Phase phase(ui, "Ricalcolo Prezzi da Forniture...", static_cast<int>(oids.size()));
    finished = WriteArticles(connection, phase, oids, [&](size_t i) {
      const Variant price = Variant::Currency(Money::FromDouble(averages[i].price / Money::kScale));
      return engine::FieldValues{
          {"PrezzoAcquisto", price},
          {"PrezzoAcquistoMedio", price},
          {"CostoOneriUnitario",
           Variant::Currency(Money::FromDouble(averages[i].charges / Money::kScale))}};
    });
  }
  return finished ? Done(ui) : ToolOutcome::Stopped;
}

ToolOutcome ResetBaseMarkup(engine::Connection& connection, engine::UiServices& ui) {
  if (ui.MessageBox("Questa funzione aggiorna i Prezzi di Vendita predefiniti di tutti gli "
                    "articoli aggiornando il ricarico predefinito configurato nel Listino di "
                    "BASE...\n\nContinuare ?",
                    Buttons::OkCancel, Icon::Information, 0, "< INFORMAZIONI >") != Answer::Ok)
    return ToolOutcome::Cancelled;
  engine::DataSet base = calc::FindBaseList(connection);
  if (base.IsEOF()) {
    ui.Warn(calc::kBaseListMissingMessage);
    return ToolOutcome::Cancelled;
  }
  const Variant stored = base.CurrentRow()->Get("PercentualeRicaricoPredefinito");
  const double markup = stored.IsNull() ? 0 : stored.ToDouble();
  if (!ui.AskYesNo("Impostare il Ricarico di base < " + PercentText(markup) +
                   " > in tutti gli articoli ?"))
    return ToolOutcome::Cancelled;
  std::vector<int64_t> oids;
  internal::ForEachResult(
      connection,
      "SELECT \"OID\" FROM " + internal::OwnTable(connection.Table("Articoli")) +
          " ORDER BY \"OID\"",
      {}, [&](const std::vector<Variant>& r) { oids.push_back(r[0].ToInt64()); });
  bool finished;
  {
    Phase phase(ui, "Impostazione Ricarico di Base e Ricalcolo Prezzi di Vendita predefiniti...",
                static_cast<int>(oids.size()));
    finished = WriteArticles(connection, phase, oids, [&](size_t) {
      return engine::FieldValues{{"PercentualeRicarico", Variant::Double(markup)}};
    });
  }
  return finished ? Done(ui) : ToolOutcome::Stopped;
}

}  // namespace tillbook::mainwindow
