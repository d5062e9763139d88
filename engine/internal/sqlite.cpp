#include "engine/internal/sqlite.h"

#include <cmath>
#include <limits>

#include "base/error.h"
#include "base/text.h"
#include "engine/jet/sqlite_functions.h"

namespace tillbook::engine::internal {

namespace {

[[noreturn]] void Fail(sqlite3* db, int rc, std::string_view what) {
  std::string detail = std::string(what) + ": " + (db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
  const int primary = rc & 0xff;
  if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
    throw Error("L'archivio è in uso da un'altra postazione, riprovare fra qualche istante.",
                detail);
  if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB)
    throw Error("L'archivio è danneggiato o non è un archivio valido.", detail);
  if (primary == SQLITE_FULL) throw Error("Spazio su disco esaurito: archivio non aggiornato.", detail);
  if (primary == SQLITE_CANTOPEN) throw Error("Impossibile aprire l'archivio.", detail);
  throw Error("Errore dell'archivio.", detail);
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

Statement::~Statement() { sqlite3_finalize(stmt_); }

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

SqliteDb::SqliteDb(const std::string& path, bool create) {
  int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
  int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
  if (rc != SQLITE_OK) {
    std::string detail = path + ": " + (db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc));
    sqlite3_close(db_);
    db_ = nullptr;
    throw Error("Impossibile aprire l'archivio " + path + ".", detail);
  }
  sqlite3_extended_result_codes(db_, 1);
  sqlite3_busy_timeout(db_, 5000);
  sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
  sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
  sqlite3_create_collation(db_, "JET_CI", SQLITE_UTF8, nullptr, CollateNoCase);
  sqlite3_create_collation(db_, "JET_SORT", SQLITE_UTF8, nullptr, CollateSort);
  try {
    jet::RegisterJetFunctions(db_);
    // Writing the header proves the file is a database before anything else is attempted.
    Exec("PRAGMA journal_mode=WAL");
    Exec("PRAGMA synchronous=FULL");
  } catch (...) {
    sqlite3_close(db_);
    db_ = nullptr;
    throw;
  }
}

SqliteDb::~SqliteDb() {
  cache_.clear();
  if (db_) sqlite3_close(db_);
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
