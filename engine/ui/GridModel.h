// GridModel: the rows of an engine data set as a Qt table model. The row count comes from the
// data set; rows are read a page at a time, only for the pages a view asks for, and only a few
// pages are kept, so a table of millions of rows opens at once and scrolling never loads it all.
// Values are shown the Italian way (1.234,50; 31/12/2026; check marks for yes/no).
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/variant.h"
#include "engine/dataset.h"
#include "engine/interfaces.h"

namespace tillbook::engine {
class Connection;
}

namespace tillbook::engine::ui {

class GridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // Rows of `request` (table, filter, field list, sort as the query dialect reads them). An empty
  // field list shows the table's fields. Throws Error when the data set cannot be opened.
  GridModel(Connection& connection, SelectRequest request, QObject* parent = nullptr);
  // Rows of a data set already opened (a list of a row: DataSet::Children).
  GridModel(Connection& connection, DataSet dataSet, QObject* parent = nullptr);
  ~GridModel() override;

  // Opens another request (a new sort, a search filter): the model is reset.
  void SetRequest(SelectRequest request);
  const SelectRequest& request() const;
  Connection& connection() const { return *connection_; }
  const std::string& table() const;

  // Reads the rows again (after changes); the model is reset.
  void Refresh();

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

  // The query column name (as filters and sorts name it) and the caption shown in the header.
  const std::string& ColumnName(int column) const;
  QString ColumnCaption(int column) const;
  // The column's field type, when it is a field of a known type.
  std::optional<FieldType> ColumnType(int column) const;
  int ColumnIndex(std::string_view name) const;  // -1 when absent
  bool IsNumericColumn(int column) const;
  // Columns a grid does not show: the link columns of references (their shown field is the
  // column named after the reference) and the fields hidden from grids by their definition.
  bool IsHiddenColumn(int column) const;

  // The stored value and its text as the grid shows it. Rows outside the count give Null.
  Variant Value(int row, int column) const;
  QString DisplayText(int row, int column) const;
  // The row identifier of a row; 0 outside the count.
  int64_t OidAt(int row) const;
  // The position of the row with identifier `oid`, searched among the pages already read and
  // then through the whole data set in its order; -1 when it is not among the rows.
  int RowOfOid(int64_t oid) const;

  // Pages read from the archive since the model was made (each is one query of kPageRows rows).
  int pageFetches() const { return pageFetches_; }
  static constexpr int kPageRows = 200;
  static constexpr size_t kCachedPages = 6;

  // The text of `value` as a column of `type` shows it ("1.234,50", "31/12/2026", "✓").
  static QString FormatValue(const Variant& value, std::optional<FieldType> type);

 private:
  struct Page;
  const Page& PageOf(int row) const;
  void Adopt(std::unique_ptr<DataSet> dataSet);

  Connection* connection_;
  std::unique_ptr<DataSet> dataSet_;
  std::vector<QString> captions_;
  int64_t count_ = 0;
  mutable std::list<Page> pages_;  // most recently used first
  mutable int pageFetches_ = 0;
};

}  // namespace tillbook::engine::ui
