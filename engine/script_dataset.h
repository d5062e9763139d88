// The data-set object handed to scripts (reports, labels, exports, migrations, automation): a
// DataSet reached by member name, with the members layout editors insert (ColValue,
// FormattedColValue, GetReference, RowCount, DataEmpty, RowInvalid, RowFirst, RowLast, RowNext,
// RowPrevious), the request's SortOrder and Filter, MemoVars, and for automation AddRow,
// ColValue assignment (through the field hooks, as typing does), Save and DeleteRow. Refusals and
// questions of hooks go through the connection's UI services.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "base/text.h"
#include "base/variant.h"
#include "engine/dataset.h"
#include "engine/row.h"

namespace tillbook::engine {

class Connection;

class ScriptDataSet : public Object {
 public:
  ScriptDataSet(Connection& connection, SelectRequest request);
  // Over an open data set (a report's rows, a reference's rows).
  ScriptDataSet(Connection& connection, std::unique_ptr<DataSet> dataSet);

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
  void Reopen(SelectRequest request);
  // The row members act on: the row just added (until the script moves), else the current one.
  std::optional<Row> Current();

  std::optional<Row> added_;
  Connection& connection_;
  std::unique_ptr<DataSet> ds_;
  std::map<std::string, Variant, std::less<>> memo_;  // keys folded
};

}  // namespace tillbook::engine
