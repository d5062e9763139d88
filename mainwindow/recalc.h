// The batch tools of the main window that rebuild derived values from the stored movements:
// stock and order quantities, customer and supplier totals, purchase prices from the loads of
// a period, and the base mark-up of every article. Whatever the table hooks keep up to date row
// by row, these recompute from scratch, over whole tables, in grouped statements.
//
// Each asks for confirmation, shows its phases in the progress window and ends with
// "OPERAZIONE COMPLETATA.". Stop in the progress window ends it early: what was written stays
// written. A failure of the archive ends it with Error (caught and shown by the caller); the
// phases already done stay done.
#pragma once

#include "base/date.h"

namespace tillbook::data {
struct TableSwitches;
}
namespace tillbook::engine {
class Connection;
class UiServices;
}  // namespace tillbook::engine

namespace tillbook::mainwindow {

enum class ToolOutcome {
  Cancelled,  // the person said no: nothing written
  Stopped,    // Stop pressed: the work done until then is written
  Completed,
};

// Errata corrige of quantities: the fulfilment counters and "Evaso" of customer orders, supplier
// orders, supplier and customer transport documents (free rows too with "Use_NoMagazzino"),
// then every article's stock figures (and the free articles' with "Use_NoMagazzino"). With
// "Use_Ordini" off the order phases do nothing and the order quantities and "QuantitàFinale"
// are left as they are.
ToolOutcome RecalcQuantities(engine::Connection& connection, engine::UiServices& ui,
                             const data::TableSwitches& switches);

// "TotaleVenduto" of every customer from its payments, "TotaleAcquistato" of every supplier
// from its purchases.
ToolOutcome RecalcSubjectTotals(engine::Connection& connection, engine::UiServices& ui);

// For every article loaded between `from` and `to` (load dates, both included): the average of
// the unit amounts of its load rows with quantity and amount above 0 becomes "PrezzoAcquisto" and
// "PrezzoAcquistoMedio", the average unit charge "CostoOneriUnitario"; written through the
// article rows, so the price rules recompute the sale prices.
ToolOutcome RecalcPurchasePrices(engine::Connection& connection, engine::UiServices& ui,
                                 DateTime from, DateTime to);

// Every article takes the base price list's "PercentualeRicaricoPredefinito" as its
// "PercentualeRicarico" (through the article rows: the sale prices follow). Without a base list
// it says so and writes nothing.
ToolOutcome ResetBaseMarkup(engine::Connection& connection, engine::UiServices& ui);

}  // namespace tillbook::mainwindow
