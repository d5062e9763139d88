// Brings SQL tables in step with the compiled definitions: creates missing tables, columns,
// indexes, owner links and list tables. Never drops anything: data of removed fields stays.
#pragma once

#include "engine/catalog.h"
#include "engine/internal/sqlite.h"

namespace tillbook::engine::internal {

// Creates or extends the storage of one table. Returns true when its own SQL table was created.
bool UpdateStorage(SqliteDb& db, const TableInfo& table);
bool SqlTableExists(SqliteDb& db, std::string_view name);

}  // namespace tillbook::engine::internal
