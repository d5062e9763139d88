#include "bench/archive_builder.h"

#include <sqlite3.h>

#include <chrono>
#include <cstdlib>
#include <memory>

#include "base/variant.h"
#include "data/DB.h"
#include "engine/connection.h"
#include "engine/database.h"

namespace tillbook::bench {

void BuildArchive(const std::string& path, int articles, int rows) {
  {
    engine::Connection c;
    c.BeginCreate(path);
    engine::Database db(std::make_unique<data::DB>(), "tillbook");
    db.Attach(c);
    engine::Database::SetSystemValue(c, "SYS_Name", "NOME", Variant::String("Bottega"));
    c.FinishCreate();
  }
  engine::Connection c;
  c.Open(path);
  c.Execute("BEGIN");
  const std::string a = "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<" +
                        std::to_string(articles) +
                        ") INSERT INTO Articoli (Codice, Descrizione) SELECT printf('A%06d', i), "
                        "printf('Articolo numero %d', i) FROM n";
  c.Execute(a);
  const std::string d =
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<" +
      std::to_string(rows) +
      ") INSERT INTO DettagliVendite (Codice, Descrizione) SELECT printf('A%06d', i % " +
      std::to_string(articles) + "), printf('Articolo numero %d', i) FROM n";
  c.Execute(d);
  c.Execute("COMMIT");
}

double RawOpenOnce(const std::string& path) {
  const auto t0 = std::chrono::steady_clock::now();
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "SELECT OID, Nome FROM Operatori ORDER BY OID", -1, &st, nullptr);
  int n = 0;
  while (sqlite3_step(st) == SQLITE_ROW) n += sqlite3_column_bytes(st, 1) > 0;
  sqlite3_finalize(st);
  sqlite3_close(db);
  const double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
  if (n == 0) std::exit(1);
  return ms;
}

}  // namespace tillbook::bench
