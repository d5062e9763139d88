#include "engine/ui/DataPanel.h"

#include <QFormLayout>
#include <QLabel>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "core/ui/qt_text.h"
#include "engine/catalog.h"
#include "engine/connection.h"
#include "engine/ui/ListEditor.h"
#include "engine/ui/ReferenceLookup.h"
#include "engine/ui/field_editor.h"
#include "engine/ui/panel_guard.h"
#include "engine/ui/panel_layout.h"
#include "engine/ui/value_text.h"

namespace tillbook::engine::ui {
namespace {

using tillbook::ui::Q;
using tillbook::ui::S;

// The main group's page has no group name of its own.
const QString kMainPage = QStringLiteral("Generale");

}  // namespace

struct DataPanel::Impl {
  Impl(Connection& c, std::string t, UiServices& u, platform::SettingsStore& s)
      : connection(c), table(std::move(t)), ui(u), settings(s) {}
  Connection& connection;
  std::string table;
  UiServices& ui;
  platform::SettingsStore& settings;
  std::optional<Row> row;

  struct FieldSlot {
    PanelItem item;
    std::unique_ptr<FieldEditor> editor;
  };
  std::vector<FieldSlot> fields;
  std::vector<ReferenceLookup*> lookups;
  std::vector<ListEditor*> lists;
  QTabWidget* tabs = nullptr;
};

DataPanel::DataPanel(Connection& connection, std::string table, UiServices& ui,
                     platform::SettingsStore& settings, QWidget* parent)
    : QWidget(parent), d_(std::make_unique<Impl>(connection, std::move(table), ui, settings)) {
  setObjectName(QStringLiteral("DataPanel"));
  const TableInfo& info = connection.Table(d_->table);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  d_->tabs = new QTabWidget(this);
  layout->addWidget(d_->tabs);

  for (PanelGroup& group : PanelLayout(info)) {
    if (group.items.empty()) continue;
    auto* scroll = new QScrollArea(d_->tabs);
    scroll->setWidgetResizable(true);
    auto* page = new QWidget(scroll);
    auto* form = new QFormLayout(page);
    for (PanelItem& item : group.items) {
      auto* label = new QLabel(Q(item.name), page);
      label->setToolTip(Q(item.description()));
      QWidget* editor = nullptr;
      if (item.field) {
        auto slot = Impl::FieldSlot{item, MakeFieldEditor(*item.field, page)};
        editor = slot.editor->widget();
        slot.editor->committed = [this, name = item.name] { CommitField(name); };
        d_->fields.push_back(std::move(slot));
      } else if (item.reference->def->list) {
        auto* list = new ListEditor(connection, *item.reference, ui, settings, page);
        list->SetReadOnly(item.readOnly);
        list->changed = [this] { ValuesChanged(); };
        d_->lists.push_back(list);
        editor = list;
      } else {
        auto* lookup = new ReferenceLookup(connection, *item.reference, ui, page);
        lookup->SetReadOnly(item.readOnly);
        lookup->changed = [this] { ValuesChanged(); };
        d_->lookups.push_back(lookup);
        editor = lookup;
      }
      editor->setToolTip(Q(item.description()));
      form->addRow(label, editor);
    }
    scroll->setWidget(page);
    d_->tabs->addTab(scroll, group.name.empty() ? kMainPage : Q(group.name));
  }
  ShowRow();
}

DataPanel::~DataPanel() = default;

const std::string& DataPanel::table() const {
  return d_->table;
}
const std::optional<Row>& DataPanel::row() const {
  return d_->row;
}

void DataPanel::SetRow(std::optional<Row> row) {
  // A row of a table extending this one is edited as this table's row.
  if (row && row->TableName() != d_->table) row = row->As(d_->table);
  d_->row = std::move(row);
  ShowRow();
}

bool DataPanel::NewRow() {
  std::optional<Row> row;
  if (!Guarded(d_->ui, [&] { row = d_->connection.NewRow(d_->table); }) || !row) return false;
  SetRow(std::move(row));
  return true;
}

bool DataPanel::SaveRow() {
  if (!d_->row) return false;
  FlushEdits();
  if (!d_->row) return false;
  bool saved = false;
  Guarded(d_->ui, [&] { saved = d_->row->Save(); });
  ShowRow();
  if (saved) emit rowSaved(d_->row->Oid());
  return saved;
}

bool DataPanel::DeleteRow() {
  if (!d_->row) return false;
  bool deleted = false;
  // A new row not stored yet has nothing to delete: it is forgotten.
  if (d_->row->IsPending()) {
    d_->row->Discard();
    deleted = true;
  } else {
    Guarded(d_->ui, [&] { deleted = d_->row->Delete(); });
  }
  if (!deleted) {
    ShowValues();
    return false;
  }
  const int64_t oid = d_->row->Oid();
  SetRow(std::nullopt);
  emit rowDeleted(oid);
  return true;
}

void DataPanel::CancelRow() {
  if (d_->row && d_->row->IsPending()) {
    d_->row->Discard();
    SetRow(std::nullopt);
    return;
  }
  ShowRow();
}

void DataPanel::Refresh() {
  ShowRow();
}

void DataPanel::FlushEdits() {
  for (auto& slot : d_->fields) slot.editor->Flush();
  for (ReferenceLookup* lookup : d_->lookups) lookup->Flush();
}

QWidget* DataPanel::Editor(std::string_view name) const {
  return findChild<QWidget*>(Q(name));
}

void DataPanel::ShowRow() {
  for (ListEditor* list : d_->lists)
    if (!Guarded(d_->ui, [&] { list->SetRow(d_->row); })) list->SetRow(std::nullopt);
  for (ReferenceLookup* lookup : d_->lookups) lookup->SetRow(d_->row);
  ShowValues();
}

void DataPanel::ShowValues() {
  // A row deleted meanwhile (by a hook, by another window) is no longer shown.
  if (d_->row && !d_->row->IsValid()) d_->row.reset();
  for (auto& slot : d_->fields) {
    slot.editor->Show(d_->row ? d_->row->Get(slot.item.name) : Variant());
    slot.editor->SetReadOnly(!d_->row || slot.item.readOnly);
  }
  for (ReferenceLookup* lookup : d_->lookups) lookup->Refresh();
}

void DataPanel::CommitField(const std::string& name) {
  auto slot = std::find_if(d_->fields.begin(), d_->fields.end(),
                           [&](const Impl::FieldSlot& s) { return s.item.name == name; });
  if (!d_->row || slot == d_->fields.end()) return;
  const std::optional<Variant> value = slot->editor->Value();
  if (!value) {
    d_->ui.MessageBox(InvalidValueMessage(S(slot->editor->Text()), name), Buttons::Ok,
                      Icon::Exclamation);
    ShowValues();
    return;
  }
  bool changed = false;
  Guarded(d_->ui, [&] { changed = d_->row->Set(name, *value); });
  // Every shown value is read again: a refusal puts the old one back, a cascade shows at once.
  ShowValues();
  if (changed) emit rowChanged(d_->row->Oid());
}

void DataPanel::ValuesChanged() {
  ShowValues();
  if (d_->row) emit rowChanged(d_->row->Oid());
}

}  // namespace tillbook::engine::ui
