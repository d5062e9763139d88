// Thin RAII layer over the SQLite C API: one open database handle with a cache of prepared
// statements, and statements that bind and read tillbook::Variant values. Every SQLite failure
// becomes a tillbook::Error with an Italian message and the SQLite text as detail.
#pragma once

#include <sqlite3.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/variant.h"
#include "engine/definition.h"

namespace tillbook::engine {
class UiServices;
}

namespace tillbook::engine::internal {

class Statement {
 public:
  Statement(sqlite3* db, std::string_view sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  // Binds 1-based parameter i. Empty and Null bind NULL; Currency binds its raw integer;
  // Date binds ISO text; Boolean binds 0/1.
  void Bind(int i, const Variant& v);
  void BindInt(int i, int64_t v) { Check(sqlite3_bind_int64(stmt_, i, v)); }
  void BindText(int i, std::string_view v);
  void BindNull(int i) { Check(sqlite3_bind_null(stmt_, i)); }
  // Advances; true while a row is available.
  bool Step();
  // Runs to completion (for statements without rows).
  void Run();
  void Reset();

  int ColumnCount() const { return sqlite3_column_count(stmt_); }
  bool IsNull(int c) const { return sqlite3_column_type(stmt_, c) == SQLITE_NULL; }
  int64_t Int(int c) const { return sqlite3_column_int64(stmt_, c); }
  double Real(int c) const { return sqlite3_column_double(stmt_, c); }
  std::string Text(int c) const;
  std::string ColumnName(int c) const { return sqlite3_column_name(stmt_, c); }
  // The column as a Variant by SQLite's own storage class (INTEGER -> Long or Double when it does
  // not fit, REAL -> Double, TEXT -> String, NULL -> Null).
  Variant Value(int c) const;
  sqlite3_stmt* handle() const { return stmt_; }

 private:
  void Check(int rc);
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

// Resets a cached statement when leaving a scope, so it never holds a read lock.
class StatementUse {
 public:
  explicit StatementUse(Statement& s) : s_(s) {}
  ~StatementUse() { s_.Reset(); }
  Statement* operator->() { return &s_; }
  Statement& operator*() { return s_; }

 private:
  Statement& s_;
};

enum class OpenMode {
  // Reads only, never writes the file. In a folder where the work files beside a WAL archive
  // cannot be made, and none are left, the file is read as it stands.
  ReadOnly,
  // Reads and writes when the file and its folder allow it, else reads only (readOnly() tells).
  ReadWrite,
  // A new file being built under a temporary name: journal in memory, no syncs, since a crash
  // throws the file away. Finished with FinishCreation().
  CreateNew,
};

class SqliteDb {
 public:
  // Opens the file and sets the connection up: foreign keys off, double-quoted strings off, the
  // Jet collations and functions. Nothing is written to an existing file while opening it.
  // Throws Error when the file cannot be read as a database.
  SqliteDb(const std::string& path, OpenMode mode);
  ~SqliteDb();
  SqliteDb(const SqliteDb&) = delete;
  SqliteDb& operator=(const SqliteDb&) = delete;

  sqlite3* handle() const { return db_; }
  bool readOnly() const { return sqlite3_db_readonly(db_, "main") == 1; }
  // Names of the SQL tables, read at opening.
  const std::vector<std::string>& tablesAtOpening() const { return tables_; }
  // The schema version of the file at `path`, read without loading its schema (0: no table was
  // ever made in it); -1 when it cannot be read as a database.
  static int64_t SchemaVersionOf(const std::string& path);

  // How long BeginWrite waits for another writer, and how long any other statement waits for a
  // lock before failing as "in use".
  void SetLockWait(std::chrono::milliseconds wait);
  std::chrono::milliseconds lockWait() const { return lockWait_; }
  // Starts the write transaction of an action. While another workstation holds the write lock
  // it waits up to lockWait(), showing progress through `ui` (Stop gives up), then fails with
  // the "in use" message. Refused inside a read transaction.
  void BeginWrite(UiServices& ui);
  // A read transaction: every read until EndRead sees the archive as at the first of them.
  void BeginRead();
  void EndRead();
  bool InTransaction() const { return sqlite3_get_autocommit(db_) == 0; }
  // Sets a writable file up for writing: WAL journal (the one write, for a file in another
  // journal mode), synchronous FULL. Call once the file is known to be an archive.
  void PrepareForWriting();
  // Turns a CreateNew file into an archive ready for use: WAL journal, everything on disk.
  void FinishCreation();
  // A cached prepared statement for this exact SQL text.
  Statement& Cached(const std::string& sql);
  // Runs one or more statements without parameters.
  void Exec(std::string_view sql);
  int64_t LastInsertId() const { return sqlite3_last_insert_rowid(db_); }
  int Changes() const { return sqlite3_changes(db_); }
  // Forgets the cached statements (after a schema change renames things).
  void ClearCache() { cache_.clear(); }

 private:
  void OpenHandle(const std::string& name, int flags);
  void Configure();
  // Reads the table list; returns the SQLite code instead of throwing.
  int Probe();
  void Close();

  std::string path_;
  sqlite3* db_ = nullptr;
  std::chrono::milliseconds lockWait_;
  std::vector<std::string> tables_;
  std::unordered_map<std::string, std::unique_ptr<Statement>> cache_;
};

// Column `c` of the current row as a value of a field type: money from ten-thousandths, dates
// from text, yes/no from 0/1; without a type, as SQLite stored it.
Variant ReadValue(const Statement& s, int c, std::optional<FieldType> type);

// Double-quotes an SQL identifier.
std::string Quote(std::string_view name);

}  // namespace tillbook::engine::internal
