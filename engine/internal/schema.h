// Brings SQL tables in step with the compiled definitions: creates missing tables, columns,
// indexes, owner links and list tables. Never drops anything: data of removed fields stays.
#pragma once

#include "engine/catalog.h"
#include "engine/internal/sqlite.h"

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tillbook::engine::internal {

// What the archive's storage holds, read at once: its tables with their columns and its
// indexes, names folded.
struct StoredSchema {
  std::map<std::string, std::set<std::string, std::less<>>, std::less<>> tables;
  std::set<std::string, std::less<>> indexes;
  static StoredSchema Read(SqliteDb& db);
  bool HasTable(std::string_view name) const;
  bool HasIndex(std::string_view name) const;
};

// What the storage of one table lacks: the statements that add it, and whether its own SQL
// table is among them.
struct StoragePlan {
  bool createsTable = false;
  std::vector<std::string> statements;
  bool empty() const { return statements.empty(); }
};
StoragePlan PlanStorage(const StoredSchema& stored, const TableInfo& table);

// Creates or extends the storage of one table, `stored` being the storage before any table was
// updated. Returns true when its own SQL table was created.
bool UpdateStorage(SqliteDb& db, const StoredSchema& stored, const TableInfo& table);

}  // namespace tillbook::engine::internal
