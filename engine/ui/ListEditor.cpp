#include "engine/ui/ListEditor.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/text.h"
#include "core/ui/qt_text.h"
#include "engine/catalog.h"
#include "engine/connection.h"
#include "engine/dataset.h"
#include "engine/ui/DataGrid.h"
#include "engine/ui/DataPanel.h"
#include "engine/ui/panel_guard.h"
#include "engine/ui/value_text.h"

namespace tillbook::engine::ui {
namespace {

using tillbook::ui::Q;

// The request showing the rows of `list` for `owner`: an owned list by its owner link, as a
// child data set reads it; a list of existing rows by their identifiers.
SelectRequest ListRequest(const ReferenceInfo& list, const Row& owner) {
  SelectRequest r{list.target->name, {}, {}, {}};
  if (list.kind == RefKind::OwnedList) {
    r.filter = list.declaredIn->name + ".OID=" + std::to_string(owner.Oid());
    return r;
  }
  std::string ids;
  for (const Row& item : owner.List(list.def->name))
    ids += (ids.empty() ? "" : ",") + std::to_string(item.Oid());
  r.filter = ids.empty() ? "OID=0" : "OID In (" + ids + ")";
  return r;
}

// How a row reads in the pick list: its key or first shown field, then the other shown fields.
std::string PickText(const ReferenceInfo& list, const Row& row) {
  std::string out;
  std::string names = list.def->keyField;
  if (!list.def->shownFields.empty()) names += "," + list.def->shownFields;
  for (const std::string& part : text::Split(names, ',')) {
    const std::string name(text::Trim(part));
    const ColumnRef c = name.empty() ? ColumnRef{} : row.table().FindColumn(name);
    if (!c.valid() || !row.table().Column(c).field) continue;
    const std::string t = EditText(row.Get(name), row.table().Column(c).field->type);
    if (t.empty()) continue;
    out += (out.empty() ? "" : " - ") + t;
  }
  return out.empty() ? std::to_string(row.Oid()) : out;
}

constexpr int kPickRows = 500;

}  // namespace

struct ListEditor::Impl {
  Impl(Connection& c, const ReferenceInfo& r, UiServices& u, platform::SettingsStore& s)
      : connection(c), ref(r), ui(u), settings(s) {}
  Connection& connection;
  const ReferenceInfo& ref;
  UiServices& ui;
  platform::SettingsStore& settings;
  std::optional<Row> owner;
  DataGrid* grid = nullptr;
  QPushButton* add = nullptr;
  QPushButton* remove = nullptr;
  bool readOnly = false;
  bool owned() const { return ref.kind == RefKind::OwnedList; }
};

ListEditor::ListEditor(Connection& connection, const ReferenceInfo& reference, UiServices& ui,
                       platform::SettingsStore& settings, QWidget* parent)
    : QWidget(parent), d_(std::make_unique<Impl>(connection, reference, ui, settings)) {
  setObjectName(Q(reference.def->name));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  d_->grid = new DataGrid(ui, settings, this);
  d_->grid->setObjectName(Q(reference.def->name) + QStringLiteral("_grid"));
  layout->addWidget(d_->grid);
  auto* buttons = new QHBoxLayout;
  d_->add = new QPushButton(QStringLiteral("Aggiungi"), this);
  d_->remove = new QPushButton(QStringLiteral("Rimuovi"), this);
  buttons->addWidget(d_->add);
  buttons->addWidget(d_->remove);
  buttons->addStretch(1);
  layout->addLayout(buttons);
  connect(d_->add, &QPushButton::clicked, this, [this] { Guarded(d_->ui, [&] { AddRow(); }); });
  connect(d_->remove, &QPushButton::clicked, this,
          [this] { Guarded(d_->ui, [&] { RemoveSelected(); }); });
  connect(d_->grid, &DataGrid::rowActivated, this, [this](qint64 oid) {
    if (d_->owned()) Guarded(d_->ui, [&] { EditRow(oid); });
  });
  SetRow(std::nullopt);
}

ListEditor::~ListEditor() = default;

DataGrid* ListEditor::grid() const {
  return d_->grid;
}

void ListEditor::SetRow(std::optional<Row> owner) {
  d_->owner = std::move(owner);
  Refresh();
}

void ListEditor::SetReadOnly(bool readOnly) {
  d_->readOnly = readOnly;
  Refresh();
}

void ListEditor::Refresh() {
  const bool editable = d_->owner && !d_->readOnly;
  d_->add->setEnabled(editable);
  d_->remove->setEnabled(editable);
  // A row not yet stored owns nothing yet: its list shows empty until it is saved.
  if (!d_->owner || d_->owner->IsPending()) {
    d_->grid->Close();
    return;
  }
  d_->grid->Open(d_->connection, ListRequest(d_->ref, *d_->owner));
}

bool ListEditor::AddRow() {
  if (!d_->owner || d_->readOnly) return false;
  bool done = false;
  if (d_->owned()) {
    std::optional<Row> child = d_->owner->AddListRow(d_->ref.def->name, /*held=*/true);
    if (child) done = EditRowInDialog(this, d_->connection, *child, d_->ui, d_->settings);
  } else {
    SelectRequest request{
        d_->ref.target->name, d_->owner->SelectionFilter(d_->ref.def->name), {}, {}};
    DataSet set(d_->connection, request);
    std::vector<Row> rows;
    std::vector<std::string> items;
    for (set.First(); !set.IsEOF() && static_cast<int>(rows.size()) < kPickRows; set.Next())
      if (std::optional<Row> r = d_->connection.GetRow(d_->ref.target->name, set.CurrentOid())) {
        rows.push_back(*r);
        items.push_back(PickText(d_->ref, *r));
      }
    const std::string& caption = d_->ref.target->def->Caption;
    auto picked = d_->ui.SelectFromList(caption.empty() ? d_->ref.target->name : caption,
                                        d_->ref.def->description, items);
    if (picked && *picked < rows.size())
      done = d_->owner->AddToList(d_->ref.def->name, rows[*picked]);
  }
  Refresh();
  if (done && changed) changed();
  return done;
}

bool ListEditor::RemoveSelected() {
  if (!d_->owner || d_->readOnly) return false;
  bool any = false;
  for (int64_t oid : d_->grid->SelectedOids()) {
    std::optional<Row> item = d_->connection.GetRow(d_->ref.target->name, oid);
    if (!item) continue;
    any |= d_->owned() ? item->Delete() : d_->owner->RemoveFromList(d_->ref.def->name, *item);
  }
  Refresh();
  if (any && changed) changed();
  return any;
}

void ListEditor::EditRow(int64_t oid) {
  std::optional<Row> item = d_->connection.GetRow(d_->ref.target->name, oid);
  if (!item) return;
  EditRowInDialog(this, d_->connection, *item, d_->ui, d_->settings);
  Refresh();
  if (changed) changed();
}

bool EditRowInDialog(QWidget* parent, Connection& connection, Row row, UiServices& ui,
                     platform::SettingsStore& settings) {
  QDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("RowDialog"));
  const std::string& caption = row.table().def->Caption;
  dialog.setWindowTitle(Q(caption.empty() ? row.TableName() : caption));
  auto* layout = new QVBoxLayout(&dialog);
  auto* panel = new DataPanel(connection, row.TableName(), ui, settings, &dialog);
  panel->SetRow(row);
  layout->addWidget(panel);
  auto* box = new QDialogButtonBox(&dialog);
  box->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  box->addButton(QStringLiteral("Annulla"), QDialogButtonBox::RejectRole);
  layout->addWidget(box);
  QObject::connect(box, &QDialogButtonBox::accepted, &dialog, [&] {
    if (panel->SaveRow()) dialog.accept();
  });
  QObject::connect(box, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  const bool saved = dialog.exec() == QDialog::Accepted;
  if (!saved && row.IsPending()) row.Discard();
  return saved;
}

}  // namespace tillbook::engine::ui
