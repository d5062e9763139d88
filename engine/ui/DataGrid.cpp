#include "engine/ui/DataGrid.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "base/error.h"
#include "base/text.h"
#include "engine/connection.h"
#include "engine/dataset.h"
#include "engine/catalog.h"
#include "engine/ui/GridModel.h"
#include "engine/ui/panel_layout.h"
#include "engine/ui_services.h"
#include "platform/settings.h"

namespace tillbook::engine::ui {

namespace {

// The text between '*' wildcards read literally: the dialect's own wildcards are bracketed and
// quotes doubled inside the quoted literal.
std::string LikeLiteral(std::string_view text) {
  std::string out = "'*";
  for (char c : text) {
    if (c == '*' || c == '?' || c == '#' || c == '[') {
      out += '[';
      out += c;
      out += ']';
    } else if (c == '\'') {
      out += "''";
    } else {
      out += c;
    }
  }
  return out + "*'";
}

// A key the settings store can hold, whatever the operator's name.
std::string SettingsKey(std::string name) {
  if (name.empty()) return "-";
  for (char& c : name)
    if (c == '=' || c == '[' || c == ']' || c == '\n' || c == '\r') c = '_';
  return name;
}

std::string AndFilters(const std::string& a, const std::string& b) {
  if (text::Trim(a).empty()) return b;
  if (text::Trim(b).empty()) return a;
  return "(" + a + ") AND (" + b + ")";
}

}  // namespace

DataGrid::DataGrid(UiServices& ui, platform::SettingsStore& settings, QWidget* parent)
    : QTableView(parent), ui_(ui), settings_(settings) {
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setWordWrap(false);
  setAlternatingRowColors(true);
  // Row heights never depend on contents: a view of millions of rows sizes nothing row by row.
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->hide();
  QHeaderView* header = horizontalHeader();
  header->setSectionsMovable(true);
  header->setSectionsClickable(true);
  header->setHighlightSections(false);
  // A width fitted to contents would read the rows of every page to measure them.
  header->setResizeContentsPrecision(0);

  saveTimer_ = new QTimer(this);
  saveTimer_->setSingleShot(true);
  saveTimer_->setInterval(400);
  connect(saveTimer_, &QTimer::timeout, this, &DataGrid::SaveLayout);
  auto layoutChanged = [this] {
    if (!applyingLayout_ && model_) saveTimer_->start();
  };
  connect(header, &QHeaderView::sectionMoved, this, layoutChanged);
  connect(header, &QHeaderView::sectionResized, this, layoutChanged);
  connect(header, &QHeaderView::sectionClicked, this, &DataGrid::SortByColumn);
  connect(this, &QAbstractItemView::activated, this,
          [this](const QModelIndex& index) { emit rowActivated(model_->OidAt(index.row())); });

  auto command = [this](const QString& text, void (DataGrid::*slot)()) {
    auto* action = new QAction(text, this);
    connect(action, &QAction::triggered, this, slot);
    addAction(action);
  };
  command(QStringLiteral("Cerca nella colonna..."), &DataGrid::AskSearch);
  command(QStringLiteral("Totale colonna"), &DataGrid::ShowColumnTotal);
  command(QStringLiteral("Media colonna"), &DataGrid::ShowColumnMean);
  command(QStringLiteral("Sequenza di Visualizzazione Campi"), &DataGrid::EditColumnOrder);
  command(QStringLiteral("Ripristina griglia"), &DataGrid::AskResetLayout);
  setContextMenuPolicy(Qt::ActionsContextMenu);
}

DataGrid::~DataGrid() {
  Close();
}

void DataGrid::Open(Connection& connection, SelectRequest request) {
  auto model = std::make_unique<GridModel>(connection, std::move(request));
  base_ = model->request();
  Show(std::move(model));
}

void DataGrid::OpenChildren(Connection& connection, const Row& parent, std::string_view reference) {
  auto model =
      std::make_unique<GridModel>(connection, DataSet::Children(connection, parent, reference));
  base_ = model->request();
  Show(std::move(model));
}

void DataGrid::Close() {
  if (!model_) return;
  SaveLayout();
  QItemSelectionModel* selection = selectionModel();
  setModel(nullptr);
  delete selection;
  model_.reset();
}

void DataGrid::Show(std::unique_ptr<GridModel> model) {
  const bool sameTable = model_ && model_->table() == model->table();
  if (model_ && !sameTable) SaveLayout();
  saveTimer_->stop();
  QItemSelectionModel* old = selectionModel();
  applyingLayout_ = true;
  setModel(model.get());
  delete old;
  model_ = std::move(model);
  connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            emit currentOidChanged(current.isValid() ? model_->OidAt(current.row()) : 0);
          });
  for (int c = 0; c < model_->columnCount(); ++c) setColumnHidden(c, model_->IsHiddenColumn(c));
  applyingLayout_ = false;
  if (!sameTable) {
    layoutKey_ = SettingsKey(model_->connection().Operator);
    ApplyLayout();
  }
  if (model_->rowCount() > 0) setCurrentIndex(model_->index(0, FirstVisibleColumn()));
}

int DataGrid::FirstVisibleColumn() const {
  const QHeaderView* header = horizontalHeader();
  for (int v = 0; v < header->count(); ++v) {
    const int logical = header->logicalIndex(v);
    if (!isColumnHidden(logical)) return logical;
  }
  return 0;
}

int64_t DataGrid::CurrentOid() const {
  const QModelIndex current = currentIndex();
  return model_ && current.isValid() ? model_->OidAt(current.row()) : 0;
}

bool DataGrid::SelectOid(int64_t oid) {
  if (!model_ || oid == 0) return false;
  const int row = model_->RowOfOid(oid);
  if (row < 0) return false;
  const int column = currentIndex().isValid() ? currentIndex().column() : FirstVisibleColumn();
  setCurrentIndex(model_->index(row, column));
  scrollTo(currentIndex());
  return true;
}

std::vector<int64_t> DataGrid::SelectedOids() const {
  std::vector<int64_t> oids;
  if (!model_) return oids;
  QModelIndexList rows = selectionModel()->selectedRows();
  std::sort(rows.begin(), rows.end(),
            [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
  for (const QModelIndex& index : rows) oids.push_back(model_->OidAt(index.row()));
  if (oids.empty() && CurrentOid() != 0) oids.push_back(CurrentOid());
  return oids;
}

void DataGrid::Refresh() {
  if (!model_) return;
  const QModelIndex current = currentIndex();
  const int64_t oid = CurrentOid();
  model_->Refresh();
  if (model_->rowCount() == 0) return;
  // Most refreshes follow an edit of the current row: it is usually still where it was.
  const int column = current.isValid() ? current.column() : FirstVisibleColumn();
  if (current.isValid() && model_->OidAt(current.row()) == oid) {
    setCurrentIndex(model_->index(current.row(), column));
    scrollTo(currentIndex());
  } else if (!SelectOid(oid)) {
    const int row = current.isValid() ? std::min(current.row(), model_->rowCount() - 1) : 0;
    setCurrentIndex(model_->index(row, column));
  }
}

void DataGrid::Reopen(SelectRequest request, int64_t keepOid) {
  const int column = CurrentModelColumn();
  Show(std::make_unique<GridModel>(model_->connection(), std::move(request)));
  if (!SelectOid(keepOid) && model_->rowCount() > 0)
    setCurrentIndex(model_->index(0, column >= 0 ? column : FirstVisibleColumn()));
  else if (column >= 0 && currentIndex().isValid())
    setCurrentIndex(model_->index(currentIndex().row(), column));
}

int DataGrid::CurrentModelColumn() const {
  const QModelIndex current = currentIndex();
  return current.isValid() ? current.column() : -1;
}

void DataGrid::SortByColumn(int column) {
  if (!model_ || column < 0 || column >= model_->columnCount()) return;
  const std::string& name = model_->ColumnName(column);
  const std::string current(text::Trim(model_->request().sort));
  // Only a sort by this single column toggles; a list of several keys gives way to it.
  const bool descending =
      text::EqualNoCase(current, name) || text::EqualNoCase(current, name + " ASC");
  SelectRequest request = model_->request();
  request.sort = name + (descending ? " DESC" : " ASC");
  try {
    Reopen(request, CurrentOid());
  } catch (const Error& e) {
    ui_.Warn(e.message());
    return;
  }
  horizontalHeader()->setSortIndicatorShown(true);
  horizontalHeader()->setSortIndicator(column,
                                       descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

bool DataGrid::SearchInColumn(int column, const std::string& text) {
  if (!model_ || column < 0 || column >= model_->columnCount()) return false;
  const std::string condition =
      text.empty() ? std::string() : model_->ColumnName(column) + " Like " + LikeLiteral(text);
  SelectRequest request = base_;
  request.sort = model_->request().sort;
  request.filter = AndFilters(base_.filter, condition);
  try {
    if (!condition.empty() && DataSet(model_->connection(), request).IsEmpty()) {
      ui_.MessageBox("Ricerca in " + model_->ColumnCaption(column).toStdString() + " '" + text +
                         "' non trovato",
                     Buttons::Ok, Icon::Information);
      return false;
    }
    Reopen(request, CurrentOid());
  } catch (const Error& e) {
    ui_.Warn(e.message());
    return false;
  }
  return true;
}

void DataGrid::AskSearch() {
  const int column = CurrentModelColumn();
  if (column < 0) return;
  const auto answer = ui_.InputBox(
      "Testo da cercare in " + model_->ColumnCaption(column).toStdString() + ":", "Ricerca");
  if (answer) SearchInColumn(column, *answer);
}

std::string DataGrid::ColumnTotalText(int column) const {
  const Variant total = Aggregate(model_->connection(), model_->table(), AggregateKind::Sum,
                                  model_->ColumnName(column), model_->request().filter);
  return "Totale < " + model_->ColumnCaption(column).toStdString() + " >\n\n" +
         GridModel::FormatValue(total, model_->ColumnType(column)).toStdString();
}

std::string DataGrid::ColumnMeanText(int column) const {
  const Variant mean = Aggregate(model_->connection(), model_->table(), AggregateKind::Avg,
                                 model_->ColumnName(column), model_->request().filter);
  // The mean of whole numbers has decimals; amounts stay amounts.
  const auto type = model_->ColumnType(column) == FieldType::Money
                        ? std::optional<FieldType>(FieldType::Money)
                        : std::optional<FieldType>(FieldType::Number);
  return "Media < " + model_->ColumnCaption(column).toStdString() + " >\n\n" +
         GridModel::FormatValue(mean, type).toStdString();
}

void DataGrid::ShowColumnTotal() {
  const int column = CurrentModelColumn();
  if (column < 0) return;
  try {
    ui_.MessageBox(ColumnTotalText(column), Buttons::Ok, Icon::Information);
  } catch (const Error& e) {
    ui_.Warn(e.message());
  }
}

void DataGrid::ShowColumnMean() {
  const int column = CurrentModelColumn();
  if (column < 0) return;
  try {
    ui_.MessageBox(ColumnMeanText(column), Buttons::Ok, Icon::Information);
  } catch (const Error& e) {
    ui_.Warn(e.message());
  }
}

std::vector<std::string> DataGrid::ColumnOrder() const {
  std::vector<std::string> names;
  if (!model_) return names;
  const QHeaderView* header = horizontalHeader();
  for (int v = 0; v < header->count(); ++v) {
    const int logical = header->logicalIndex(v);
    if (!isColumnHidden(logical)) names.push_back(model_->ColumnName(logical));
  }
  return names;
}

void DataGrid::SetColumnOrder(const std::vector<std::string>& names) {
  if (!model_) return;
  QHeaderView* header = horizontalHeader();
  const bool wasApplying = applyingLayout_;
  applyingLayout_ = true;
  int place = 0;
  for (const std::string& name : names) {
    const int logical = model_->ColumnIndex(name);
    if (logical < 0 || isColumnHidden(logical)) continue;
    // Hidden columns keep their places at the front of the order out of the way.
    while (place < header->count() && isColumnHidden(header->logicalIndex(place))) ++place;
    header->moveSection(header->visualIndex(logical), place++);
  }
  applyingLayout_ = wasApplying;
  if (!applyingLayout_) SaveLayout();
}

std::string DataGrid::LayoutSection() const {
  return "Griglia " + model_->table();
}

void DataGrid::SaveLayout() {
  if (!model_) return;
  saveTimer_->stop();
  std::string value;
  for (const std::string& name : ColumnOrder()) {
    const int logical = model_->ColumnIndex(name);
    if (!value.empty()) value += ',';
    value += name + ':' + std::to_string(columnWidth(logical));
  }
  if (settings_.GetOr(LayoutSection(), layoutKey_, "") != value)
    settings_.Set(LayoutSection(), layoutKey_, value);
}

void DataGrid::ApplyLayout() {
  applyingLayout_ = true;
  ApplyDefaultWidths();
  const auto stored = settings_.Get(LayoutSection(), layoutKey_);
  if (stored) {
    std::vector<std::string> order;
    for (const std::string& item : text::Split(*stored, ',')) {
      const size_t colon = item.rfind(':');
      if (colon == std::string::npos) continue;
      const std::string name = item.substr(0, colon);
      const int logical = model_->ColumnIndex(name);
      if (logical < 0) continue;
      order.push_back(name);
      const int width = std::atoi(item.c_str() + colon + 1);
      if (width > 0) setColumnWidth(logical, width);
    }
    SetColumnOrder(order);
  } else {
    ApplyDefaultOrder();
  }
  applyingLayout_ = false;
}

// Columns as the table's definition presents its items (its field order first, as the data panel
// shows them), so a grid never opened before starts with the code and the name.
void DataGrid::ApplyDefaultOrder() {
  QHeaderView* header = horizontalHeader();
  for (int logical = 0; logical < model_->columnCount(); ++logical)
    header->moveSection(header->visualIndex(logical), logical);
  const Catalog& catalog = model_->connection().catalog();
  if (catalog.Find(model_->table()) == nullptr) return;
  SetColumnOrder(PresentationOrder(model_->connection().Table(model_->table())));
}

void DataGrid::ApplyDefaultWidths() {
  const QFontMetrics metrics(horizontalHeader()->font());
  for (int c = 0; c < model_->columnCount(); ++c)
    setColumnWidth(c,
                   std::clamp(metrics.horizontalAdvance(model_->ColumnCaption(c)) + 28, 80, 260));
}

void DataGrid::ResetLayout() {
  if (!model_) return;
  applyingLayout_ = true;
  ApplyDefaultOrder();
  ApplyDefaultWidths();
  applyingLayout_ = false;
  saveTimer_->stop();
  settings_.Delete(LayoutSection(), layoutKey_);
}

void DataGrid::AskResetLayout() {
  if (!model_) return;
  if (ui_.AskYesNo("Vuoi ripristinare le impostazioni predefinite per la griglia corrente?"))
    ResetLayout();
}

void DataGrid::EditColumnOrder() {
  if (!model_) return;
  QDialog dialog(this);
  dialog.setObjectName(QStringLiteral("dlgColumnOrder"));
  dialog.setWindowTitle(QStringLiteral("Sequenza di Visualizzazione Campi"));
  auto* list = new QListWidget(&dialog);
  list->setObjectName(QStringLiteral("lstColumns"));
  for (const std::string& name : ColumnOrder()) {
    auto* item = new QListWidgetItem(model_->ColumnCaption(model_->ColumnIndex(name)), list);
    item->setData(Qt::UserRole, QString::fromStdString(name));
  }
  list->setCurrentRow(0);
  auto move = [list](int by) {
    const int row = list->currentRow();
    const int to = row + by;
    if (row < 0 || to < 0 || to >= list->count()) return;
    list->insertItem(to, list->takeItem(row));
    list->setCurrentRow(to);
  };
  auto* up = new QPushButton(QStringLiteral("Su"), &dialog);
  auto* down = new QPushButton(QStringLiteral("Giù"), &dialog);
  connect(up, &QPushButton::clicked, &dialog, [move] { move(-1); });
  connect(down, &QPushButton::clicked, &dialog, [move] { move(1); });
  auto* buttons = new QDialogButtonBox(&dialog);
  buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QStringLiteral("Annulla"), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  auto* side = new QVBoxLayout;
  side->addWidget(up);
  side->addWidget(down);
  side->addStretch();
  auto* row = new QHBoxLayout;
  row->addWidget(list);
  row->addLayout(side);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addLayout(row);
  layout->addWidget(buttons);
  if (dialog.exec() != QDialog::Accepted) return;
  std::vector<std::string> order;
  for (int i = 0; i < list->count(); ++i)
    order.push_back(list->item(i)->data(Qt::UserRole).toString().toStdString());
  SetColumnOrder(order);
}

}  // namespace tillbook::engine::ui
