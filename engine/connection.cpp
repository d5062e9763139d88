#include "engine/connection.h"

#include <filesystem>

#include "base/error.h"
#include "base/text.h"
#include "engine/catalog.h"
#include "engine/internal/action.h"
#include "engine/internal/session.h"
#include "engine/ui_services.h"

namespace tillbook::engine {

using internal::Quote;
using internal::RunLevel;
using internal::Statement;
using internal::StatementUse;

namespace {

// Without a person to ask, refusals go unseen and questions take their first button.
class SilentUi : public ScriptedUi {};

std::vector<std::string> ColumnsOf(internal::SqliteDb& db, std::string_view table) {
  std::vector<std::string> cols;
  Statement s(db.handle(), "SELECT name FROM pragma_table_info(?)");
  s.BindText(1, table);
  while (s.Step()) cols.push_back(s.Text(0));
  return cols;
}

std::vector<std::string> AllTables(internal::SqliteDb& db) {
  std::vector<std::string> names;
  Statement s(db.handle(), "SELECT name FROM sqlite_master WHERE type='table'");
  while (s.Step()) names.push_back(s.Text(0));
  return names;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && text::EqualNoCase(s.substr(0, prefix.size()), prefix);
}

}  // namespace

Connection::Connection(UiServices* ui) : ui_(ui) {
  if (!ui_) {
    silentUi_ = std::make_unique<SilentUi>();
    ui_ = silentUi_.get();
  }
}

Connection::~Connection() = default;

void Connection::Create(const std::string& path) {
  if (std::filesystem::exists(path))
    throw Error("L'archivio " + path + " esiste già.", "Create on an existing file");
  Close();
  session_ = std::make_unique<internal::Session>(std::make_unique<internal::SqliteDb>(path, true),
                                                 ui_);
  session_->SetConnection(this);
  path_ = path;
  session_->db().Exec(
      "CREATE TABLE IF NOT EXISTS \"Sys_Tables\" (\"Name\" TEXT PRIMARY KEY COLLATE JET_CI, "
      "\"Version\" REAL NOT NULL);"
      "CREATE TABLE IF NOT EXISTS \"Sys_Values\" (\"Key\" TEXT PRIMARY KEY COLLATE JET_CI, "
      "\"Caption\" TEXT, \"Value\" TEXT);");
}

void Connection::Open(const std::string& path) {
  if (!std::filesystem::exists(path))
    throw Error("L'archivio " + path + " non esiste.", "Open of a missing file");
  Close();
  auto db = std::make_unique<internal::SqliteDb>(path, false);
  auto tables = AllTables(*db);
  bool ok = false;
  for (auto& t : tables) ok = ok || t == "Sys_Tables";
  if (!ok) throw Error("Il file " + path + " non è un archivio del programma.", "no Sys_Tables");
  session_ = std::make_unique<internal::Session>(std::move(db), ui_);
  session_->SetConnection(this);
  path_ = path;
  if (catalog_) session_->SetCatalog(catalog_);
}

void Connection::Close() {
  session_.reset();
  path_.clear();
}

internal::Session& Connection::session() {
  if (!session_) throw Error("L'archivio non è aperto.", "no open connection");
  return *session_;
}

UiServices& Connection::ui() { return *ui_; }

void Connection::SetUi(UiServices* ui) {
  if (!ui) {
    if (!silentUi_) silentUi_ = std::make_unique<SilentUi>();
    ui = silentUi_.get();
  }
  ui_ = ui;
  if (session_) session_->SetUi(ui_);
}

void Connection::SetCatalog(std::shared_ptr<const Catalog> catalog) {
  catalog_ = std::move(catalog);
  session().SetCatalog(catalog_);
}

const Catalog& Connection::catalog() const {
  if (!catalog_) throw Error("Nessuna definizione collegata all'archivio.", "no catalog");
  return *catalog_;
}

const TableInfo& Connection::Table(std::string_view name) const {
  const TableInfo* t = catalog().Find(name);
  if (!t) throw Error("Tabella sconosciuta: " + std::string(name) + ".", "unknown table");
  return *t;
}

void Connection::Execute(std::string_view sql) {
  auto& s = session();
  s.Flush();
  s.EnsureSqlOpen();
  s.db().Exec(sql);
  s.MarkAllStale();
}

bool Connection::TableExists(std::string_view name) {
  Statement s(session().db().handle(),
              "SELECT 1 FROM sqlite_master WHERE type='table' AND name=? COLLATE NOCASE");
  s.BindText(1, name);
  return s.Step();
}

void Connection::RenameTable(std::string_view oldName, std::string_view newName) {
  auto& s = session();
  if (!TableExists(oldName))
    throw Error("La tabella " + std::string(oldName) + " non esiste.", "RenameTable");
  if (TableExists(newName))
    throw Error("La tabella " + std::string(newName) + " esiste già.", "RenameTable");
  RunLevel(s, [&] {
    s.EnsureSqlOpen();
    auto& db = s.db();
    db.Exec("ALTER TABLE " + Quote(oldName) + " RENAME TO " + Quote(newName));
    const std::string ownerPrefix = "OIDOwner_" + std::string(oldName) + "_";
    const std::string listPrefix = "Lst_" + std::string(oldName) + "_";
    const std::string baseLink = "OID_" + std::string(oldName);
    for (const std::string& table : AllTables(db)) {
      if (StartsWithNoCase(table, listPrefix))
        db.Exec("ALTER TABLE " + Quote(table) + " RENAME TO " +
                Quote("Lst_" + std::string(newName) + "_" + table.substr(listPrefix.size())));
    }
    for (const std::string& table : AllTables(db)) {
      for (const std::string& col : ColumnsOf(db, table)) {
        std::string renamed;
        if (StartsWithNoCase(col, ownerPrefix))
          renamed = "OIDOwner_" + std::string(newName) + "_" + col.substr(ownerPrefix.size());
        else if (text::EqualNoCase(col, baseLink) && !TableExists(col.substr(4)))
          renamed = "OID_" + std::string(newName);
        if (!renamed.empty())
          db.Exec("ALTER TABLE " + Quote(table) + " RENAME COLUMN " + Quote(col) + " TO " +
                  Quote(renamed));
      }
    }
    Statement up(db.handle(), "UPDATE \"Sys_Tables\" SET \"Name\"=? WHERE \"Name\"=?");
    up.BindText(1, newName);
    up.BindText(2, oldName);
    up.Run();
    return true;
  });
  s.DropCache();
}

void Connection::RenameReference(std::string_view table, std::string_view oldName,
                                 std::string_view newName) {
  auto& s = session();
  RunLevel(s, [&] {
    s.EnsureSqlOpen();
    auto& db = s.db();
    const std::string t(table), o(oldName), n(newName);
    for (const std::string& c : ColumnsOf(db, t))
      if (text::EqualNoCase(c, "OID_" + o))
        db.Exec("ALTER TABLE " + Quote(t) + " RENAME COLUMN " + Quote(c) + " TO " +
                Quote("OID_" + n));
    const std::string owner = "OIDOwner_" + t + "_" + o;
    for (const std::string& other : AllTables(db)) {
      if (text::EqualNoCase(other, "Lst_" + t + "_" + o))
        db.Exec("ALTER TABLE " + Quote(other) + " RENAME TO " + Quote("Lst_" + t + "_" + n));
      for (const std::string& c : ColumnsOf(db, other))
        if (text::EqualNoCase(c, owner))
          db.Exec("ALTER TABLE " + Quote(other) + " RENAME COLUMN " + Quote(c) + " TO " +
                  Quote("OIDOwner_" + t + "_" + n));
    }
    return true;
  });
  s.DropCache();
}

std::optional<Row> Connection::NewRow(std::string_view table) { return AddRow(table, {}); }

std::optional<Row> Connection::AddRow(std::string_view table, const FieldValues& values) {
  const TableInfo& t = Table(table);
  auto& s = session();
  std::optional<Row> made;
  bool ok = RunLevel(s, [&] {
    Row row(s, s.NewRowState(t));
    ++row.state().creating;
    struct Done {
      Row& r;
      ~Done() { --r.state().creating; }
    } done{row};
    HookReply reply(s.ui());
    t.hooks->itfSetData_OnNewRow(row, reply);
    if (reply.cancelled()) return false;
    for (const auto& [field, value] : values)
      if (!row.Set(field, value)) return false;
    made = row;
    return true;
  });
  return ok ? made : std::nullopt;
}

std::optional<Row> Connection::GetRow(std::string_view table, int64_t oid) {
  auto st = session().LoadRow(Table(table), oid);
  if (!st) return std::nullopt;
  return Row(session(), std::move(st));
}

std::vector<int64_t> Connection::FindOids(std::string_view table, std::string_view field,
                                          const Variant& value) {
  const TableInfo& t = Table(table);
  ColumnRef c = t.FindColumn(field);
  if (!c.valid())
    throw Error("Campo sconosciuto «" + std::string(field) + "» nella tabella " + t.name + ".",
                "FindOids");
  auto& s = session();
  s.Flush();
  const ColumnInfo& col = t.Column(c);
  Statement& st = s.db().Cached("SELECT \"OID\" FROM " + Quote(t.segments[c.segment]->table) +
                                " WHERE " + Quote(col.name) + "=? ORDER BY \"OID\"");
  StatementUse use(st);
  st.Bind(1, CoerceToField(col, value));
  std::vector<int64_t> out;
  while (st.Step()) out.push_back(st.Int(0));
  // A base segment holds rows of every derived table: keep those this table has.
  if (c.segment + 1 < static_cast<int>(t.segments.size()))
    std::erase_if(out, [&](int64_t oid) { return !s.LoadRow(t, oid); });
  return out;
}

int64_t Connection::Count(std::string_view table) {
  const TableInfo& t = Table(table);
  auto& s = session();
  s.Flush();
  Statement& st = s.db().Cached("SELECT COUNT(*) FROM " + Quote(t.own->table));
  StatementUse use(st);
  return st.Step() ? st.Int(0) : 0;
}

bool Connection::RunAction(const std::function<bool()>& body) {
  return RunLevel(session(), body);
}

bool Connection::InAction() const { return session_ && session_->InAction(); }

void Connection::Flush() { session().Flush(); }

const std::string& Table::Name() const { return info_.name; }

}  // namespace tillbook::engine
