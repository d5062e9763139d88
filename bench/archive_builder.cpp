#include "bench/archive_builder.h"

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

}  // namespace tillbook::bench
