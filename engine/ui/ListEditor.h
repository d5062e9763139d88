// ListEditor: a list reference of the row in a data panel, as a sub-grid with Add and Remove.
// An owned list makes its rows inside the owner: Add opens the new row in a window of its own
// (OK saves it, Annulla forgets it) and Remove deletes the chosen rows with their hooks. A list
// that is not owned links rows that exist already: Add lets the person pick one of the rows the
// selection filter allows, Remove unlinks the chosen rows. Double-clicking an owned row opens it
// for editing.
#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "engine/row.h"

namespace tillbook::engine {
class Connection;
class UiServices;
struct ReferenceInfo;
}  // namespace tillbook::engine

namespace tillbook::platform {
class SettingsStore;
}

namespace tillbook::engine::ui {

class DataGrid;

class ListEditor : public QWidget {
  Q_OBJECT
 public:
  ListEditor(Connection& connection, const ReferenceInfo& reference, UiServices& ui,
             platform::SettingsStore& settings, QWidget* parent = nullptr);
  ~ListEditor() override;

  // The owner row (nullopt: an empty, disabled list).
  void SetRow(std::optional<Row> owner);
  void Refresh();
  void SetReadOnly(bool readOnly);

  // The Add command. Owned list: a new row, edited in the row window; true when it was saved.
  // List of existing rows: the person picks one; true when it was linked.
  bool AddRow();
  // The Remove command on the grid's selected rows; true when at least one went.
  bool RemoveSelected();
  // Opens an owned list's row for editing in the row window.
  void EditRow(int64_t oid);

  DataGrid* grid() const;

  // After rows were added, removed or edited.
  std::function<void()> changed;

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
};

// Edits `row` in a modal window holding a data panel for its table ("RowDialog"): OK saves the
// row (refused: the window stays), Annulla forgets a row not yet saved. On a stored row each
// edit is already its own action, so Annulla only skips the save hook. True when saved.
bool EditRowInDialog(QWidget* parent, Connection& connection, Row row, UiServices& ui,
                     platform::SettingsStore& settings);

}  // namespace tillbook::engine::ui
