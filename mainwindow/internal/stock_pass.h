// The stock figures of every article (or free article) rebuilt from its movements in a few
// grouped statements: loaded and sold quantities and amounts, pending transport quantities, the
// quantities still on order, the stock and, for articles, the figures of each supplier.
#pragma once

namespace tillbook::engine {
class Connection;
}

namespace tillbook::mainwindow::internal {

class Phase;

// Which articles and which of their movement tables.
struct StockTables {
  const char* articles;
  const char* loads;
  const char* supplierTransports;
  const char* sales;
  const char* customerTransports;
  const char* customerOrders;
  const char* supplierOrders;
};
extern const StockTables kWarehouseArticles;  // Articoli
extern const StockTables kFreeArticles;       // ArticoliLiberi

// The number of progress steps RebuildStock takes.
inline constexpr int kStockSteps = 3;

// Rebuilds the figures of every row of `tables.articles`, articles without movements ending at
// 0; with `useOrders` also the quantities on order and "QuantitàFinale", left as they are
// otherwise. A field the table does not have is skipped. The per-supplier rows of an article
// get their quantity and amounts, and their average price when both are above 0. Returns false
// at a Stop (between statements: what was written stays). Must run inside an action.
bool RebuildStock(engine::Connection& connection, Phase& phase, const StockTables& tables,
                  bool useOrders);

}  // namespace tillbook::mainwindow::internal
