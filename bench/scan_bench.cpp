// The scan action on the real tables: one article row added to a sale the way the till adds a
// scanned code, through the engine with its whole hook cascade (the row finds its article by
// code and copies it, takes its price from the sale's list, computes amounts and VAT, and the
// sale's totals and the article's stock follow), vs the minimal raw SQL writes that store the
// same result, one transaction each. The archive holds 100,000 articles and 1,000,000 sale rows.
// Prints p50 and p99 of both and "ratio R" (our p50 / raw p50).
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "base/error.h"
#include "data/DB.h"
#include "engine/connection.h"
#include "engine/database.h"
#include "engine/row.h"

namespace fs = std::filesystem;
using namespace tillbook;
using Clock = std::chrono::steady_clock;

namespace {

double Us(Clock::duration d) {
  return std::chrono::duration<double, std::micro>(d).count();
}

double Percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())))];
}

constexpr int kRowsPerSale = 10;

void BuildArchive(const std::string& path, int articles, int rows) {
  {
    engine::Connection c;
    c.BeginCreate(path);
    engine::Database db(std::make_unique<data::DB>(), "tillbook");
    db.Attach(c);
    c.FinishCreate();
  }
  engine::Connection c;
  c.Open(path);
  const std::string n = [](int count) {
    return "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<" +
           std::to_string(count) + ") ";
  }(articles);
  c.Execute("BEGIN");
  // Prices in ten-thousandths: 1.00 ... 100.99, VAT code IVA20.
  c.Execute(n +
            "INSERT INTO Articoli (Codice, Descrizione, PrezzoVendita, OID_IVA) SELECT "
            "printf('A%06d', i), printf('Articolo numero %d', i), (100 + i % 10000) * 100, "
            "(SELECT OID FROM CodiciIva WHERE Codice='IVA20') FROM n");
  const int sales = rows / kRowsPerSale;
  c.Execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<" +
            std::to_string(sales) +
            ") INSERT INTO Vendite (Numero, AnnoRiferimento, Data, OID_Listino) SELECT i, 2026, "
            "'2026-01-01 00:00:00', (SELECT OID FROM Listini WHERE Descrizione='< BASE >') FROM n");
  c.Execute("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i<" +
            std::to_string(rows - 1) +
            ") INSERT INTO DettagliVendite (Codice, Descrizione, OID_Articoli, QuantitàScarico, "
            "Importo, OIDOwner_Vendite_Dettagli) SELECT printf('A%06d', 1 + i % " +
            std::to_string(articles) + "), 'riga', 1 + i % " + std::to_string(articles) +
            ", 1, 10000, 1 + i / " + std::to_string(kRowsPerSale) + " FROM n");
  c.Execute("COMMIT");
}

// One scan through the engine: a new row of the sale, the article by its code, quantity 1.
double OursOnce(engine::Connection& c, int64_t sale, const std::string& code) {
  const auto t0 = Clock::now();
  const bool ok = c.RunAction([&] {
    auto doc = c.GetRow("Vendite", sale);
    if (!doc) return false;
    auto row = doc->AddListRow("Dettagli", /*held=*/true);
    return row && row->Set("Codice", Variant::String(code)) &&
           row->Set("QuantitàScarico", Variant::Double(1)) && row->Save();
  });
  const double us = Us(Clock::now() - t0);
  if (!ok) {
    std::fprintf(stderr, "scan refused for %s\n", code.c_str());
    std::exit(1);
  }
  return us;
}

// The same stored result with the fewest statements: the row with the article's copies and its
// amounts, the sale's totals, the article's counters.
struct Raw {
  sqlite3* db = nullptr;
  sqlite3_stmt *insert = nullptr, *sale = nullptr, *article = nullptr;
  explicit Raw(const std::string& path) {
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_prepare_v2(
        db,
        "INSERT INTO DettagliVendite (Codice, Descrizione, OID_Articoli, OID_IVA, PrezzoVendita, "
        "QuantitàScarico, PrezzoUnitario, PercentualeSconto, ImportoListino, Importo, ImportoIVA, "
        "ImportoFinale, PrezzoUnitarioFinale, OIDOwner_Vendite_Dettagli, DataUltimaVendita) "
        "SELECT Codice, Descrizione, OID, OID_IVA, PrezzoVendita, 1, PrezzoVendita, 0, "
        "PrezzoVendita, PrezzoVendita, PrezzoVendita / 5, PrezzoVendita * 6 / 5, "
        "PrezzoVendita * 6 / 5, ?1, '2026-12-06 00:00:00' FROM Articoli WHERE OID=?2",
        -1, &insert, nullptr);
    sqlite3_prepare_v2(db,
                       "UPDATE Vendite SET ImportoTotale=ImportoTotale+?2, "
                       "ImportoTotaleIVA=ImportoTotaleIVA+?2/5 WHERE OID=?1",
                       -1, &sale, nullptr);
    sqlite3_prepare_v2(db,
                       "UPDATE Articoli SET Quantità=Quantità-1, "
                       "QuantitàTotaleScarichi=QuantitàTotaleScarichi+1, "
                       "ImportoTotaleVendite=ImportoTotaleVendite+PrezzoVendita, "
                       "QuantitàFinale=QuantitàFinale-1 WHERE OID=?1 RETURNING PrezzoVendita",
                       -1, &article, nullptr);
  }
  ~Raw() {
    sqlite3_finalize(insert);
    sqlite3_finalize(sale);
    sqlite3_finalize(article);
    sqlite3_close(db);
  }
  double Once(int64_t saleOid, int64_t articleOid) {
    const auto t0 = Clock::now();
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    sqlite3_bind_int64(insert, 1, saleOid);
    sqlite3_bind_int64(insert, 2, articleOid);
    sqlite3_step(insert);
    sqlite3_reset(insert);
    sqlite3_bind_int64(article, 1, articleOid);
    sqlite3_step(article);
    const int64_t price = sqlite3_column_int64(article, 0);
    sqlite3_reset(article);
    sqlite3_bind_int64(sale, 1, saleOid);
    sqlite3_bind_int64(sale, 2, price);
    sqlite3_step(sale);
    sqlite3_reset(sale);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    return Us(Clock::now() - t0);
  }
};

}  // namespace

int main(int argc, char** argv) {
  const int articles = argc > 1 ? std::atoi(argv[1]) : 100000;
  const int rows = argc > 2 ? std::atoi(argv[2]) : 1000000;
  const int scans = argc > 3 ? std::atoi(argv[3]) : 400;
  const fs::path dir = fs::temp_directory_path() / "tillbook_scan_bench";
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string path = (dir / "Tillbook.mdb").string();
  try {
    BuildArchive(path, articles, rows);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pick(1, articles);
    std::uniform_int_distribution<int> pickSale(1, rows / kRowsPerSale);
    std::vector<double> ours, raw;
    {
      engine::Connection c;
      c.Open(path);
      engine::Database db(std::make_unique<data::DB>(), "tillbook");
      db.Attach(c);
      char code[16];
      for (int i = 0; i < scans; ++i) {
        std::snprintf(code, sizeof code, "A%06d", pick(random));
        ours.push_back(OursOnce(c, pickSale(random), code));
      }
    }
    {
      Raw r(path);
      for (int i = 0; i < scans; ++i) raw.push_back(r.Once(pickSale(random), pick(random)));
    }
    const double p50 = Percentile(ours, 0.5), rawP50 = Percentile(raw, 0.5);
    std::printf(
        "scan (one sale row with its hooks, %d articles, %d sale rows): ours p50 %.0f us p99 %.0f "
        "us, raw SQL p50 %.0f us p99 %.0f us, ratio %.2f\n",
        articles, rows, p50, Percentile(ours, 0.99), rawP50, Percentile(raw, 0.99), p50 / rawP50);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "scan_bench: %s\n", e.what());
    return 1;
  }
  fs::remove_all(dir);
  return 0;
}
