// The data-set object handed to scripts (reports, labels, exports, migrations, automation): a
// DataSet reached by member name, with the members layout editors insert (ColValue,
// FormattedColValue, GetReference, RowCount, DataEmpty, RowInvalid, RowFirst, RowLast, RowNext,
// RowPrevious), the request's SortOrder and Filter, MemoVars, and for automation AddRow,
// ColValue assignment (through the field hooks, as typing does), Save and DeleteRow. Refusals and
// questions of hooks go through the connection's UI services.
//
// A row added with AddRow is pending, as in a data panel: it has its defaults and its id but is
// stored when saved (Save, or moving to another row, or adding another). On the rows of a
// reference (GetReference) AddRow adds inside the owner: a row of an owned list, the row of an
// owned single reference; on a list or a reference that only links existing rows, AddRow starts
// a link and the first field written picks the row to link by that field's value. DeleteRow
// there removes the link, never the linked row.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/text.h"
#include "base/variant.h"
#include "engine/dataset.h"
#include "engine/row.h"

namespace tillbook::engine {

class Connection;
struct ReferenceInfo;

class ScriptDataSet : public Object {
 public:
  ScriptDataSet(Connection& connection, SelectRequest request);
  // Over an open data set (a report's rows).
  ScriptDataSet(Connection& connection, std::unique_ptr<DataSet> dataSet);
  // The rows `owner` reaches through `reference`.
  ScriptDataSet(Connection& connection, const Row& owner, const ReferenceInfo& reference);

  std::string TypeName() const override { return "DataSource"; }
  Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) override;
  bool HasMember(std::string_view name) const override;

  DataSet& dataSet() { return *ds_; }
  // Text of a value as the data panel shows it: amounts with two decimals and thousands
  // separators ("1.234,50"), dates dd/mm/yyyy (with the time when it is not midnight), yes/no as
  // "Sì"/"No", numbers with a decimal comma.
  static std::string Format(const Variant& v, std::optional<FieldType> type);

 private:
  Variant ColValue(const std::string& column);
  void SetColValue(const std::string& column, const Variant& value);
  Variant GetReference(const std::string& reference);
  Variant AddRow();
  bool DeleteRow();
  // Picks the row a pending link points at: the one row of the reference's table whose `column`
  // equals `value`.
  void Link(const std::string& column, const Variant& value);
  int64_t ReferencedByText(const ReferenceInfo& ref, const Variant& value);
  std::vector<int64_t> ShownMatches(const ReferenceInfo& ref, const Variant& value);
  [[noreturn]] void Refused(const std::string& column);
  void Reopen(SelectRequest request);
  // Saves a pending added row before the script leaves it; a refusal is a script error and the
  // row stays pending.
  void SettleAdded();
  // Reads the reference's rows again (links change which rows those are).
  void ReopenOrigin();
  // The row members act on: the row just added (until the script moves), else the current one.
  std::optional<Row> Current();

  struct Origin {
    Row owner;
    const ReferenceInfo* reference;
  };
  std::optional<Origin> origin_;
  bool linking_ = false;  // AddRow on linked rows: the next field written picks the row
  std::optional<Row> added_;
  Connection& connection_;
  std::unique_ptr<DataSet> ds_;
  std::map<std::string, Variant, std::less<>> memo_;  // keys folded
};

}  // namespace tillbook::engine
