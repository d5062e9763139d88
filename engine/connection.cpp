#include "engine/connection.h"

#include <algorithm>
#include <filesystem>

#include "base/error.h"
#include "base/text.h"
#include "engine/catalog.h"
#include "engine/internal/action.h"
#include "engine/internal/session.h"
#include "engine/ui_services.h"
#include "platform/environment.h"
#include "platform/files.h"

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

// The first bytes of every SQLite file.
constexpr char kSqliteMagic[16] = {'S', 'Q', 'L', 'i', 't', 'e', ' ', 'f',
                                   'o', 'r', 'm', 'a', 't', ' ', '3', '\0'};
// A new archive is built as "<name>.nuovo-<process id>" beside its final name.
constexpr const char* kStagingMark = ".nuovo-";

// Removes what creations of `path` by processes that are gone left behind (a kill, a power cut).
void RemoveStaleCreations(const std::string& path) {
  namespace fs = std::filesystem;
  const fs::path target(path);
  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  const std::string prefix = target.filename().string() + kStagingMark;
  std::error_code error;
  std::vector<fs::path> stale;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name.rfind(prefix, 0) != 0) continue;
    const std::string rest = name.substr(prefix.size());
    const size_t digits = std::min(rest.find_first_not_of("0123456789"), rest.size());
    if (digits == 0 || digits > 9) continue;
    const std::string side = rest.substr(digits);
    if (side != "" && side != "-journal" && side != "-wal" && side != "-shm") continue;
    const long pid = std::stol(rest.substr(0, digits));
    if (pid == platform::CurrentProcessId() || !platform::ProcessIsRunning(pid))
      stale.push_back(it->path());
  }
  for (const auto& p : stale) {
    try {
      platform::RemoveFile(p.string());
    } catch (const Error&) {
      // Not ours to remove after all (permissions): it does no harm where it is.
    }
  }
}

}  // namespace

Connection::Connection(UiServices* ui)
    : lockWait_(platform::LockWaitFromEnvironment().value_or(platform::kDefaultLockWait)),
      ui_(ui) {
  if (!ui_) {
    silentUi_ = std::make_unique<SilentUi>();
    ui_ = silentUi_.get();
  }
}

Connection::~Connection() { Close(); }

void Connection::Adopt(std::unique_ptr<internal::SqliteDb> db, const std::string& path) {
  db->SetLockWait(lockWait_);
  session_ = std::make_unique<internal::Session>(std::move(db), ui_);
  session_->SetConnection(this);
  path_ = path;
  if (catalog_) session_->SetCatalog(catalog_);
}

std::string Connection::StagingPath(const std::string& path) {
  return path + kStagingMark + std::to_string(platform::CurrentProcessId());
}

Connection::FileState Connection::Inspect(const std::string& path) {
  const platform::PathKind kind = platform::Examine(path);
  if (kind == platform::PathKind::Missing) return FileState::Missing;
  if (kind != platform::PathKind::File) return FileState::Other;
  if (platform::FileSize(path) == 0) return FileState::Unfinished;
  if (platform::ReadHead(path, sizeof kSqliteMagic) !=
      std::string(kSqliteMagic, sizeof kSqliteMagic))
    return FileState::Other;
  // Read without loading the schema, which the opening that follows loads anyway.
  return internal::SqliteDb::SchemaVersionOf(path) == 0 ? FileState::Unfinished : FileState::Other;
}

void Connection::BeginCreate(const std::string& path) {
  Close();
  if (platform::Examine(path) != platform::PathKind::Missing)
    throw Error("L'archivio " + path + " esiste già.", "Create on an existing file");
  RemoveStaleCreations(path);
  const std::string staging = StagingPath(path);
  for (const char* side : {"", "-journal", "-wal", "-shm"}) platform::RemoveFile(staging + side);
  staging_ = staging;
  try {
    Adopt(std::make_unique<internal::SqliteDb>(staging, internal::OpenMode::CreateNew), path);
    session_->db().Exec(
        "CREATE TABLE IF NOT EXISTS \"Sys_Tables\" (\"Name\" TEXT PRIMARY KEY COLLATE JET_CI, "
        "\"Version\" REAL NOT NULL);"
        "CREATE TABLE IF NOT EXISTS \"Sys_Values\" (\"Key\" TEXT PRIMARY KEY COLLATE JET_CI, "
        "\"Caption\" TEXT, \"Value\" TEXT);");
  } catch (...) {
    Close();
    throw;
  }
}

void Connection::FinishCreate() {
  if (staging_.empty() || !session_)
    throw Error("Nessun archivio in creazione.", "FinishCreate without BeginCreate");
  if (session_->InAction())
    throw Error("Impossibile completare l'archivio durante un'operazione.", "FinishCreate");
  const std::string path = path_;
  try {
    session_->db().FinishCreation();
    // Closing the last connection moves the log into the file and removes it.
    session_.reset();
    const std::string staging = staging_;
    if (platform::Examine(staging + "-wal") != platform::PathKind::Missing &&
        platform::FileSize(staging + "-wal") > 0)
      throw Error("Impossibile completare l'archivio " + path + ".", "log left after closing");
    platform::SyncFile(staging);
    // Work files left by an earlier file of this name would be read as this archive's log.
    if (platform::Examine(path) == platform::PathKind::Missing)
      for (const char* side : {"-journal", "-wal", "-shm"}) platform::RemoveFile(path + side);
    if (!platform::RenameNoReplace(staging, path))
      throw Error("L'archivio " + path + " esiste già.", "another creation finished first");
    staging_.clear();
    platform::SyncDirectory(std::filesystem::path(path).parent_path().empty()
                                ? std::string(".")
                                : std::filesystem::path(path).parent_path().string());
  } catch (...) {
    Close();
    throw;
  }
  Open(path);
}

void Connection::Create(const std::string& path) {
  BeginCreate(path);
  FinishCreate();
}

void Connection::RemoveStaged() {
  if (staging_.empty()) return;
  const std::string staging = std::move(staging_);
  staging_.clear();
  for (const char* side : {"", "-journal", "-wal", "-shm"}) {
    try {
      platform::RemoveFile(staging + side);
    } catch (const Error&) {
      // Left behind: the next creation in this folder removes it.
    }
  }
}

void Connection::Open(const std::string& path, Access access) {
  Close();
  switch (platform::Examine(path)) {
    case platform::PathKind::Missing:
      throw Error("L'archivio " + path + " non esiste.", "Open of a missing file");
    case platform::PathKind::Directory:
      throw Error(path + " è una cartella, non un archivio.", "Open of a folder");
    case platform::PathKind::Other:
      throw Error("Il file " + path + " non è un archivio del programma.", "not a regular file");
    case platform::PathKind::File:
      break;
  }
  // Checked before SQLite sees the file: SQLite takes an empty file for a new database and
  // would write its header into it.
  const std::string head = platform::ReadHead(path, sizeof kSqliteMagic);
  if (head.empty())
    throw Error("Il file " + path + " è vuoto: non è un archivio del programma.", "empty file");
  if (head != std::string(kSqliteMagic, sizeof kSqliteMagic))
    throw Error("Il file " + path + " non è un archivio del programma.", "no SQLite header");
  const auto mode =
      access == Access::ReadOnly ? internal::OpenMode::ReadOnly : internal::OpenMode::ReadWrite;
  auto db = std::make_unique<internal::SqliteDb>(path, mode);
  bool ok = false;
  for (const auto& t : db->tablesAtOpening()) ok = ok || t == "Sys_Tables";
  if (!ok) throw Error("Il file " + path + " non è un archivio del programma.", "no Sys_Tables");
  if (access == Access::ReadWrite) db->PrepareForWriting();
  Adopt(std::move(db), path);
}

void Connection::Close() {
  session_.reset();
  path_.clear();
  RemoveStaged();
}

bool Connection::readOnly() const { return session_ && session_->db().readOnly(); }

void Connection::SetLockWait(std::chrono::milliseconds wait) {
  lockWait_ = wait;
  if (session_) session_->db().SetLockWait(wait);
}

ReadTransaction::ReadTransaction(Connection& connection) : connection_(connection) {
  auto& s = connection.session();
  if (s.InAction()) return;
  s.db().BeginRead();
  started_ = true;
}

ReadTransaction::~ReadTransaction() {
  if (!started_ || !connection_.IsOpen()) return;
  try {
    connection_.session().db().EndRead();
  } catch (const Error&) {
    // Nothing was written: a read transaction that cannot end cleanly is dropped at closing.
  }
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
  s.SyncReservedOids();
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

std::optional<Row> Connection::NewRow(std::string_view table) { return MakeRow(table, {}, true); }

std::optional<Row> Connection::AddRow(std::string_view table, const FieldValues& values) {
  return MakeRow(table, values, false);
}

std::vector<Row> Connection::PendingRows() {
  std::vector<Row> rows;
  for (auto& st : session().PendingRows()) rows.emplace_back(session(), st);
  return rows;
}

std::optional<Row> Connection::MakeRow(std::string_view table, const FieldValues& values,
                                       bool held) {
  const TableInfo& t = Table(table);
  auto& s = session();
  std::optional<Row> made;
  bool ok = RunLevel(s, [&] {
    Row row(s, s.NewRowState(t, held));
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
