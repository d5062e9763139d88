// Engine benchmark: the record engine against the same writes by raw prepared SQLite statements,
// in the same run on the same machine. Prints one line per comparison ending in "ratio R"
// (engine time / raw time).
//   (a) 100,000 rows added in one action;
//   (b) the "scan" action of a sale: find the article by code, add a detail row copying it,
//       whose hooks lower the article's stock and raise the document's total; one committed
//       transaction per action, on an archive of 100,000 articles and 1,000,000 detail rows.
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "base/error.h"
#include "engine/catalog.h"
#include "engine/connection.h"
#include "engine/database.h"
#include "engine/internal/session.h"
#include "engine/internal/sqlite.h"
#include "engine/test/test_tables.h"

namespace fs = std::filesystem;
using namespace tillbook;
using namespace tillbook::engine;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct Archive {
  explicit Archive(const std::string& path, bool create) {
    if (create) conn.Create(path); else conn.Open(path);
    db = std::make_unique<Database>(test::MakeTestDatabase(), "Tillbook");
    db->Attach(conn);
  }
  Connection conn;
  std::unique_ptr<Database> db;
};

std::string Code(int i) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "A%06d", i);
  return buf;
}

// (a) -----------------------------------------------------------------------------------------
void BenchInserts(const fs::path& dir, int n) {
  double engineMs, rawMs;
  {
    Archive a((dir / "a-engine.mdb").string(), true);
    auto t0 = Clock::now();
    a.conn.RunAction([&] {
      for (int i = 0; i < n; ++i)
        a.conn.AddRow("TArticoli", {{"Codice", Variant::String(Code(i))},
                                    {"Descrizione", Variant::String("Articolo " + Code(i))},
                                    {"PrezzoVendita", Variant::Currency(Money::FromRaw(12345 + i))},
                                    {"Quantità", Variant::Double(i % 50)}});
      return true;
    });
    engineMs = Ms(Clock::now() - t0);
  }
  {
    Archive a((dir / "a-raw.mdb").string(), true);  // same schema, written around the engine
    auto& db = a.conn.session().db();
    auto t0 = Clock::now();
    db.Exec("BEGIN IMMEDIATE");
    internal::Statement s(db.handle(),
                          "INSERT INTO \"TArticoli\" (\"Codice\",\"Descrizione\",\"PrezzoVendita\","
                          "\"Quantità\",\"DataInserimento\",\"Note\") VALUES (?,?,?,?,NULL,NULL)");
    for (int i = 0; i < n; ++i) {
      s.BindText(1, Code(i));
      s.BindText(2, "Articolo " + Code(i));
      s.BindInt(3, 12345 + i);
      s.Bind(4, Variant::Double(i % 50));
      s.Run();
      s.Reset();
    }
    db.Exec("COMMIT");
    rawMs = Ms(Clock::now() - t0);
  }
  std::printf("(a) %d rows added in one action: engine %.0f ms, raw SQL %.0f ms, ratio %.2f\n", n,
              engineMs, rawMs, engineMs / rawMs);
}

// (b) -----------------------------------------------------------------------------------------
constexpr int kArticles = 100000, kDocuments = 10000, kRowsPerDocument = 100;

// Fills the archive by raw SQL: building a million rows through hooks would only time the setup.
void Seed(const std::string& path) {
  Archive a(path, true);
  auto& db = a.conn.session().db();
  db.Exec("BEGIN IMMEDIATE");
  internal::Statement art(db.handle(),
                          "INSERT INTO \"TArticoli\" (\"Codice\",\"Descrizione\",\"PrezzoVendita\","
                          "\"Quantità\") VALUES (?,?,?,1000)");
  for (int i = 0; i < kArticles; ++i) {
    art.BindText(1, Code(i));
    art.BindText(2, "Articolo " + Code(i));
    art.BindInt(3, 10000 + (i % 997) * 100);
    art.Run();
    art.Reset();
  }
  internal::Statement doc(db.handle(), "INSERT INTO \"TDocumenti\" (\"Numero\",\"ImportoTotale\") VALUES (?,0)");
  for (int i = 1; i <= kDocuments; ++i) {
    doc.BindInt(1, i);
    doc.Run();
    doc.Reset();
  }
  internal::Statement row(db.handle(),
                          "INSERT INTO \"TDettagli\" (\"Codice\",\"Descrizione\",\"PrezzoVendita\","
                          "\"Quantità\",\"OID_TArticoli\",\"QuantitàScarico\",\"PrezzoUnitario\","
                          "\"Importo\",\"Riferimento\",\"OIDOwner_TDocumenti_Dettagli\") "
                          "VALUES (?,?,?,0,?,1,?,?,'',?)");
  std::mt19937 rng(7);
  for (int d = 1; d <= kDocuments; ++d)
    for (int k = 0; k < kRowsPerDocument; ++k) {
      int i = static_cast<int>(rng() % kArticles);
      row.BindText(1, Code(i));
      row.BindText(2, "Articolo " + Code(i));
      row.BindInt(3, 10000);
      row.BindInt(4, i + 2);  // row id of article i (the placeholder article is row 1)
      row.BindInt(5, 10000);
      row.BindInt(6, 10000);
      row.BindInt(7, d);
      row.Run();
      row.Reset();
    }
  db.Exec("COMMIT");
}

double Percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  return v[static_cast<size_t>(p * (v.size() - 1))];
}

void BenchScan(const fs::path& dir, int actions) {
  const std::string enginePath = (dir / "b-engine.mdb").string();
  const std::string rawPath = (dir / "b-raw.mdb").string();
  Seed(enginePath);
  fs::copy_file(enginePath, rawPath);

  Archive e(enginePath, false);
  auto doc = e.conn.GetRow("TDocumenti", 1);  // the editor keeps its document open

  Archive r(rawPath, false);
  auto& raw = r.conn.session().db();
  internal::Statement find(raw.handle(),
                           "SELECT \"OID\",\"Codice\",\"Descrizione\",\"PrezzoVendita\",\"Quantità\","
                           "\"DataInserimento\",\"Note\" FROM \"TArticoli\" WHERE \"Codice\"=?");
  internal::Statement insert(raw.handle(),
                             "INSERT INTO \"TDettagli\" (\"Codice\",\"Descrizione\",\"PrezzoVendita\","
                             "\"Quantità\",\"DataInserimento\",\"Note\",\"OID_TArticoli\","
                             "\"QuantitàScarico\",\"PrezzoUnitario\",\"Importo\",\"Riferimento\","
                             "\"OIDOwner_TDocumenti_Dettagli\") VALUES (?,?,?,?,?,?,?,1,?,?,'',1)");
  internal::Statement stock(raw.handle(),
                            "UPDATE \"TArticoli\" SET \"Quantità\"=\"Quantità\"-1 WHERE \"OID\"=?");
  internal::Statement total(raw.handle(),
                            "UPDATE \"TDocumenti\" SET \"ImportoTotale\"=\"ImportoTotale\"+? WHERE \"OID\"=1");

  std::vector<double> engineMs, rawMs;
  std::mt19937 rng(11);
  for (int k = 0; k < actions; ++k) {
    const std::string code = Code(static_cast<int>(rng() % kArticles));
    auto t0 = Clock::now();
    e.conn.RunAction([&] {
      auto ids = e.conn.FindOids("TArticoli", "Codice", Variant::String(code));
      auto article = e.conn.GetRow("TArticoli", ids.at(0));
      auto row = doc->AddListRowFrom("Dettagli", *article);
      return row && row->Set("QuantitàScarico", Variant::Double(1));
    });
    auto t1 = Clock::now();
    raw.Exec("BEGIN IMMEDIATE");
    find.BindText(1, code);
    find.Step();
    const int64_t oid = find.Int(0);
    const int64_t price = find.Int(3);
    for (int c = 1; c <= 6; ++c) insert.Bind(c, find.Value(c));
    find.Reset();
    insert.BindInt(7, oid);
    insert.BindInt(8, price);
    insert.BindInt(9, price);
    insert.Run();
    insert.Reset();
    stock.BindInt(1, oid);
    stock.Run();
    stock.Reset();
    total.BindInt(1, price);
    total.Run();
    total.Reset();
    raw.Exec("COMMIT");
    auto t2 = Clock::now();
    engineMs.push_back(Ms(t1 - t0));
    rawMs.push_back(Ms(t2 - t1));
  }
  for (double p : {0.50, 0.99}) {
    const double em = Percentile(engineMs, p), rm = Percentile(rawMs, p);
    std::printf("(b) scan action p%.0f over %d articles and %d detail rows, %d actions: "
                "engine %.3f ms, raw SQL %.3f ms, ratio %.2f\n",
                p * 100, kArticles, kDocuments * kRowsPerDocument, actions, em, rm, em / rm);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path dir = fs::temp_directory_path() / ("tillbook-bench-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  int status = 0;
  try {
    // Arguments: nothing for both; "a" for the inserts only; "b [N]" for the scan only.
    const std::string only = argc > 1 ? argv[1] : "";
    if (only != "b") BenchInserts(dir, 100000);
    if (only != "a") BenchScan(dir, argc > 2 ? std::atoi(argv[2]) : 5000);
  } catch (const Error& e) {
    std::fprintf(stderr, "%s (%s)\n", e.message().c_str(), e.detail().c_str());
    status = 1;
  }
  fs::remove_all(dir);
  return status;
}
