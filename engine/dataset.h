// DataSet: the rows of a table seen through a filter, a field list and a sort, as list views,
// reports and scripts read them. The request is compiled to one SQL statement by a
// QueryCompiler (the query dialect's translator for SQLite unless told otherwise), then read in
// pages, so a table of millions of rows is never loaded whole to show its first rows. The
// current row can be opened as a writable Row.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/variant.h"
#include "engine/definition.h"
#include "engine/interfaces.h"
#include "engine/row.h"

namespace tillbook::engine {

class Catalog;
class Connection;

struct QueryColumn {
  std::string name;
  // How to read the stored value: a field's type (money as ten-thousandths, dates as text...);
  // nullopt reads it as SQLite stored it.
  std::optional<FieldType> type;
  bool readOnly = true;  // computed or borrowed through a reference
};

// One SQL statement whose first column is the row identifier "OID", with its parameters, and
// the statement counting its rows with its own (each binds exactly the list beside it).
struct CompiledQuery {
  std::string sql;
  std::vector<Variant> params;
  std::string countSql;
  std::vector<Variant> countParams;
  std::vector<QueryColumn> columns;  // the columns after "OID"
  // The same rows in exactly the opposite order, with the same parameters; empty when the
  // compiler gives none (pages are then always read from the start).
  std::string reverseSql;
};

class QueryCompiler {
 public:
  virtual ~QueryCompiler() = default;
  // Throws Error (with an Italian message naming the problem) for a request it cannot read.
  virtual CompiledQuery Compile(const Catalog& catalog, const SelectRequest& request) const = 0;
};

// The compiler data sets use unless given another: the query dialect's translator for SQLite.
const QueryCompiler& DefaultQueryCompiler();
void SetDefaultQueryCompiler(const QueryCompiler* compiler);

enum class AggregateKind { Sum, Count, Avg, Min, Max };

// The aggregate of `expression` (a query-dialect expression; "*" or empty for Count) over the
// rows of `table` passing `filter`. A sum over no rows is 0; a sum of amounts is a Currency.
// Throws Error for a text the dialect refuses.
Variant Aggregate(Connection& connection, std::string_view table, AggregateKind kind,
                  std::string_view expression, std::string_view filter = {});
// The same over the rows of `parent`'s owned list `reference`, optionally narrowed by `filter`.
Variant AggregateChildren(Connection& connection, const Row& parent, std::string_view reference,
                          AggregateKind kind, std::string_view expression,
                          std::string_view filter = {});

class DataSet {
 public:
  // Opens the request: the table's OnSelect hook may set the sort first. Throws Error for an
  // unknown table or a request the compiler refuses.
  DataSet(Connection& connection, SelectRequest request, const QueryCompiler* compiler = nullptr);
  // The rows of `parent`'s owned list `reference`, through the child table's OnSelectParent.
  static DataSet Children(Connection& connection, const Row& parent, std::string_view reference,
                          const QueryCompiler* compiler = nullptr);

  const SelectRequest& request() const { return request_; }
  const std::vector<QueryColumn>& columns() const { return query_.columns; }
  int ColumnIndex(std::string_view name) const;  // -1 when absent

  int64_t RowCount();
  bool IsEmpty() { return RowCount() == 0; }
  // Position: before the first row (BOF), on a row, or after the last (EOF).
  bool IsBOF() const { return pos_ < 0; }
  bool IsEOF();
  void First() { pos_ = 0; }
  void Last() { pos_ = RowCount() - 1; }
  void Next();
  void Previous();
  void Move(int64_t position) { pos_ = position; }
  int64_t Position() const { return pos_; }

  // Values of the current row. Throws Error when there is no current row or no such column.
  int64_t CurrentOid();
  Variant ColValue(std::string_view column);
  Variant ColValue(int index);
  // The current row as a writable row of the table.
  std::optional<Row> CurrentRow();
  // Moves to the first row (from the start) whose column equals `value` (texts without regard
  // to case); false, and at EOF, when there is none.
  bool Find(std::string_view column, const Variant& value);
  // The position of the row with identifier `oid` in this order, read through one statement
  // that stops at it (no page is read or kept); nullopt when the row is not among these rows.
  std::optional<int64_t> PositionOf(int64_t oid);
  // Reads again from the archive (after changes), keeping the position.
  void Requery();
  // Reads every row once, from the first, through one statement instead of pages: for whole
  // listings and exports of big tables. `row` gets the values of columns(); returning false
  // stops. The position does not move.
  void ForEachRow(const std::function<bool(const std::vector<Variant>&)>& row);

  static constexpr int kPageSize = 200;

 private:
  using Page = std::vector<std::vector<Variant>>;  // rows of [OID, columns...]
  const std::vector<Variant>* RowAt(int64_t position);
  const Page& LoadPage(int64_t page);

  Connection* connection_;
  SelectRequest request_;
  CompiledQuery query_;
  int64_t pos_ = 0;
  std::optional<int64_t> count_;
  uint64_t readAt_ = 0;  // the session's change count when the pages were read
  std::map<int64_t, Page> pages_;
};

}  // namespace tillbook::engine
