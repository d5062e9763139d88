#include "engine/database.h"

#include <unordered_map>

#include "base/error.h"
#include "base/text.h"
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

namespace {

using StoredVersions = std::unordered_map<std::string, double, text::NoCaseHash, text::NoCaseEqual>;

StoredVersions ReadStoredVersions(Connection& connection) {
  StoredVersions versions;
  Statement& st =
      connection.session().db().Cached("SELECT \"Name\",\"Version\" FROM \"Sys_Tables\"");
  StatementUse use(st);
  while (st.Step()) versions[st.Text(0)] = st.Real(1);
  return versions;
}

double VersionOf(const StoredVersions& versions, const std::string& table) {
  auto it = versions.find(table);
  return it == versions.end() ? 0.0 : it->second;
}

std::string VersionText(double v) { return Variant::Double(v).ToText(); }

// Another workstation running a newer program upgraded a table: writing this program's older
// version back, or changing the table to the older shape, would undo its upgrade.
void RefuseNewer(const Catalog& catalog, const StoredVersions& versions) {
  for (const auto& t : catalog.tables()) {
    const double stored = VersionOf(versions, t->name);
    if (stored > t->def->Version)
      throw Error("L'archivio è stato creato da una versione più recente del programma (tabella «" +
                      t->name + "» alla versione " + VersionText(stored) +
                      ", questo programma arriva alla " + VersionText(t->def->Version) +
                      "): aggiornare il programma prima di usare l'archivio.",
                  "stored version " + std::to_string(stored) + " of " + t->name +
                      " is newer than " + std::to_string(t->def->Version));
  }
}

// The first table whose storage or version is behind the definitions; null when all are in step.
const TableInfo* FirstBehind(Connection& connection, const Catalog& catalog,
                             const StoredVersions& versions) {
  const auto stored = internal::StoredSchema::Read(connection.session().db());
  for (const auto& t : catalog.tables())
    if (VersionOf(versions, t->name) != t->def->Version ||
        !internal::PlanStorage(stored, *t).empty())
      return t.get();
  return nullptr;
}

}  // namespace

void Database::Attach(Connection& connection, bool structureChanged, itfProgress* progress) {
  DatabaseDef defs;
  definition_->itfDefDatabase_Define(defs);
  auto catalog = std::make_shared<const Catalog>(defs);
  auto& s = connection.session();
  if (s.InAction())
    throw Error("Impossibile aggiornare la struttura durante un'operazione.", "Attach");
  s.DropCache();
  connection.SetCatalog(catalog);
  catalog_ = catalog;
  const auto& tables = catalog->tables();
  // A look before the write lock: an archive in step with the definitions is never written.
  {
    const StoredVersions versions = ReadStoredVersions(connection);
    RefuseNewer(*catalog, versions);
    const TableInfo* behind = FirstBehind(connection, *catalog, versions);
    if (!behind && !structureChanged) return;
    if (connection.readOnly())
      throw ArchiveNeedsUpdate(
          "L'archivio è di una versione precedente del programma e va aggiornato, ma è aperto in "
          "sola lettura.",
          "structure behind the definitions at " + (behind ? behind->name : std::string("?")));
  }
  if (progress)
    progress->itfProgress_OnStart("Aggiornamento struttura del database...",
                                  static_cast<int>(tables.size()));
  try {
    RunLevel(s, [&] {
      s.EnsureSqlOpen();
      // Under the write lock, again: another workstation may have upgraded meanwhile.
      const StoredVersions versions = ReadStoredVersions(connection);
      RefuseNewer(*catalog, versions);
      struct Work {
        const TableInfo* table;
        double stored;
        bool created;
      };
      std::vector<Work> work;
      const auto storage = internal::StoredSchema::Read(s.db());
      for (const auto& t : tables) {
        const double stored = VersionOf(versions, t->name);
        const bool created = internal::UpdateStorage(s.db(), storage, *t);
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
