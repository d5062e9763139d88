// Brings SQL tables in step with the compiled definitions: creates missing tables, columns,
// indexes, owner links and list tables. Never drops anything: data of removed fields stays.
#pragma once

#include "engine/catalog.h"
#include "engine/internal/sqlite.h"

#include <string>
#include <vector>

namespace tillbook::engine::internal {

// What the storage of one table lacks: the statements that add it, and whether its own SQL
// table is among them. Reads only.
struct StoragePlan {
  bool createsTable = false;
  std::vector<std::string> statements;
  bool empty() const { return statements.empty(); }
};
StoragePlan PlanStorage(SqliteDb& db, const TableInfo& table);

// Creates or extends the storage of one table. Returns true when its own SQL table was created.
bool UpdateStorage(SqliteDb& db, const TableInfo& table);
bool SqlTableExists(SqliteDb& db, std::string_view name);

}  // namespace tillbook::engine::internal
