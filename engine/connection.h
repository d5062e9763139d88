// Connection: an open archive file. Creates and opens the SQLite file, runs structure commands
// (rename a table or a reference, raw statements of upgrades), and, once a database definition
// is attached, creates and finds rows. Every change goes through actions (see row.h).
#pragma once

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

using FieldValues = std::vector<std::pair<std::string, Variant>>;

class Connection {
 public:
  // `ui` answers the hooks' questions and shows their refusals; it must outlive the connection.
  // Without one, refusals are silent and questions are answered Yes.
  explicit Connection(UiServices* ui = nullptr);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Creates a new archive file; refuses when the file exists.
  void Create(const std::string& path);
  // Opens an existing archive file; refuses when it is missing or is not an archive.
  void Open(const std::string& path);
  void Close();
  bool IsOpen() const { return session_ != nullptr; }
  const std::string& path() const { return path_; }

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
  // A new row: OnNewRow, stored at the end of the action. nullopt when a hook refused.
  std::optional<Row> NewRow(std::string_view table);
  // A new row with the given values set through the field hooks, as one action.
  std::optional<Row> AddRow(std::string_view table, const FieldValues& values);
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
  std::string path_;
  UiServices* ui_;
  std::unique_ptr<UiServices> silentUi_;
  std::unique_ptr<internal::Session> session_;
  friend class Database;
  void SetCatalog(std::shared_ptr<const Catalog> catalog);
  std::shared_ptr<const Catalog> catalog_;
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
