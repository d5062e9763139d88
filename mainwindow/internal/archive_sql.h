// What the recalculation tools need to speak SQL to the archive in sets: the stored names of a
// table's fields, lists and links read from the catalogue (never spelled by hand), a reader of
// query results, batched writes of computed values and a progress phase with its Stop. Every
// write goes through Connection::Execute inside an action, so the rows the session already holds
// are read again after it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/variant.h"

namespace tillbook::engine {
class Connection;
class UiServices;
struct TableInfo;
struct ReferenceInfo;
}  // namespace tillbook::engine

namespace tillbook::mainwindow::internal {

// A quoted identifier.
std::string Quote(std::string_view name);
// `value` as an SQL literal that reads back as the same double.
std::string SqlNumber(double value);

// The SQL table and column (both quoted) holding `field` of `table`.
struct SqlColumn {
  std::string table;
  std::string column;
};
// nullopt when the table has no such field (a switch left it out).
std::optional<SqlColumn> FindSqlColumn(const engine::TableInfo& table, std::string_view field);
// The same, throwing Error when it is missing.
SqlColumn SqlColumnOf(const engine::TableInfo& table, std::string_view field);
// The quoted SQL table holding the table's own columns.
std::string OwnTable(const engine::TableInfo& table);
// Rows copying a base row: the quoted column linking them to it ("OID_Articoli").
std::string BaseLinkColumn(const engine::TableInfo& rows);
// The list `name` of `table` (owned or not); Error when it has none.
const engine::ReferenceInfo& ListOf(const engine::TableInfo& table, std::string_view name);

// Reads the rows of `sql` (parameters bound in order) after writing what the session holds;
// `row` gets the values of each result row as SQLite stored them.
void ForEachResult(engine::Connection& connection, const std::string& sql,
                   const std::vector<Variant>& params,
                   const std::function<void(const std::vector<Variant>&)>& row);

// Writes `values` (row id, value) into `column` of `table`, in few statements.
void WriteNumbers(engine::Connection& connection, const SqlColumn& target,
                  const std::vector<std::pair<int64_t, double>>& values);

// Makes "tb_money_div(amount, quantity)" known to the archive's SQL: the stored amount (integer
// ten-thousandths) divided by the quantity as a currency amount, rounded as Money rounds.
void RegisterMoneyDivision(engine::Connection& connection);

// One phase of a tool in the progress window: announced when made, ended when destroyed.
class Phase {
 public:
  Phase(engine::UiServices& ui, std::string text, int total);
  ~Phase();
  Phase(const Phase&) = delete;
  Phase& operator=(const Phase&) = delete;
  // Counts one unit of work; false when the person pressed Stop.
  bool Step();

 private:
  engine::UiServices& ui_;
  std::string text_;
  int done_ = 0;
};

}  // namespace tillbook::mainwindow::internal
