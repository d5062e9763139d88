// Connection: an open archive file. Creates and opens the SQLite file, runs structure commands
// (rename a table or a reference, raw statements of upgrades), and, once a database definition
// is attached, creates and finds rows. Every change goes through actions (see row.h).
#pragma once

#include <chrono>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/variant.h"
#include "engine/row.h"

namespace tillbook::engine {

class Catalog;
struct TableInfo;
class UiServices;
namespace internal {
class SqliteDb;
}

using FieldValues = std::vector<std::pair<std::string, Variant>>;

class Connection {
 public:
  // `ui` answers the hooks' questions and shows their refusals; it must outlive the connection.
  // Without one, refusals are silent and questions are answered Yes.
  explicit Connection(UiServices* ui = nullptr);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  enum class Access { ReadWrite, ReadOnly };
  // Opens an existing archive file; refuses when it is missing or is not an archive, and a file
  // it refuses is never written. ReadOnly never writes the file at all; ReadWrite reads only when
  // the file or its folder cannot be written, and a write then fails as "in sola lettura".
  void Open(const std::string& path, Access access = Access::ReadWrite);
  // Creates a new, empty archive and opens it; refuses when the file exists. The file is built
  // under a temporary name beside `path` and takes its name complete, so a crash or a kill leaves
  // either no file or an archive.
  void Create(const std::string& path);
  // The same in two steps, for a creation that also defines the tables and writes their first
  // rows: until FinishCreate() the archive lives under its temporary name only, and Close()
  // (or a crash) throws it away. Files left by creations of processes that are gone are removed.
  void BeginCreate(const std::string& path);
  void FinishCreate();
  void Close();
  bool IsOpen() const { return session_ != nullptr; }
  bool readOnly() const;
  const std::string& path() const { return path_; }

  // What is at `path`, read without writing it: nothing, a file holding no table at all (a
  // creation cut off before anything was stored), or anything else (Open tells what it is).
  enum class FileState { Missing, Unfinished, Other };
  static FileState Inspect(const std::string& path);
  // The name BeginCreate builds `path` under, in this process.
  static std::string StagingPath(const std::string& path);

  // How long the start of an action waits for another workstation's write lock (progress and
  // Stop through the UI services) before failing with "in uso da un'altra postazione". The
  // default comes from TILLBOOK_LOCK_WAIT, else 5 seconds.
  void SetLockWait(std::chrono::milliseconds wait);
  std::chrono::milliseconds lockWait() const { return lockWait_; }

  // Runs SQL statements as they are (structure upgrades).
  void Execute(std::string_view sql);
  bool TableExists(std::string_view name);
  // Renames a table with everything stored under its name (its version, the owner links and
  // list tables named after it).
  void RenameTable(std::string_view oldName, std::string_view newName);
  // Renames a reference of `table`: its link column, owner links and list table.
  void RenameReference(std::string_view table, std::string_view oldName,
                       std::string_view newName);

  UiServices& ui();
  void SetUi(UiServices* ui);
  // Logged-in operator and the shared-use switches handed over at start-up.
  std::string Operator;
  int AccessMode = 0;
  bool UseTransaction = false;

  // Rows; these need an attached database.
  const Catalog& catalog() const;
  const TableInfo& Table(std::string_view name) const;  // throws Error for an unknown table
  // A new row as a person or a script starts it: OnNewRow gives its defaults and it has its
  // row id, but it is stored only when saved (Row::Save, or when something needs it stored).
  // nullopt when a hook refused.
  std::optional<Row> NewRow(std::string_view table);
  // A new row with the given values set through the field hooks, as one action; stored at the
  // end of the action (imports, default rows, hooks making rows).
  std::optional<Row> AddRow(std::string_view table, const FieldValues& values);
  // Rows from NewRow still waiting for their save, oldest first.
  std::vector<Row> PendingRows();
  // The row with that identifier; nullopt when there is none.
  std::optional<Row> GetRow(std::string_view table, int64_t oid);
  // Identifiers of the rows of a table whose `field` equals `value` (text without regard to
  // case), in identifier order.
  std::vector<int64_t> FindOids(std::string_view table, std::string_view field,
                                const Variant& value);
  int64_t Count(std::string_view table);

  // Runs `body` as one action: false from the body, a refusal inside it that the body passes on,
  // or an exception rolls back everything it wrote. Returns the body's result.
  bool RunAction(const std::function<bool()>& body);
  bool InAction() const;
  // Writes pending changes now, so that SQL reads see them.
  void Flush();

  internal::Session& session();

 private:
  void Adopt(std::unique_ptr<internal::SqliteDb> db, const std::string& path);
  void RemoveStaged();

  std::string path_;
  std::string staging_;  // the temporary file while a creation is under way
  std::chrono::milliseconds lockWait_;
  UiServices* ui_;
  std::unique_ptr<UiServices> silentUi_;
  std::unique_ptr<internal::Session> session_;
  friend class Database;
  std::optional<Row> MakeRow(std::string_view table, const FieldValues& values, bool held);
  void SetCatalog(std::shared_ptr<const Catalog> catalog);
  std::shared_ptr<const Catalog> catalog_;
};

// One read transaction while it lives: every read through the connection sees the archive as
// it was at the first of them, so a listing read in several steps never mixes in what another
// workstation commits meanwhile. Writers elsewhere are never blocked by it; an action on this
// connection is refused meanwhile. Inside an action it does nothing (the action already reads
// one state).
class ReadTransaction {
 public:
  explicit ReadTransaction(Connection& connection);
  ~ReadTransaction();
  ReadTransaction(const ReadTransaction&) = delete;
  ReadTransaction& operator=(const ReadTransaction&) = delete;

 private:
  Connection& connection_;
  bool started_ = false;
};

// A table as hooks receive it when its structure was created or updated.
class Table {
 public:
  Table(Connection& connection, const TableInfo& info) : connection_(connection), info_(info) {}
  const std::string& Name() const;
  const TableInfo& info() const { return info_; }
  Connection& connection() { return connection_; }
  // Adds a row with the given field values (the default-row operation).
  std::optional<Row> AddRow(const FieldValues& values) {
    return connection_.AddRow(Name(), values);
  }

 private:
  Connection& connection_;
  const TableInfo& info_;
};

}  // namespace tillbook::engine
