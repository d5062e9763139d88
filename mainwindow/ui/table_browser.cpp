#include "mainwindow/ui/table_browser.h"

#include <QAction>
#include <QCollator>
#include <QHBoxLayout>
#include <QListWidget>
#include <QSplitter>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "base/error.h"
#include "engine/catalog.h"
#include "engine/connection.h"
#include "engine/script_dataset.h"
#include "engine/ui/DataGrid.h"
#include "engine/ui/DataPanel.h"
#include "engine/ui/GridModel.h"
#include "engine/ui_services.h"
#include "platform/instance.h"
#include "printing/ui/qt_print_services.h"

namespace tillbook::ui {

namespace {

QString Q(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

}  // namespace

TableBrowser::TableBrowser(engine::UiServices& ui, platform::SettingsStore& settings,
                           QWidget* parent)
    : QWidget(parent), ui_(ui), settings_(settings) {
  setObjectName(QStringLiteral("tableBrowser"));
  auto* toolbar = new QToolBar(this);
  auto add = [&](const char* name, const QString& text, auto slot) {
    QAction* a = toolbar->addAction(text);
    a->setObjectName(QLatin1String(name));
    connect(a, &QAction::triggered, this, slot);
  };
  add("actBrowserNew", QStringLiteral("Nuovo"), [this] { New(); });
  add("actBrowserSave", QStringLiteral("Salva"), [this] { Save(); });
  add("actBrowserDelete", QStringLiteral("Elimina"), [this] { Delete(); });
  add("actBrowserRefresh", QStringLiteral("Aggiorna"), [this] { Refresh(); });
  add("actBrowserPrint", QStringLiteral("Stampa..."), [this] { Print(false); });
  add("actBrowserPreview", QStringLiteral("Anteprima..."), [this] { Print(true); });

  split_ = new QSplitter(Qt::Horizontal, this);
  tables_ = new QListWidget(split_);
  tables_->setObjectName(QStringLiteral("lstTables"));
  grid_ = new engine::ui::DataGrid(ui_, settings_, split_);
  grid_->setObjectName(QStringLiteral("grdRows"));
  split_->setStretchFactor(1, 3);
  split_->setChildrenCollapsible(false);
  connect(tables_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
    if (item) OpenTable(item->data(Qt::UserRole).toString().toStdString());
  });
  connect(grid_, &engine::ui::DataGrid::currentOidChanged, this, &TableBrowser::ShowRow);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(toolbar);
  layout->addWidget(split_, 1);
}

TableBrowser::~TableBrowser() {
  CloseTable();
}

QAction* TableBrowser::action(const char* name) const {
  return findChild<QAction*>(QLatin1String(name));
}

void TableBrowser::Attach(engine::Connection* connection) {
  const engine::Catalog* catalog = nullptr;
  try {
    if (connection && connection->IsOpen()) catalog = &connection->catalog();
  } catch (const Error&) {
    // An archive without its definitions attached has nothing to browse yet.
  }
  if (connection == connection_ && catalog == catalog_) return;
  if (!table_.empty()) {
    reopen_ = table_;
    reopenOid_ = grid_->CurrentOid();
  }
  CloseTable();
  connection_ = catalog ? connection : nullptr;
  catalog_ = catalog;
  FillTables();
  if (!reopen_.empty() && OpenTable(reopen_)) grid_->SelectOid(reopenOid_);
}

void TableBrowser::FillTables() {
  const QSignalBlocker quiet(tables_);
  tables_->clear();
  if (!catalog_) return;
  struct Entry {
    QString caption;
    QString name;
  };
  std::vector<Entry> entries;
  for (const auto& t : catalog_->tables()) {
    const std::string& caption = t->def->Caption.empty() ? t->name : t->def->Caption;
    entries.push_back({Q(caption), Q(t->name)});
  }
  QCollator collator(QLocale(QLocale::Italian, QLocale::Italy));
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  std::sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
    return collator.compare(a.caption, b.caption) < 0;
  });
  for (const Entry& e : entries) {
    auto* item = new QListWidgetItem(e.caption, tables_);
    item->setData(Qt::UserRole, e.name);
    item->setToolTip(e.name);
  }
}

bool TableBrowser::OpenTable(std::string_view table) {
  if (!connection_ || !catalog_->Find(table)) return false;
  const std::string name = catalog_->Find(table)->name;
  if (name == table_) return true;
  CloseTable();
  try {
    grid_->Open(*connection_, {name, "", "", ""});
  } catch (const Error& e) {
    ui_.Warn(e.message());
    return false;
  }
  table_ = name;
  panel_ = new engine::ui::DataPanel(*connection_, name, ui_, settings_, split_);
  panel_->setObjectName(QStringLiteral("pnlRow"));
  connect(panel_, &engine::ui::DataPanel::rowSaved, this, &TableBrowser::RowSaved);
  ShowRow(grid_->CurrentOid());
  // The list follows a table opened by name.
  const QSignalBlocker quiet(tables_);
  for (int i = 0; i < tables_->count(); ++i)
    if (tables_->item(i)->data(Qt::UserRole).toString() == Q(name)) tables_->setCurrentRow(i);
  return true;
}

void TableBrowser::CloseTable() {
  if (panel_) {
    // A new row left unsaved is forgotten with the table.
    panel_->CancelRow();
    delete panel_;
    panel_ = nullptr;
  }
  grid_->Close();
  table_.clear();
}

void TableBrowser::ShowRow(int64_t oid) {
  if (!panel_) return;
  if (panel_->row() && panel_->row()->IsPending()) panel_->CancelRow();
  panel_->SetRow(oid ? connection_->GetRow(table_, oid) : std::nullopt);
}

void TableBrowser::RowSaved(int64_t oid) {
  grid_->Refresh();
  grid_->SelectOid(oid);
}

void TableBrowser::New() {
  if (panel_) panel_->NewRow();
}

bool TableBrowser::Save() {
  return panel_ && panel_->SaveRow();
}

void TableBrowser::Delete() {
  if (!panel_) return;
  // A new row not saved yet is simply forgotten.
  if (panel_->row() && panel_->row()->IsPending()) {
    panel_->CancelRow();
    ShowRow(grid_->CurrentOid());
    return;
  }
  const std::vector<int64_t> oids = grid_->SelectedOids();
  if (oids.empty()) return;
  if (ui_.MessageBox("Confermi l'eliminazione dei dati selezionati ?", engine::Buttons::OkCancel,
                     engine::Icon::Question) != engine::Answer::Ok)
    return;
  panel_->SetRow(std::nullopt);
  ui_.ProgressStart("Eliminazione in corso...", static_cast<int>(oids.size()));
  bool stopped = false;
  for (size_t i = 0; i < oids.size(); ++i) {
    try {
      // Each row is its own action: a refusal (shown by the engine) keeps that row only.
      if (auto row = connection_->GetRow(table_, oids[i])) row->Delete();
    } catch (const Error& e) {
      ui_.Warn(e.message());
    }
    if (!ui_.ProgressStep(static_cast<int>(i + 1))) {
      stopped = true;
      break;
    }
  }
  ui_.ProgressEnd();
  if (stopped) ui_.Inform("Operazione interrotta");
  grid_->Refresh();
  ShowRow(grid_->CurrentOid());
}

void TableBrowser::Refresh() {
  if (!panel_) return;
  grid_->Refresh();
  panel_->Refresh();
}

void TableBrowser::Print(bool preview) {
  if (!panel_) return;
  if (!print_)
    print_ = printing::ui::MakeQtPrintServices(ui_, {this, platform::ProgramFolder(), {}, {}});
  const engine::ui::GridModel& model = *grid_->gridModel();
  // Every column, not only the grid's: a layout's script may read any field of the row.
  engine::SelectRequest request = model.request();
  request.fields.clear();
  printing::PrintRequest run;
  run.preview = preview;
  const std::vector<int64_t> selected = grid_->SelectedOids();
  if (selected.size() > 1) {
    std::vector<int64_t> positions;
    for (int64_t oid : selected)
      if (const int row = model.RowOfOid(oid); row >= 0) positions.push_back(row);
    std::sort(positions.begin(), positions.end());
    run.selection = std::move(positions);
  }
  try {
    printing::ReportSource source;
    source.connection = connection_;
    source.rows = std::make_shared<engine::ScriptDataSet>(*connection_, request);
    // The grid and the data set read the same request, so a grid row is a data set position.
    source.rows->dataSet().Move(std::max(0, model.RowOfOid(grid_->CurrentOid())));
    printing::PrintCustomReport(*print_, source, std::move(run));
  } catch (const Error& e) {
    ui_.Warn(e.message());
  }
  // A layout may mark rows as printed.
  Refresh();
}

}  // namespace tillbook::ui
