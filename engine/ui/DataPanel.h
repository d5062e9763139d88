// DataPanel: the editor of one row of a table, generated from the table's definition. Items
// come in the table's field order, grouped by their group name (one tab per group, the main
// group first); each type code has its editor, references are look-ups showing the referenced
// row's key and shown fields, lists are sub-grids with add and remove. Every edit is one engine
// action, so the table's hooks run: a refusal or a No puts the old value back (the engine shows
// the message through the UI services), and after each change every shown value is read again,
// so a cascade (a price changing the final price) is visible at once.
//
// The panel also carries the row commands a browser binds to its buttons (new, save, delete,
// cancel). It asks no confirmation of its own: the browser asks before deleting selected rows,
// the hooks ask theirs.
#pragma once

#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "engine/row.h"

namespace tillbook::engine {
class Connection;
class UiServices;
}  // namespace tillbook::engine

namespace tillbook::platform {
class SettingsStore;
}

namespace tillbook::engine::ui {

class DataPanel : public QWidget {
  Q_OBJECT
 public:
  // A panel for rows of `table` (rows of tables extending it are shown as `table` rows). `ui`
  // shows the panel's own messages (a value that does not convert, a key that names no row,
  // a failed save); the hooks' refusals and questions go through the connection's services.
  // `settings` keeps the layouts of the sub-grids (as DataGrid does). All must outlive the panel.
  // Throws Error for an unknown table.
  DataPanel(Connection& connection, std::string table, UiServices& ui,
            platform::SettingsStore& settings, QWidget* parent = nullptr);
  ~DataPanel() override;

  const std::string& table() const;

  // Shows `row` (nullopt: no row, every editor empty and disabled). A new row still waiting
  // for its save stays pending: the caller saves or cancels it.
  void SetRow(std::optional<Row> row);
  const std::optional<Row>& row() const;

  // Starts a new row (the table's defaults, pending until SaveRow) and shows it; false when a
  // hook refused it.
  bool NewRow();
  // Saves the shown row (OnUpdateRow; a new row is stored, its unique keys checked), after
  // handing over an edit still being typed. False when refused or when the archive refused it
  // (the message shown); the row stays shown.
  bool SaveRow();
  // Deletes the shown row with the rows it owns; false when a hook refused. The panel then
  // shows no row.
  bool DeleteRow();
  // Forgets a new row not yet saved (no hook runs) and shows no row; a stored row is only
  // read again.
  void CancelRow();
  // Reads every shown value again (after a change made elsewhere).
  void Refresh();

  // The editor of a field or reference by name (its object name is the name), nullptr when the
  // item is hidden or unknown. For focus handling and tests.
  QWidget* Editor(std::string_view name) const;

 signals:
  // A value of the shown row changed, with its hooks' cascade.
  void rowChanged(qint64 oid);
  void rowSaved(qint64 oid);
  void rowDeleted(qint64 oid);

 private:
  void ShowRow();     // every editor, lists and look-ups included, for the current row
  void ShowValues();  // the values of fields and references again
  void CommitField(const std::string& name);
  void ValuesChanged();
  void FlushEdits();  // edits typed but not yet handed over (straight to Save)

  struct Impl;
  std::unique_ptr<Impl> d_;
};

}  // namespace tillbook::engine::ui
