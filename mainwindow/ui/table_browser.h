// TableBrowser: the archive's tables by caption, the grid of the table chosen and the data panel
// of its current row beside it, with the commands New, Save, Delete, Refresh, Print and Preview
// (the table's report layouts run on the grid's rows). It fills the
// main window's list pane until the section tree and its views take that place.
#pragma once

#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "printing/modCustomReport.h"

class QAction;
class QListWidget;
class QSplitter;

namespace tillbook::engine {
class Catalog;
class Connection;
class UiServices;
namespace ui {
class DataGrid;
class DataPanel;
}  // namespace ui
}  // namespace tillbook::engine

namespace tillbook::platform {
class SettingsStore;
}

namespace tillbook::ui {

class TableBrowser : public QWidget {
  Q_OBJECT
 public:
  // Questions and messages go through `ui`; grid layouts are remembered in `settings`. Both must
  // outlive the browser.
  TableBrowser(engine::UiServices& ui, platform::SettingsStore& settings,
               QWidget* parent = nullptr);
  ~TableBrowser() override;

  // The archive to browse; nullptr shows nothing (while a command may close the archive).
  // Attaching another archive lists its tables and opens the table shown before, if it has it,
  // on the row that was current.
  void Attach(engine::Connection* connection);

  // Opens a table's grid and panel (as choosing it in the list does); false for a table the
  // archive does not have.
  bool OpenTable(std::string_view table);
  const std::string& currentTable() const { return table_; }

  QListWidget* tableList() const { return tables_; }
  engine::ui::DataGrid* grid() const { return grid_; }
  engine::ui::DataPanel* panel() const { return panel_; }
  QAction* action(const char* name) const;

  // The commands.
  void New();
  bool Save();
  // Deletes the selected rows (the current one when none is selected) after the confirmation,
  // one by one through the engine, with the progress window and its Stop button.
  void Delete();
  void Refresh();
  // Runs the table's report layout on the grid's rows as sorted and filtered there, standing on
  // the grid's current row; with more than one row selected, on the selected rows only. The
  // preview shows the pages first and prints them if asked to.
  void Print(bool preview);

  // The printers, print dialog and preview the print commands use; the desktop's own (the
  // installed printers, the program folder) unless replaced.
  void SetPrintServices(printing::PrintServices services) { print_ = std::move(services); }

 private:
  void FillTables();
  void CloseTable();
  void ShowRow(int64_t oid);
  void RowSaved(int64_t oid);

  engine::UiServices& ui_;
  platform::SettingsStore& settings_;
  engine::Connection* connection_ = nullptr;
  const engine::Catalog* catalog_ = nullptr;  // the definitions the list was made from
  std::string table_;
  // What to show again once an archive is attached after none (a command closed it meanwhile).
  std::string reopen_;
  int64_t reopenOid_ = 0;
  QListWidget* tables_;
  QSplitter* split_;
  engine::ui::DataGrid* grid_;
  engine::ui::DataPanel* panel_ = nullptr;
  std::optional<printing::PrintServices> print_;  // made at the first print
};

}  // namespace tillbook::ui
