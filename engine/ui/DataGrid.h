// DataGrid: the view of a GridModel with the commands a list offers: sort by clicking a header
// (again: the other direction), search in the current column, total and mean of a column, the
// column order and widths remembered per table and operator, and the selected rows as row
// identifiers for the commands that act on them.
#pragma once

#include <QTableView>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/interfaces.h"

namespace tillbook::engine {
class Connection;
class Row;
class UiServices;
}  // namespace tillbook::engine

namespace tillbook::platform {
class SettingsStore;
}

namespace tillbook::engine::ui {

class GridModel;

class DataGrid : public QTableView {
  Q_OBJECT

 public:
  // Messages and questions go through `ui`; the layout is remembered in `settings` (the
  // operator's settings store); both must outlive the grid.
  DataGrid(UiServices& ui, platform::SettingsStore& settings, QWidget* parent = nullptr);
  ~DataGrid() override;

  // Shows the rows of `request` and applies the layout remembered for its table and the
  // connection's operator. Throws Error when the data set cannot be opened.
  void Open(Connection& connection, SelectRequest request);
  // Shows the rows of `parent`'s owned list `reference` (as DataSet::Children selects them).
  void OpenChildren(Connection& connection, const Row& parent, std::string_view reference);
  // Shows nothing (remembers the layout of what was shown).
  void Close();
  GridModel* gridModel() const { return model_.get(); }

  // The current row's identifier (0: none) and making a row current by identifier.
  int64_t CurrentOid() const;
  bool SelectOid(int64_t oid);
  // The selected rows' identifiers in row order; the current row when nothing is selected.
  std::vector<int64_t> SelectedOids() const;

  // Reads the rows again, keeping the current row when it is still there.
  void Refresh();

  // Sorts by a model column; the same column again reverses the order.
  void SortByColumn(int column);
  // Narrows the rows to those whose column is Like *text*; an empty text shows every row again.
  // Nothing found: "Ricerca in <column> '<text>' non trovato" and the rows stay as they were.
  bool SearchInColumn(int column, const std::string& text);
  // Asks the text for the current column and searches.
  void AskSearch();
  // "Totale < caption >\n\n<value>" / "Media < caption >\n\n<value>" for a model column.
  std::string ColumnTotalText(int column) const;
  std::string ColumnMeanText(int column) const;
  // Shows the total / mean of the current column.
  void ShowColumnTotal();
  void ShowColumnMean();

  // Column order by model column name (visible order) and back.
  std::vector<std::string> ColumnOrder() const;
  void SetColumnOrder(const std::vector<std::string>& names);
  // "Sequenza di Visualizzazione Campi": the window that edits the column order.
  void EditColumnOrder();
  // Asks "Vuoi ripristinare le impostazioni predefinite per la griglia corrente?" and on Yes
  // puts the columns back in their order and widths and forgets the remembered layout.
  void AskResetLayout();
  void ResetLayout();
  // Writes the current order and widths (done on close and after every change of them).
  void SaveLayout();

 signals:
  // The current row changed (0: none).
  void currentOidChanged(qint64 oid);
  // Enter or a double click on a row.
  void rowActivated(qint64 oid);

 private:
  std::string LayoutSection() const;
  void ApplyLayout();
  void ApplyDefaultWidths();
  void ApplyDefaultOrder();
  int CurrentModelColumn() const;
  int FirstVisibleColumn() const;
  void Reopen(SelectRequest request, int64_t keepOid);
  void Show(std::unique_ptr<GridModel> model);

  UiServices& ui_;
  platform::SettingsStore& settings_;
  std::unique_ptr<GridModel> model_;
  SelectRequest base_;  // the request as opened, before searches
  bool applyingLayout_ = false;
  // The operator the layout belongs to, taken when the table was opened: a grid closed after a
  // change of operator still writes the layout of the one who arranged it.
  std::string layoutKey_;
  QTimer* saveTimer_ = nullptr;  // layout changes are written once the dragging stops
};

}  // namespace tillbook::engine::ui
