// An in-memory SQLite archive laid out from a catalogue the way the record engine stores
// tables, with the collations and functions the translator's SQL needs, and helpers to seed
// rows and run translations. Test support only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/variant.h"
#include "engine/jet/memory_catalog.h"
#include "engine/jet/translator.h"

struct sqlite3;

namespace tillbook::jet::testing {

using Row = std::vector<std::string>;

class TestDatabase {
 public:
  // Creates every table of `catalog`.
  explicit TestDatabase(const MemoryCatalog& catalog);
  ~TestDatabase();
  TestDatabase(const TestDatabase&) = delete;
  TestDatabase& operator=(const TestDatabase&) = delete;

  sqlite3* db() const { return db_; }
  void Exec(const std::string& sql);

  // One row of `table` with the given OID. Columns are field names, "OID_"+reference links and
  // owner columns; each goes to the SQL table that stores it.
  void Insert(std::string_view table, int64_t oid,
              const std::vector<std::pair<std::string, Variant>>& values);
  // An item of a list that is not owned.
  void Link(std::string_view declaringTable, std::string_view reference, int64_t ownerOid,
            int64_t itemOid);

  // Rows as text (numbers as SQLite prints them, "NULL" for null).
  std::vector<Row> Run(const std::string& sql, const std::vector<Variant>& params) const;
  std::vector<Row> Rows(const Translation& t) const { return Run(t.sql, t.params); }
  int64_t Count(const Translation& t) const;
  // Column `name` of every row of the result.
  std::vector<std::string> Column(const Translation& t, std::string_view name) const;
  // Number of SQL tables, to check that nothing was created or dropped.
  int64_t TableCount() const;

 private:
  const Catalog& catalog_;
  sqlite3* db_ = nullptr;
};

// The CREATE TABLE statements for every table of `catalog`.
std::vector<std::string> SchemaStatements(const Catalog& catalog,
                                          const std::vector<const TableInfo*>& tables);

}  // namespace tillbook::jet::testing
