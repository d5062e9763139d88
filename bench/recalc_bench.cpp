// Recalculation benchmark: the errata corrige of quantities (fulfilment of orders and transport
// documents, then every article's stock figures, per-supplier data and free articles) on an
// archive of 100,000 articles and 1,000,000 sale rows with loads, transport documents and
// orders, against a hand-written SQL recomputation of the same values (grouped UPDATE statements
// in one transaction) on a copy of the same file. Prints
//   recalc quantities: ours X ms, hand SQL Y ms, ratio R
// with the medians of `runs` alternate runs, and checks that both sides left the same figures.
// The archive is built once with raw inserts and kept in the build folder.
// Usage: recalc_bench [ARTICLES SALE_ROWS RUNS]; RECALC_BENCH_STEPS=1 prints the time of each
// statement of the hand-written side.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/error.h"
#include "data/DB.h"
#include "data/TableClass.h"
#include "engine/connection.h"
#include "engine/database.h"
#include "engine/internal/session.h"
#include "engine/internal/sqlite.h"
#include "engine/ui_services.h"
#include "mainwindow/recalc.h"

#ifndef TILLBOOK_BENCH_CACHE
#define TILLBOOK_BENCH_CACHE "."
#endif

namespace fs = std::filesystem;
using namespace tillbook;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

std::string N(long v) {
  return std::to_string(v);
}

// "WITH RECURSIVE n(i) AS (... 1..count) INSERT INTO <into> SELECT <select> FROM n".
std::string Series(long count, const std::string& into, const std::string& select) {
  return "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<" + N(count) +
         ") INSERT INTO " + into + " SELECT " + select + " FROM n;";
}

void BuildArchive(const std::string& path, long articles, long saleRows) {
  {
    engine::Connection c;
    c.BeginCreate(path);
    engine::Database db(std::make_unique<data::DB>(), "tillbook");
    db.Attach(c);
    c.FinishCreate();
  }
  const long sales = saleRows / 10, loads = saleRows / 100, transports = saleRows / 500;
  const long orders = saleRows / 1000, freeArticles = articles / 100;
  const std::string article = "((i * 7919) % " + N(articles) + ") + 1";
  engine::Connection c;
  c.Open(path);
  c.Execute("BEGIN");
  // Suppliers 1001..1020, customers 2001..2100.
  c.Execute(Series(20, "Soggetti (OID, RagioneSociale)", "1000 + i, 'Fornitore ' || i") +
            Series(20, "Fornitori (OID, Codice)", "1000 + i, 'F' || i") +
            Series(100, "Soggetti (OID, RagioneSociale)", "2000 + i, 'Cliente ' || i") +
            Series(100, "Clienti (OID, Codice)", "2000 + i, 'C' || i"));
  c.Execute(Series(articles, "Articoli (OID, Codice, Descrizione)",
                   "i, printf('A%06d', i), 'Articolo ' || i") +
            Series(freeArticles, "ArticoliLiberi (OID, Descrizione)", "i, 'Libero ' || i") +
            Series(articles,
                   "DettagliPrezziFornitori (OIDOwner_Articoli_DatiFornitori, OID_Fornitore, "
                   "PrezzoAcquistoMedio)",
                   "i, 1001 + i % 20, 10000"));
  c.Execute(Series(sales, "Vendite (OID, Numero, Data, OID_Cliente)",
                   "i, i, '2024-03-01', 2001 + i % 100") +
            Series(saleRows,
                   "DettagliVendite (OIDOwner_Vendite_Dettagli, OID_Articoli, QuantitàScarico, "
                   "Importo)",
                   "(i - 1) / 10 + 1, " + article + ", 1 + i % 3, (i % 1000) * 100") +
            Series(sales / 10,
                   "DettagliVenditeLib (OIDOwner_Vendite_DettagliLiberi, OID_ArticoliLiberi, "
                   "Descrizione, QuantitàScarico, Importo)",
                   "i * 10, 1 + i % " + N(freeArticles) + ", 'Libero ' || (1 + i % " +
                       N(freeArticles) + "), 1, 5000"));
  c.Execute(Series(loads, "Forniture (OID, Documento, Data, OID_Fornitore)",
                   "i, 'B' || i, '2024-02-01', 1001 + i % 20") +
            Series(loads * 10,
                   "DettagliForniture (OIDOwner_Forniture_Dettagli, OID_Articoli, QuantitàCarico, "
                   "Importo, ImportoParzialeOneri)",
                   "(i - 1) / 10 + 1, " + article + ", 5 + i % 7, 10000 * (5 + i % 7), 1000") +
            Series(loads,
                   "DettagliFornitureLib (OIDOwner_Forniture_DettagliLiberi, OID_ArticoliLiberi, "
                   "Descrizione, QuantitàCarico, Importo)",
                   "i, 1 + i % " + N(freeArticles) + ", 'Libero ' || (1 + i % " + N(freeArticles) +
                       "), 10, 40000"));
  // Transport documents: customers' 1..T, suppliers' T+1..2T; each drawn by one document.
  c.Execute(Series(2 * transports, "TrasportiBase (OID, Numero, Data)", "i, i, '2024-02-15'") +
            Series(transports, "TrasportiClienti (OID, OID_Cliente)", "i, 2001 + i % 100") +
            Series(transports, "TrasportiFornitori (OID, OID_Fornitore)",
                   N(transports) + " + i, 1001 + i % 20") +
            Series(transports * 10,
                   "DettagliDDTClienti (OIDOwner_TrasportiClienti_Dettagli, OID_Articoli, "
                   "QuantitàTrasporto)",
                   "(i - 1) / 10 + 1, " + article + ", 4") +
            Series(transports * 10,
                   "DettagliDDTFornitori (OIDOwner_TrasportiFornitori_Dettagli, OID_Articoli, "
                   "QuantitàTrasporto)",
                   N(transports) + " + (i - 1) / 10 + 1, " + article + ", 6") +
            Series(transports, "Lst_TrasportiClienti_VenditeAssociate (OID_Owner, OID_Item)",
                   "i, i * 3") +
            Series(transports, "Lst_TrasportiFornitori_FornitureAssociate (OID_Owner, OID_Item)",
                   N(transports) + " + i, i"));
  // Orders, each drawn by two documents, transport documents first.
  c.Execute(
      Series(orders, "OrdiniClienti (OID, Numero, Data, OID_Cliente)",
             "i, i, '2024-01-15', 2001 + i % 100") +
      Series(orders * 5,
             "DettagliOrdiniClienti (OIDOwner_OrdiniClienti_Dettagli, OID_Articoli, "
             "QuantitàOrdine)",
             "(i - 1) / 5 + 1, " + article + ", 3 + i % 5") +
      Series(orders, "Lst_OrdiniClienti_TrasportiAssociati (OID_Owner, OID_Item)", "i, i") +
      Series(orders, "Lst_OrdiniClienti_VenditeAssociate (OID_Owner, OID_Item)", "i, i * 5") +
      Series(orders, "OrdiniFornitori (OID, Numero, Data, OID_Fornitore)",
             "i, i, '2024-01-10', 1001 + i % 20") +
      Series(orders * 5,
             "DettagliOrdiniFornitori (OIDOwner_OrdiniFornitori_Dettagli, OID_Articoli, "
             "QuantitàOrdine)",
             "(i - 1) / 5 + 1, " + article + ", 20") +
      Series(orders, "Lst_OrdiniFornitori_FornitureAssociate (OID_Owner, OID_Item)", "i, i * 2"));
  c.Execute("COMMIT");
}

// The fulfilment counters of one kind of drawn rows and "Evaso" of its documents by hand:
// quantities are positive, so adding each drawing document with a cap is the capped sum.
std::string HandFulfilment(const std::string& rows, const std::string& owner,
                           const std::string& counter, const std::string& cap,
                           const std::vector<std::string>& drawing, const std::string& docs,
                           const std::string& flagTable) {
  std::string sql =
      "DROP TABLE IF EXISTS temp.hf; CREATE TEMP TABLE hf AS SELECT o, a, SUM(q) AS q "
      "FROM (";
  for (size_t i = 0; i < drawing.size(); ++i) sql += (i ? " UNION ALL " : "") + drawing[i];
  sql += ") GROUP BY o, a; CREATE INDEX temp.hf_oa ON hf (o, a);";
  sql += "UPDATE " + rows + " SET " + counter + " = MIN(" + cap +
         ", COALESCE((SELECT q FROM hf WHERE hf.o = " + rows + "." + owner + " AND hf.a = " + rows +
         ".OID_Articoli), 0));";
  sql += "UPDATE " + flagTable + " SET Evaso = NOT EXISTS (SELECT 1 FROM " + rows + " r WHERE r." +
         owner + " = " + flagTable + ".OID AND r." + cap + " > r." + counter + ") WHERE OID IN " +
         "(SELECT OID FROM " + docs + ");";
  return sql;
}

std::string Drawn(const std::string& link, const std::string& rows, const std::string& owner,
                  const std::string& source) {
  return "SELECT l.OID_Owner AS o, d.OID_Articoli AS a, d." + source + " AS q FROM " + link +
         " l JOIN " + rows + " d ON d." + owner + " = l.OID_Item";
}

// Grouped updates of one article table from its movement tables, each sum first gathered in a
// temporary table keyed by article.
std::string HandStock(const std::string& t, const std::string& link, const std::string& suffix,
                      bool charges) {
  const auto from = [&](const std::string& sums, const std::string& rows) {
    return "; DROP TABLE IF EXISTS temp.g; CREATE TEMP TABLE g (a INTEGER PRIMARY KEY, q, i, c);"
           " INSERT INTO g SELECT " +
           link + ", " + sums + " FROM " + rows + suffix + " WHERE " + link +
           " IS NOT NULL GROUP BY +" + link + ";";
  };
  const auto update = [&](const std::string& set) {
    return "UPDATE " + t + " SET " + set + " FROM g WHERE g.a = " + t + ".OID;";
  };
  std::string sql = "UPDATE " + t +
                    " SET QuantitàTotaleCarichi = 0, QuantitàTotaleScarichi = 0, "
                    "ImportoTotaleForniture = 0, ImportoTotaleVendite = 0, "
                    "QuantitàInOrdineClienti = 0, QuantitàInOrdineFornitori = 0" +
                    std::string(charges ? ", ImportoTotaleOneri = 0" : "");
  sql += from(std::string("SUM(QuantitàCarico), SUM(Importo), ") +
                  (charges ? "SUM(ImportoParzialeOneri)" : "0"),
              "DettagliForniture") +
         update(std::string("QuantitàTotaleCarichi = g.q, ImportoTotaleForniture = g.i") +
                (charges ? ", ImportoTotaleOneri = g.c" : ""));
  sql += from("SUM(QuantitàTrasporto - QuantitàCaricata), 0, 0", "DettagliDDTFornitori") +
         update("QuantitàTotaleCarichi = QuantitàTotaleCarichi + g.q");
  sql += from("SUM(QuantitàScarico), SUM(Importo), 0", "DettagliVendite") +
         update("QuantitàTotaleScarichi = g.q, ImportoTotaleVendite = g.i");
  sql += from("SUM(QuantitàTrasporto - QuantitàScaricata), 0, 0", "DettagliDDTClienti") +
         update("QuantitàTotaleScarichi = QuantitàTotaleScarichi + g.q");
  sql += from("SUM(QuantitàOrdine - QuantitàScaricata), 0, 0", "DettagliOrdiniClienti") +
         update("QuantitàInOrdineClienti = g.q");
  sql += from("SUM(QuantitàOrdine - QuantitàCaricata), 0, 0", "DettagliOrdiniFornitori") +
         update("QuantitàInOrdineFornitori = g.q");
  sql += "UPDATE " + t +
         " SET Quantità = QuantitàTotaleCarichi - QuantitàTotaleScarichi, QuantitàFinale = "
         "QuantitàInOrdineFornitori + ((QuantitàTotaleCarichi - QuantitàTotaleScarichi) - "
         "QuantitàInOrdineClienti); DROP TABLE temp.g;";
  return sql;
}

void HandRecalc(engine::Connection& conn) {
  struct Timed {
    engine::Connection& c;
    void Execute(const std::string& sql) {
      if (!std::getenv("RECALC_BENCH_STEPS")) return c.Execute(sql);
      size_t start = 0;
      while (start < sql.size()) {
        size_t end = sql.find(';', start);
        if (end == std::string::npos) end = sql.size();
        const std::string one = sql.substr(start, end - start);
        start = end + 1;
        if (one.find_first_not_of(' ') == std::string::npos) continue;
        const auto t0 = Clock::now();
        c.Execute(one);
        std::fprintf(stderr, "  %.0f ms: %.90s\n", Ms(Clock::now() - t0), one.c_str());
      }
    }
  } c{conn};
  c.Execute("BEGIN");
  c.Execute(HandFulfilment("DettagliOrdiniClienti", "OIDOwner_OrdiniClienti_Dettagli",
                           "QuantitàScaricata", "QuantitàOrdine",
                           {Drawn("Lst_OrdiniClienti_TrasportiAssociati", "DettagliDDTClienti",
                                  "OIDOwner_TrasportiClienti_Dettagli", "QuantitàTrasporto"),
                            Drawn("Lst_OrdiniClienti_VenditeAssociate", "DettagliVendite",
                                  "OIDOwner_Vendite_Dettagli", "QuantitàScarico")},
                           "OrdiniClienti", "OrdiniClienti"));
  c.Execute(HandFulfilment("DettagliOrdiniFornitori", "OIDOwner_OrdiniFornitori_Dettagli",
                           "QuantitàCaricata", "QuantitàOrdine",
                           {Drawn("Lst_OrdiniFornitori_TrasportiAssociati", "DettagliDDTFornitori",
                                  "OIDOwner_TrasportiFornitori_Dettagli", "QuantitàTrasporto"),
                            Drawn("Lst_OrdiniFornitori_FornitureAssociate", "DettagliForniture",
                                  "OIDOwner_Forniture_Dettagli", "QuantitàCarico")},
                           "OrdiniFornitori", "OrdiniFornitori"));
  c.Execute(HandFulfilment("DettagliDDTFornitori", "OIDOwner_TrasportiFornitori_Dettagli",
                           "QuantitàCaricata", "QuantitàTrasporto",
                           {Drawn("Lst_TrasportiFornitori_FornitureAssociate", "DettagliForniture",
                                  "OIDOwner_Forniture_Dettagli", "QuantitàCarico")},
                           "TrasportiFornitori", "TrasportiBase"));
  c.Execute(HandFulfilment("DettagliDDTClienti", "OIDOwner_TrasportiClienti_Dettagli",
                           "QuantitàScaricata", "QuantitàTrasporto",
                           {Drawn("Lst_TrasportiClienti_VenditeAssociate", "DettagliVendite",
                                  "OIDOwner_Vendite_Dettagli", "QuantitàScarico")},
                           "TrasportiClienti", "TrasportiBase"));
  c.Execute(HandStock("Articoli", "OID_Articoli", "", true));
  // Per supplier: loads and pending transport quantities of that supplier.
  c.Execute(
      "UPDATE DettagliPrezziFornitori SET QuantitàTotaleCarichi = 0, ImportoTotale = 0, "
      "ImportoTotaleOneri = 0;"
      "CREATE TEMP TABLE s (a INTEGER, f INTEGER, q, i, c, PRIMARY KEY (a, f));"
      "INSERT INTO s SELECT a, f, SUM(q), SUM(i), SUM(c) FROM ("
      "SELECT r.OID_Articoli a, d.OID_Fornitore f, r.QuantitàCarico q, r.Importo i, "
      "r.ImportoParzialeOneri c FROM DettagliForniture r JOIN Forniture d ON d.OID = "
      "r.OIDOwner_Forniture_Dettagli UNION ALL SELECT r.OID_Articoli, d.OID_Fornitore, "
      "r.QuantitàTrasporto - r.QuantitàCaricata, 0, 0 FROM DettagliDDTFornitori r JOIN "
      "TrasportiFornitori d ON d.OID = r.OIDOwner_TrasportiFornitori_Dettagli) "
      "WHERE a IS NOT NULL AND f IS NOT NULL GROUP BY a, f;"
      "UPDATE DettagliPrezziFornitori SET QuantitàTotaleCarichi = s.q, ImportoTotale = s.i, "
      "ImportoTotaleOneri = s.c FROM s WHERE s.a = "
      "DettagliPrezziFornitori.OIDOwner_Articoli_DatiFornitori AND s.f = "
      "DettagliPrezziFornitori.OID_Fornitore;"
      "UPDATE DettagliPrezziFornitori SET PrezzoAcquistoMedio = ROUND(ImportoTotale * 1.0 / "
      "QuantitàTotaleCarichi) WHERE ImportoTotale > 0 AND QuantitàTotaleCarichi > 0;"
      "DROP TABLE temp.s;");
  std::string free = HandStock("ArticoliLiberi", "OID_ArticoliLiberi", "Lib", false);
  c.Execute(free);
  c.Execute("COMMIT");
}

// Figures both sides must agree on.
std::vector<double> Figures(const std::string& path) {
  engine::Connection c;
  c.Open(path, engine::Connection::Access::ReadOnly);
  const char* sums[] = {
      "SELECT TOTAL(Quantità), TOTAL(QuantitàTotaleCarichi), TOTAL(QuantitàTotaleScarichi), "
      "TOTAL(ImportoTotaleForniture), TOTAL(ImportoTotaleOneri), TOTAL(ImportoTotaleVendite), "
      "TOTAL(QuantitàInOrdineClienti), TOTAL(QuantitàInOrdineFornitori), TOTAL(QuantitàFinale) "
      "FROM Articoli",
      "SELECT TOTAL(Quantità), TOTAL(QuantitàFinale), TOTAL(ImportoTotaleVendite) FROM "
      "ArticoliLiberi",
      "SELECT TOTAL(QuantitàTotaleCarichi), TOTAL(ImportoTotale), TOTAL(PrezzoAcquistoMedio) "
      "FROM DettagliPrezziFornitori",
      "SELECT TOTAL(QuantitàScaricata) FROM DettagliOrdiniClienti",
      "SELECT TOTAL(QuantitàCaricata) FROM DettagliOrdiniFornitori",
      "SELECT TOTAL(QuantitàCaricata) FROM DettagliDDTFornitori",
      "SELECT TOTAL(QuantitàScaricata) FROM DettagliDDTClienti",
      "SELECT TOTAL(Evaso) FROM OrdiniClienti",
      "SELECT TOTAL(Evaso) FROM TrasportiBase"};
  std::vector<double> out;
  for (const char* sql : sums) {
    engine::internal::Statement s(c.session().db().handle(), sql);
    if (s.Step())
      for (int i = 0; i < s.ColumnCount(); ++i) out.push_back(s.Real(i));
  }
  return out;
}

double OursOnce(const std::string& path) {
  engine::ScriptedUi ui;
  engine::Connection c(&ui);
  c.Open(path);
  data::TableSwitches switches;
  engine::Database db(std::make_unique<data::DB>(switches), "tillbook");
  db.Attach(c);
  const auto t0 = Clock::now();
  if (mainwindow::RecalcQuantities(c, ui, switches) != mainwindow::ToolOutcome::Completed) {
    std::fprintf(stderr, "the tool did not complete\n");
    std::exit(1);
  }
  return Ms(Clock::now() - t0);
}

double HandOnce(const std::string& path) {
  engine::Connection c;  // for the archive's collation only: the statements are SQLite's own
  c.Open(path);
  const auto t0 = Clock::now();
  HandRecalc(c);
  return Ms(Clock::now() - t0);
}

void Fresh(const fs::path& cached, const fs::path& work) {
  for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(work.string() + suffix);
  fs::copy_file(cached, work);
}

}  // namespace

int main(int argc, char** argv) {
  const long articles = argc > 1 ? std::atol(argv[1]) : 100000;
  const long rows = argc > 2 ? std::atol(argv[2]) : 1000000;
  const int runs = argc > 3 ? std::atoi(argv[3]) : 3;
  const fs::path cache = fs::path(TILLBOOK_BENCH_CACHE) / "recalc_bench_cache";
  fs::create_directories(cache);
  const fs::path cached = cache / ("Tillbook-" + N(articles) + "-" + N(rows) + ".mdb");
  const fs::path ours = cache / "ours" / "Tillbook.mdb", hand = cache / "hand" / "Tillbook.mdb";
  fs::create_directories(ours.parent_path());
  fs::create_directories(hand.parent_path());
  try {
    if (!fs::exists(cached)) {
      const fs::path building = cached.string() + ".build";
      fs::remove(building);
      BuildArchive(building.string(), articles, rows);
      fs::rename(building, cached);
    }
    std::vector<double> oursMs, handMs;
    for (int i = 0; i < runs; ++i) {
      Fresh(cached, ours);
      oursMs.push_back(OursOnce(ours.string()));
      Fresh(cached, hand);
      handMs.push_back(HandOnce(hand.string()));
    }
    const std::vector<double> a = Figures(ours.string()), b = Figures(hand.string());
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
      if (std::abs(a[i] - b[i]) > 1e-6 * std::max(1.0, std::abs(b[i])))
        std::fprintf(stderr, "figure %zu differs: ours %.6f, hand SQL %.6f\n", i, a[i], b[i]);
    std::printf("recalc quantities: ours %.0f ms, hand SQL %.0f ms, ratio %.2f\n", Median(oursMs),
                Median(handMs), Median(oursMs) / Median(handMs));
  } catch (const Error& e) {
    std::fprintf(stderr, "%s (%s)\n", e.message().c_str(), e.detail().c_str());
    return 1;
  }
  fs::remove_all(ours.parent_path());
  fs::remove_all(hand.parent_path());
  return 0;
}
