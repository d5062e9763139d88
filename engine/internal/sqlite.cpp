#include "engine/internal/sqlite.h"

#include <cmath>
#include <limits>
#include <thread>

#include "base/error.h"
#include "base/text.h"
#include "engine/jet/sqlite_functions.h"
#include "engine/ui_services.h"
#include "platform/environment.h"
#include "platform/files.h"

namespace tillbook::engine::internal {

namespace {

constexpr const char* kInUse =
    "L'archivio è in uso da un'altra postazione, riprovare fra qualche istante.";

[[noreturn]] void Fail(sqlite3* db, int rc, std::string_view what) {
  std::string detail = std::string(what) + ": " + (db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
  const int primary = rc & 0xff;
  if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) throw Error(kInUse, detail);
  if (primary == SQLITE_READONLY) throw Error("L'archivio è in sola lettura.", detail);
  if (primary == SQLITE_PERM || primary == SQLITE_AUTH)
    throw Error("Accesso all'archivio negato.", detail);
  if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB)
    throw Error("L'archivio è danneggiato o non è un archivio valido.", detail);
  if (primary == SQLITE_FULL)
    throw Error("Spazio su disco esaurito: archivio non aggiornato.", detail);
  if (primary == SQLITE_CANTOPEN) throw Error("Impossibile aprire l'archivio.", detail);
  if (primary == SQLITE_IOERR)
    throw Error("Errore di lettura o scrittura del disco dell'archivio.", detail);
  throw Error("Errore dell'archivio.", detail);
}

// The file as an SQLite URI, for the options only a URI can give.
std::string FileUri(const std::string& path) {
  std::string uri = "file:";
  for (char c : path) {
    if (c == '%' || c == '?' || c == '#') {
      static const char kHex[] = "0123456789ABCDEF";
      uri += '%';
      uri += kHex[(static_cast<unsigned char>(c) >> 4) & 0xf];
      uri += kHex[static_cast<unsigned char>(c) & 0xf];
    } else {
      uri += c;
    }
  }
  return uri;
}

bool HasWalContent(const std::string& path) {
  const std::string wal = path + "-wal";
  try {
    return platform::Examine(wal) == platform::PathKind::File && platform::FileSize(wal) > 0;
  } catch (const Error&) {
    return true;  // cannot tell: assume there is something to read
  }
}

int CollateNoCase(void*, int la, const void* a, int lb, const void* b) {
  return text::CompareNoCase({static_cast<const char*>(a), static_cast<size_t>(la)},
                             {static_cast<const char*>(b), static_cast<size_t>(lb)});
}

int CollateSort(void*, int la, const void* a, int lb, const void* b) {
  return text::CompareForSort({static_cast<const char*>(a), static_cast<size_t>(la)},
                              {static_cast<const char*>(b), static_cast<size_t>(lb)});
}

}  // namespace

Statement::Statement(sqlite3* db, std::string_view sql) : db_(db) {
  int rc = sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()),
                              SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr);
  if (rc != SQLITE_OK) Fail(db, rc, sql);
}

Statement::~Statement() {
  sqlite3_finalize(stmt_);
}

void Statement::Check(int rc) {
  if (rc != SQLITE_OK) Fail(db_, rc, sqlite3_sql(stmt_));
}

void Statement::BindText(int i, std::string_view v) {
  Check(sqlite3_bind_text(stmt_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT));
}

void Statement::Bind(int i, const Variant& v) {
  switch (v.type()) {
    case VarType::Empty:
    case VarType::Null:
      BindNull(i);
      break;
    case VarType::Boolean:
      BindInt(i, v.AsBoolean() ? 1 : 0);
      break;
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long:
    case VarType::Error:
      BindInt(i, v.AsInteger());
      break;
    case VarType::Single:
    case VarType::Double:
      Check(sqlite3_bind_double(stmt_, i, v.AsDouble()));
      break;
    case VarType::Currency:
      BindInt(i, v.AsMoney().raw());
      break;
    case VarType::Date:
      BindText(i, v.ToDateTime().ToIso());
      break;
    case VarType::String:
      BindText(i, v.AsString());
      break;
    default:
      throw Error("Valore non memorizzabile nell'archivio.", "bind of an object or array");
  }
}

bool Statement::Step() {
  int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  sqlite3_reset(stmt_);
  Fail(db_, rc, sqlite3_sql(stmt_));
}

void Statement::Run() {
  while (Step()) {
  }
}

void Statement::Reset() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

std::string Statement::Text(int c) const {
  const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, c));
  return p ? std::string(p, static_cast<size_t>(sqlite3_column_bytes(stmt_, c))) : std::string();
}

Variant Statement::Value(int c) const {
  switch (sqlite3_column_type(stmt_, c)) {
    case SQLITE_INTEGER: {
      int64_t v = Int(c);
      if (v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max())
        return Variant::Long(static_cast<int32_t>(v));
      return Variant::Double(static_cast<double>(v));
    }
    case SQLITE_FLOAT:
      return Variant::Double(Real(c));
    case SQLITE_TEXT:
      return Variant::String(Text(c));
    case SQLITE_NULL:
      return Variant::Null();
    default:
      return Variant::String(Text(c));
  }
}

SqliteDb::SqliteDb(const std::string& path, OpenMode mode)
    : path_(path), lockWait_(platform::kDefaultLockWait) {
  if (mode == OpenMode::CreateNew) {
    OpenHandle(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    try {
      Exec("PRAGMA journal_mode=MEMORY");
      Exec("PRAGMA synchronous=OFF");
    } catch (...) {
      Close();
      throw;
    }
    return;
  }
  if (mode == OpenMode::ReadWrite) {
    OpenHandle(path, SQLITE_OPEN_READWRITE);
    const int rc = Probe();
    if (rc == SQLITE_OK) return;
    Close();
    // A file or folder without write permission: read it as a read-only archive.
    if ((rc & 0xff) != SQLITE_READONLY && (rc & 0xff) != SQLITE_CANTOPEN) Fail(nullptr, rc, path);
  }
  OpenHandle(path, SQLITE_OPEN_READONLY);
  int rc = Probe();
  if (rc == SQLITE_OK) return;
  Close();
  if ((rc & 0xff) == SQLITE_READONLY || (rc & 0xff) == SQLITE_CANTOPEN) {
    // The work files of the WAL journal cannot be made beside the file. With no log left to
    // read, nobody can be writing (a writer needs those files too): the file is all there is.
    if (HasWalContent(path))
      throw Error(
          "Impossibile leggere l'archivio: nella sua cartella non si possono creare i "
          "file di lavoro.",
          path + ": " + sqlite3_errstr(rc));
    OpenHandle(FileUri(path) + "?immutable=1", SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
    rc = Probe();
    if (rc == SQLITE_OK) return;
    Close();
  }
  Fail(nullptr, rc, path);
}

void SqliteDb::OpenHandle(const std::string& name, int flags) {
  int rc = sqlite3_open_v2(name.c_str(), &db_, flags | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    std::string detail = path_ + ": " + (db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc));
    Close();
    throw Error("Impossibile aprire l'archivio " + path_ + ".", detail);
  }
  Configure();
}

void SqliteDb::Configure() {
  sqlite3_extended_result_codes(db_, 1);
  sqlite3_busy_timeout(db_, static_cast<int>(lockWait_.count()));
  sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
  sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
  sqlite3_create_collation(db_, "JET_CI", SQLITE_UTF8, nullptr, CollateNoCase);
  sqlite3_create_collation(db_, "JET_SORT", SQLITE_UTF8, nullptr, CollateSort);
  jet::RegisterJetFunctions(db_);
}

int64_t SqliteDb::SchemaVersionOf(const std::string& path) {
  sqlite3* db = nullptr;
  int64_t version = -1;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) ==
      SQLITE_OK) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA schema_version", -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW)
      version = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
  }
  sqlite3_close(db);
  return version;
}

int SqliteDb::Probe() {
  tables_.clear();
  sqlite3_stmt* st = nullptr;
  int rc = sqlite3_prepare_v2(db_, "SELECT name FROM sqlite_master WHERE type='table'", -1, &st,
                              nullptr);
  if (rc != SQLITE_OK) return rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW)
    tables_.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
  sqlite3_finalize(st);
  return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

void SqliteDb::Close() {
  cache_.clear();
  if (db_) sqlite3_close(db_);
  db_ = nullptr;
}

SqliteDb::~SqliteDb() {
  Close();
}

void SqliteDb::SetLockWait(std::chrono::milliseconds wait) {
  lockWait_ = wait;
  sqlite3_busy_timeout(db_, static_cast<int>(lockWait_.count()));
}

void SqliteDb::BeginWrite(UiServices& ui) {
  if (InTransaction())
    throw Error("Impossibile modificare l'archivio durante una lettura.",
                "BEGIN IMMEDIATE inside a read transaction");
  using Clock = std::chrono::steady_clock;
  using std::chrono::milliseconds;
  // The wait is ours, with progress and a Stop button, instead of SQLite's silent one.
  sqlite3_busy_timeout(db_, 0);
  struct RestoreTimeout {
    SqliteDb& db;
    ~RestoreTimeout() { sqlite3_busy_timeout(db.db_, static_cast<int>(db.lockWait_.count())); }
  } restore{*this};
  Statement& begin = Cached("BEGIN IMMEDIATE");
  const Clock::time_point start = Clock::now();
  bool waiting = false;
  for (;;) {
    const int rc = sqlite3_step(begin.handle());
    sqlite3_reset(begin.handle());
    if (rc == SQLITE_DONE) break;
    const auto waited = std::chrono::duration_cast<milliseconds>(Clock::now() - start);
    const bool busy = (rc & 0xff) == SQLITE_BUSY;
    bool giveUp = !busy || waited >= lockWait_;
    if (!giveUp) {
      if (!waiting) {
        ui.ProgressStart("L'archivio è in uso da un'altra postazione: attesa in corso...",
                         static_cast<int>(lockWait_.count() / 100));
        waiting = true;
      }
      giveUp = !ui.ProgressStep(static_cast<int>(waited.count() / 100));
    }
    if (giveUp) {
      if (waiting) ui.ProgressEnd();
      Fail(db_, rc, "BEGIN IMMEDIATE after " + std::to_string(waited.count()) + " ms");
    }
    std::this_thread::sleep_for(std::min(milliseconds(20), lockWait_ - waited));
  }
  if (waiting) ui.ProgressEnd();
}

void SqliteDb::BeginRead() {
  if (!InTransaction()) Exec("BEGIN");
}

void SqliteDb::EndRead() {
  if (InTransaction()) Exec("COMMIT");
}

void SqliteDb::PrepareForWriting() {
  if (readOnly()) return;
  bool wal;
  {
    Statement journal(db_, "PRAGMA journal_mode");
    wal = journal.Step() && text::Lower(journal.Text(0)) == "wal";
  }
  // Only an archive still in another journal mode is written here.
  if (!wal) Exec("PRAGMA journal_mode=WAL");
  Exec("PRAGMA synchronous=FULL");
}

void SqliteDb::FinishCreation() {
  cache_.clear();
  Exec("PRAGMA journal_mode=WAL");
  Exec("PRAGMA synchronous=FULL");
}

Statement& SqliteDb::Cached(const std::string& sql) {
  auto it = cache_.find(sql);
  if (it != cache_.end()) return *it->second;
  auto stmt = std::make_unique<Statement>(db_, sql);
  return *cache_.emplace(sql, std::move(stmt)).first->second;
}

void SqliteDb::Exec(std::string_view sql) {
  char* err = nullptr;
  std::string s(sql);
  int rc = sqlite3_exec(db_, s.c_str(), nullptr, nullptr, &err);
  if (rc != SQLITE_OK) {
    std::string detail = s + ": " + (err ? err : sqlite3_errstr(rc));
    sqlite3_free(err);
    Fail(nullptr, rc, detail);
  }
}

Variant ReadValue(const Statement& s, int i, std::optional<FieldType> type) {
  if (s.IsNull(i)) return Variant::Null();
  if (!type) return s.Value(i);
  switch (*type) {
    case FieldType::Integer:
    case FieldType::SmallInteger:
      return s.Value(i);
    case FieldType::YesNo:
      return Variant::Boolean(s.Int(i) != 0);
    case FieldType::Millimetres:
    case FieldType::Number:
      return Variant::Double(s.Real(i));
    case FieldType::Money:
      return Variant::Currency(Money::FromRaw(s.Int(i)));
    case FieldType::Date:
    case FieldType::DateTime: {
      auto d = DateTime::ParseIso(s.Text(i));
      return d ? Variant::Date(*d) : Variant::Null();
    }
    default:
      return Variant::String(s.Text(i));
  }
}

std::string Quote(std::string_view name) {
  std::string out = "\"";
  for (char c : name) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

}  // namespace tillbook::engine::internal
