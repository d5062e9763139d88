#include "engine/database.h"

#include "base/error.h"
#include "engine/catalog.h"
#include "engine/connection.h"
#include "engine/internal/action.h"
#include "engine/internal/schema.h"
#include "engine/internal/session.h"

namespace tillbook::engine {

using internal::RunLevel;
using internal::Statement;
using internal::StatementUse;

Database::Database(std::unique_ptr<itfDefDatabase> definition, std::string programName)
    : definition_(std::move(definition)), programName_(std::move(programName)) {}

Database::~Database() = default;

const Catalog& Database::catalog() const {
  if (!catalog_) throw Error("Il database non è ancora stato definito.", "no Attach yet");
  return *catalog_;
}

double Database::StoredVersion(Connection& connection, std::string_view table) {
  auto& s = connection.session();
  Statement& st = s.db().Cached("SELECT \"Version\" FROM \"Sys_Tables\" WHERE \"Name\"=?");
  StatementUse use(st);
  st.BindText(1, table);
  return st.Step() ? st.Real(0) : 0.0;
}

void Database::Attach(Connection& connection, bool structureChanged, itfProgress* progress) {
  DatabaseDef defs;
  definition_->itfDefDatabase_Define(defs);
  auto catalog = std::make_shared<const Catalog>(defs);
  auto& s = connection.session();
  if (s.InAction()) throw Error("Impossibile aggiornare la struttura durante un'operazione.", "Attach");
  s.DropCache();
  connection.SetCatalog(catalog);
  catalog_ = catalog;
  const auto& tables = catalog->tables();
  if (progress) progress->itfProgress_OnStart("Aggiornamento struttura del database...",
                                              static_cast<int>(tables.size()));
  try {
    RunLevel(s, [&] {
      s.EnsureSqlOpen();
      struct Work {
        const TableInfo* table;
        double stored;
        bool created;
      };
      std::vector<Work> work;
      for (const auto& t : tables) {
        const double stored = StoredVersion(connection, t->name);
        const bool created = internal::UpdateStorage(s.db(), *t);
        work.push_back({t.get(), created ? 0.0 : stored, created});
      }
      int done = 0;
      for (const Work& w : work) {
        if (progress) {
          progress->itfProgress_OnProgress(++done, w.table->name);
          if (progress->itfProgress_OnStopped())
            throw Error("Aggiornamento della struttura interrotto.", "stopped");
        }
        if (!w.created && w.stored == w.table->def->Version && !structureChanged) continue;
        Table handle(connection, *w.table);
        w.table->hooks->itfSetData_OnUpdatedTableStruct(handle, connection, w.stored, w.created);
        s.Flush();
        Statement& up = s.db().Cached(
            "INSERT INTO \"Sys_Tables\" (\"Name\",\"Version\") VALUES (?,?) "
            "ON CONFLICT(\"Name\") DO UPDATE SET \"Version\"=excluded.\"Version\"");
        StatementUse use(up);
        up.BindText(1, w.table->name);
        up.Bind(2, Variant::Double(w.table->def->Version));
        up.Run();
      }
      return true;
    });
  } catch (...) {
    if (progress) progress->itfProgress_OnEnd();
    throw;
  }
  if (progress) progress->itfProgress_OnEnd();
}

Variant Database::GetSystemValue(Connection& connection, std::string_view key,
                                 const Variant& fallback) {
  auto& s = connection.session();
  Statement& st = s.db().Cached("SELECT \"Value\" FROM \"Sys_Values\" WHERE \"Key\"=?");
  StatementUse use(st);
  st.BindText(1, key);
  if (!st.Step() || st.IsNull(0)) return fallback;
  return Variant::String(st.Text(0));
}

std::string Database::GetSystemCaption(Connection& connection, std::string_view key) {
  auto& s = connection.session();
  Statement& st = s.db().Cached("SELECT \"Caption\" FROM \"Sys_Values\" WHERE \"Key\"=?");
  StatementUse use(st);
  st.BindText(1, key);
  return st.Step() ? st.Text(0) : std::string();
}

void Database::SetSystemValue(Connection& connection, std::string_view key,
                              std::string_view caption, const Variant& value) {
  auto& s = connection.session();
  RunLevel(s, [&] {
    s.EnsureSqlOpen();
    Statement& st = s.db().Cached(
        "INSERT INTO \"Sys_Values\" (\"Key\",\"Caption\",\"Value\") VALUES (?,?,?) "
        "ON CONFLICT(\"Key\") DO UPDATE SET \"Caption\"=excluded.\"Caption\", "
        "\"Value\"=excluded.\"Value\"");
    StatementUse use(st);
    st.BindText(1, key);
    st.BindText(2, caption);
    if (value.IsNull() || value.IsEmpty())
      st.BindNull(3);
    else
      st.BindText(3, value.ToText());
    st.Run();
    return true;
  });
}

}  // namespace tillbook::engine
