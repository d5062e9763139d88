#include "mainwindow/internal/stock_pass.h"

#include <map>
#include <string>
#include <vector>

#include "base/error.h"
#include "engine/catalog.h"
#include "engine/connection.h"
#include "mainwindow/internal/archive_sql.h"

namespace tillbook::mainwindow::internal {

const StockTables kWarehouseArticles = {
    "Articoli",           "DettagliForniture",     "DettagliDDTFornitori",   "DettagliVendite",
    "DettagliDDTClienti", "DettagliOrdiniClienti", "DettagliOrdiniFornitori"};
const StockTables kFreeArticles = {"ArticoliLiberi",
                                   "DettagliFornitureLib",
                                   "DettagliDDTFornitoriLib",
                                   "DettagliVenditeLib",
                                   "DettagliDDTClientiLib",
                                   "DettagliOrdiniClientiLib",
                                   "DettagliOrdiniFornitoriLib"};

namespace {

// The sums gathered per article, each over one movement table: a field, or a field less another
// (what a transport document or an order still has pending).
struct Measure {
  const char* name;
  const char* plus;
  const char* minus;
};
struct Source {
  const char* table;
  std::vector<Measure> measures;
};
constexpr const char* kMeasures[] = {"lq", "la", "lc", "tfp", "sq", "sa", "tcp", "oc", "ofq"};

constexpr const char* kMoves = "temp.\"tb_recalc_moves\"";
constexpr const char* kSuppliers = "temp.\"tb_recalc_suppliers\"";

std::vector<Source> SourcesOf(const StockTables& t, bool useOrders) {
  std::vector<Source> s = {
      {t.loads,
       {{"lq", "QuantitàCarico", nullptr},
        {"la", "Importo", nullptr},
        {"lc", "ImportoParzialeOneri", nullptr}}},
      {t.supplierTransports, {{"tfp", "QuantitàTrasporto", "QuantitàCaricata"}}},
      {t.sales, {{"sq", "QuantitàScarico", nullptr}, {"sa", "Importo", nullptr}}},
      {t.customerTransports, {{"tcp", "QuantitàTrasporto", "QuantitàScaricata"}}},
  };
  if (useOrders) {
    s.push_back({t.customerOrders, {{"oc", "QuantitàOrdine", "QuantitàScaricata"}}});
    s.push_back({t.supplierOrders, {{"ofq", "QuantitàOrdine", "QuantitàCaricata"}}});
  }
  return s;
}

// "r.<column>", or 0 when the table does not have the field.
std::string FieldOrZero(const engine::TableInfo& rows, const char* field) {
  const auto c = FindSqlColumn(rows, field);
  return c ? "r." + c->column : "0";
}

// One SELECT of the movements of a table: the article, then every measure (0 for the ones
// it does not feed).
std::string Branch(const engine::TableInfo& rows, const Source& source) {
  const std::string link = "r." + BaseLinkColumn(rows);
  std::string sql = "SELECT " + link + " AS a";
  for (const char* m : kMeasures) {
    std::string expr = "0";
    for (const Measure& measure : source.measures) {
      if (std::string_view(measure.name) != m) continue;
      expr = FieldOrZero(rows, measure.plus);
      if (measure.minus) expr += " - " + FieldOrZero(rows, measure.minus);
    }
    sql += ", " + expr + " AS " + m;
  }
  return sql + " FROM " + OwnTable(rows) + " AS r WHERE " + link + " IS NOT NULL";
}

std::string M(const char* measure) {
  return "COALESCE(m." + std::string(measure) + ", 0)";
}

bool TablesExist(const engine::Catalog& catalog, std::initializer_list<const char*> names) {
  for (const char* n : names)
    if (!catalog.Find(n)) return false;
  return true;
}

// Fills the temporary table of the per-article sums.
void GatherMoves(engine::Connection& connection, const StockTables& tables, bool useOrders) {
  std::string branches;
  for (const Source& s : SourcesOf(tables, useOrders)) {
    const engine::TableInfo* rows = connection.catalog().Find(s.table);
    if (!rows) continue;
    branches += std::string(branches.empty() ? "" : " UNION ALL ") + Branch(*rows, s);
  }
  std::string columns = "a INTEGER PRIMARY KEY", sums;
  for (const char* m : kMeasures) {
    columns += std::string(", ") + m;
    sums += std::string(", SUM(") + m + ")";
  }
  std::string sql = "DROP TABLE IF EXISTS " + std::string(kMoves) + "; CREATE TEMP TABLE " +
                    "\"tb_recalc_moves\" (" + columns + ");";
  if (!branches.empty())
    sql += " INSERT INTO " + std::string(kMoves) + " SELECT a" + sums + " FROM (" + branches +
           ") GROUP BY a;";
  connection.Execute(sql);
}

// Writes the article figures from the sums, every article of the table included.
void WriteArticleFigures(engine::Connection& connection, const engine::TableInfo& articles,
                         bool useOrders) {
  const std::string loaded = M("lq") + " + " + M("tfp");
  const std::string unloaded = M("sq") + " + " + M("tcp");
  const std::string stock = "(" + loaded + ") - (" + unloaded + ")";
  std::vector<std::pair<const char*, std::string>> targets = {
      {"QuantitàTotaleCarichi", loaded}, {"ImportoTotaleForniture", M("la")},
      {"ImportoTotaleOneri", M("lc")},   {"QuantitàTotaleScarichi", unloaded},
      {"ImportoTotaleVendite", M("sa")}, {"Quantità", stock},
  };
  if (useOrders) {
    targets.push_back({"QuantitàInOrdineClienti", M("oc")});
    targets.push_back({"QuantitàInOrdineFornitori", M("ofq")});
    targets.push_back({"QuantitàFinale", M("ofq") + " + ((" + stock + ") - " + M("oc") + ")"});
  }
  // Grouped by the SQL table holding each field: one statement per table.
  std::map<std::string, std::pair<std::string, std::string>> bySegment;
  for (const auto& [field, expr] : targets) {
    const auto c = FindSqlColumn(articles, field);
    if (!c) continue;
    auto& [columns, values] = bySegment[c->table];
    columns += (columns.empty() ? "" : ", ") + c->column;
    values += (values.empty() ? "" : ", ") + expr;
  }
  for (const auto& [table, set] : bySegment)
    connection.Execute("UPDATE " + table + " SET (" + set.first + ") = (SELECT " + set.second +
                       " FROM (SELECT 1) LEFT JOIN " + kMoves + " AS m ON m.a = " + table +
                       ".\"OID\")");
}

// The SELECT of (article, supplier, quantity, amount, charges) over the rows of a supplier
// document table.
std::string SupplierBranch(const engine::TableInfo& rows, const char* quantity, const char* less,
                           bool amounts) {
  if (rows.owners.empty())
    throw Error("Righe senza documento: " + rows.name + ".", "recalculation: no owner");
  const engine::OwnerInfo& owner = rows.owners.front();
  const SqlColumn supplier = SqlColumnOf(*owner.owner, "Fornitore");
  std::string q = FieldOrZero(rows, quantity);
  if (less) q += " - " + FieldOrZero(rows, less);
  return "SELECT r." + BaseLinkColumn(rows) + " AS a, d." + supplier.column + " AS f, " + q +
         " AS q, " + (amounts ? FieldOrZero(rows, "Importo") : "0") + " AS amt, " +
         (amounts ? FieldOrZero(rows, "ImportoParzialeOneri") : "0") + " AS ch FROM " +
         OwnTable(rows) + " AS r JOIN " + supplier.table + " AS d ON d.\"OID\" = r." +
         Quote(owner.reference->ownerColumn);
}

// The per-supplier rows of each article: loaded plus pending quantity, amounts of the loads,
// and the average price when amount and quantity are both above 0 (else it stays).
void WriteSupplierFigures(engine::Connection& connection, const engine::TableInfo& articles,
                          const StockTables& tables) {
  const engine::ReferenceInfo* list = articles.FindReference("DatiFornitori");
  const engine::Catalog& catalog = connection.catalog();
  if (!list || !TablesExist(catalog, {tables.loads, tables.supplierTransports})) return;
  const engine::TableInfo& data = *list->target;
  const std::string branches =
      SupplierBranch(*catalog.Find(tables.loads), "QuantitàCarico", nullptr, true) + " UNION ALL " +
      SupplierBranch(*catalog.Find(tables.supplierTransports), "QuantitàTrasporto",
                     "QuantitàCaricata", false);
  RegisterMoneyDivision(connection);
  const std::string table = OwnTable(data);
  const SqlColumn average = SqlColumnOf(data, "PrezzoAcquistoMedio");
  connection.Execute(
      "DROP TABLE IF EXISTS " + std::string(kSuppliers) +
      "; CREATE TEMP TABLE \"tb_recalc_suppliers\" (a INTEGER, f INTEGER, q, amt, ch, PRIMARY KEY "
      "(a, f)); INSERT INTO " +
      kSuppliers + " SELECT a, f, SUM(q), SUM(amt), SUM(ch) FROM (" + branches +
      ") WHERE a IS NOT NULL AND f IS NOT NULL GROUP BY a, f; UPDATE " + table + " SET (" +
      SqlColumnOf(data, "QuantitàTotaleCarichi").column + ", " +
      SqlColumnOf(data, "ImportoTotale").column + ", " +
      SqlColumnOf(data, "ImportoTotaleOneri").column + ", " + average.column +
      ") = (SELECT COALESCE(s.q, 0), COALESCE(s.amt, 0), COALESCE(s.ch, 0), CASE WHEN s.amt > 0 "
      "AND s.q > 0 THEN tb_money_div(s.amt, s.q) ELSE " +
      table + "." + average.column + " END FROM (SELECT 1) LEFT JOIN " + kSuppliers +
      " AS s ON s.a = " + table + "." + Quote(list->ownerColumn) + " AND s.f = " + table + "." +
      SqlColumnOf(data, "Fornitore").column + "); DROP TABLE " + kSuppliers + ";");
}

}  // namespace

bool RebuildStock(engine::Connection& connection, Phase& phase, const StockTables& tables,
                  bool useOrders) {
  const engine::Catalog& catalog = connection.catalog();
  const engine::TableInfo& articles = connection.Table(tables.articles);
  // Order quantities only where the archive keeps orders at all.
  useOrders = useOrders && TablesExist(catalog, {tables.customerOrders, tables.supplierOrders});
  if (!phase.Step()) return false;
  GatherMoves(connection, tables, useOrders);
  if (!phase.Step()) return false;
  WriteArticleFigures(connection, articles, useOrders);
  connection.Execute("DROP TABLE " + std::string(kMoves));
  if (!phase.Step()) return false;
  WriteSupplierFigures(connection, articles, tables);
  return true;
}

}  // namespace tillbook::mainwindow::internal
