#include "engine/ui/ReferenceLookup.h"

#include <QCompleter>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QToolButton>

#include "base/error.h"
#include "base/text.h"
#include "core/ui/qt_text.h"
#include "engine/catalog.h"
#include "engine/connection.h"
#include "engine/dataset.h"
#include "engine/ui/panel_guard.h"
#include "engine/ui/value_text.h"
#include "engine/ui_services.h"

namespace tillbook::engine::ui {
namespace {

using tillbook::ui::Q;
using tillbook::ui::S;

constexpr int kPopupRows = 20;
constexpr int kListRows = 500;
constexpr int kCodeRole = Qt::UserRole + 1;
constexpr int kOidRole = Qt::UserRole + 2;

std::string JetText(std::string_view s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("''") : std::string(1, c);
  return out + "'";
}

std::string Both(const std::string& a, const std::string& b) {
  if (text::Trim(a).empty()) return b;
  if (text::Trim(b).empty()) return a;
  return "(" + a + ") AND (" + b + ")";
}

bool IsWholeNumber(const std::string& s) {
  return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos && s.size() < 18;
}

std::vector<std::string> ShownNames(const ReferenceInfo& ref) {
  std::vector<std::string> names;
  for (const std::string& part : text::Split(ref.def->shownFields, ','))
    if (!text::Trim(part).empty()) names.emplace_back(text::Trim(part));
  return names;
}

// The field the person types to name a row: the key field, else the first shown field that is
// a field of the referenced table (a town by its name), else the row identifier (empty).
std::string CodeField(const ReferenceInfo& ref) {
  if (!ref.def->keyField.empty()) return ref.def->keyField;
  for (const std::string& name : ShownNames(ref)) {
    const ColumnRef c = ref.target->FindColumn(name);
    if (c.valid() && ref.target->Column(c).field) return name;
  }
  return {};
}

// How an item of a referenced row reads: a field as its editor shows it, a reference by its
// own code.
std::string ItemText(const Row& row, const std::string& name) {
  const TableInfo& t = row.table();
  if (const ReferenceInfo* r = t.FindReference(name)) {
    if (r->def->list) return {};
    std::optional<Row> target = row.Reference(name);
    if (!target) return {};
    const std::string code = CodeField(*r);
    return code.empty() ? std::to_string(target->Oid()) : ItemText(*target, code);
  }
  const ColumnRef c = t.FindColumn(name);
  if (!c.valid() || !t.Column(c).field) return {};
  return EditText(row.Get(name), t.Column(c).field->type);
}

}  // namespace

struct ReferenceLookup::Impl {
  Impl(Connection& c, const ReferenceInfo& r, UiServices& u)
      : connection(c), ref(r), ui(u), codeField(CodeField(r)) {}
  Connection& connection;
  const ReferenceInfo& ref;
  UiServices& ui;
  std::string codeField;
  std::optional<Row> row;
  QLineEdit* edit = nullptr;
  QLabel* shown = nullptr;
  QToolButton* list = nullptr;
  QToolButton* create = nullptr;
  QCompleter* completer = nullptr;
  QStandardItemModel* popup = nullptr;
  QString shownCode;
  bool readOnly = false;

  std::string CodeOf(const Row& target) const {
    return codeField.empty() ? std::to_string(target.Oid()) : ItemText(target, codeField);
  }
  std::string ShownOf(const Row& target) const {
    std::string out;
    for (const std::string& name : ShownNames(ref)) {
      if (text::EqualNoCase(name, codeField)) continue;
      const std::string t = ItemText(target, name);
      if (t.empty()) continue;
      if (!out.empty()) out += " - ";
      out += t;
    }
    return out;
  }
  // The rows allowed for the reference narrowed by `condition`, as choices.
  std::vector<Choice> Rows(const std::string& condition, int limit) {
    std::vector<Choice> out;
    if (!row) return out;
    DataSet set(connection,
                {ref.target->name, Both(row->SelectionFilter(ref.def->name), condition), {}, {}});
    for (set.First(); !set.IsEOF() && static_cast<int>(out.size()) < limit; set.Next()) {
      std::optional<Row> r = connection.GetRow(ref.target->name, set.CurrentOid());
      if (r) out.push_back({r->Oid(), CodeOf(*r), ShownOf(*r)});
    }
    return out;
  }
  std::string Equals(const std::string& typed) const {
    if (codeField.empty()) return IsWholeNumber(typed) ? "OID=" + typed : "OID=0";
    return "[" + codeField + "]=" + JetText(typed);
  }
  std::string StartsWith(const std::string& typed) const {
    if (typed.empty()) return {};
    if (codeField.empty()) return IsWholeNumber(typed) ? "OID=" + typed : "OID=0";
    return "[" + codeField + "] Like " + JetText(typed + "*");
  }
};

ReferenceLookup::ReferenceLookup(Connection& connection, const ReferenceInfo& reference,
                                 UiServices& ui, QWidget* parent)
    : QWidget(parent), d_(std::make_unique<Impl>(connection, reference, ui)) {
  setObjectName(Q(reference.def->name));
  auto* line = new QHBoxLayout(this);
  line->setContentsMargins(0, 0, 0, 0);
  d_->edit = new QLineEdit(this);
  d_->edit->setObjectName(Q(reference.def->name) + QStringLiteral("_code"));
  d_->shown = new QLabel(this);
  d_->shown->setObjectName(Q(reference.def->name) + QStringLiteral("_shown"));
  d_->list = new QToolButton(this);
  d_->list->setText(QStringLiteral("..."));
  d_->list->setToolTip(QStringLiteral("Scegli dall'elenco"));
  line->addWidget(d_->edit);
  line->addWidget(d_->list);
  line->addWidget(d_->shown, 1);
  if (reference.kind == RefKind::OwnedSingle) {
    d_->create = new QToolButton(this);
    d_->create->setText(QStringLiteral("Nuovo"));
    line->addWidget(d_->create);
    connect(d_->create, &QToolButton::clicked, this, [this] {
      if (!d_->row || d_->readOnly) return;
      Guarded(d_->ui, [&] {
        if (d_->row->NewReferencedRow(d_->ref.def->name) && changed) changed();
      });
      Refresh();
    });
  }

  d_->popup = new QStandardItemModel(this);
  d_->completer = new QCompleter(d_->popup, this);
  d_->completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
  d_->completer->setCompletionRole(kCodeRole);
  d_->edit->setCompleter(d_->completer);

  connect(d_->edit, &QLineEdit::textEdited, this, [this](const QString& typed) {
    if (d_->readOnly) return;
    d_->popup->clear();
    std::vector<Choice> choices;
    Guarded(d_->ui, [&] { choices = Choices(S(typed), kPopupRows); });
    for (const Choice& c : choices) {
      auto* item = new QStandardItem(Q(c.shown.empty() ? c.code : c.code + "  " + c.shown));
      item->setData(Q(c.code), kCodeRole);
      item->setData(QVariant::fromValue<qint64>(c.oid), kOidRole);
      d_->popup->appendRow(item);
    }
    if (d_->popup->rowCount() > 0) d_->completer->complete();
  });
  connect(d_->completer, qOverload<const QModelIndex&>(&QCompleter::activated), this,
          [this](const QModelIndex& index) {
            Guarded(d_->ui, [&] { Choose(index.data(kOidRole).toLongLong()); });
          });
  connect(d_->edit, &QLineEdit::editingFinished, this, [this] { Flush(); });
  connect(d_->list, &QToolButton::clicked, this, [this] {
    if (!d_->row || d_->readOnly) return;
    std::vector<Choice> choices;
    if (!Guarded(d_->ui, [&] { choices = Choices({}, kListRows); })) return;
    std::vector<std::string> items;
    for (const Choice& c : choices)
      items.push_back(c.shown.empty() ? c.code : c.code + " - " + c.shown);
    auto picked = d_->ui.SelectFromList(
        d_->ref.target->def->Caption.empty() ? d_->ref.target->name : d_->ref.target->def->Caption,
        d_->ref.def->description, items);
    if (picked && *picked < choices.size()) Guarded(d_->ui, [&] { Choose(choices[*picked].oid); });
  });
  SetRow(std::nullopt);
}

ReferenceLookup::~ReferenceLookup() = default;

void ReferenceLookup::SetRow(std::optional<Row> row) {
  d_->row = std::move(row);
  Refresh();
}

void ReferenceLookup::Refresh() {
  std::optional<Row> target = d_->row ? d_->row->Reference(d_->ref.def->name) : std::nullopt;
  d_->shownCode = target ? Q(d_->CodeOf(*target)) : QString();
  d_->edit->setText(d_->shownCode);
  d_->shown->setText(target ? Q(d_->ShownOf(*target)) : QString());
  const bool editable = d_->row && !d_->readOnly;
  d_->edit->setReadOnly(!editable);
  d_->list->setEnabled(editable);
  if (d_->create) d_->create->setEnabled(editable && !target);
}

void ReferenceLookup::SetReadOnly(bool readOnly) {
  d_->readOnly = readOnly;
  Refresh();
}

void ReferenceLookup::Flush() {
  if (d_->readOnly || d_->edit->text() == d_->shownCode) return;
  // Taken as shown first: a message box opened by the change takes the focus away, and that
  // must not hand the same text over twice.
  d_->shownCode = d_->edit->text();
  if (!Guarded(d_->ui, [&] { ChooseByText(S(d_->edit->text())); })) Refresh();
}

std::vector<ReferenceLookup::Choice> ReferenceLookup::Choices(const std::string& typed, int limit) {
  return d_->Rows(d_->StartsWith(std::string(text::Trim(typed))), limit);
}

bool ReferenceLookup::Choose(int64_t oid) {
  if (!d_->row) return false;
  const bool done = d_->row->SetReferenceOid(d_->ref.def->name, oid);
  Refresh();
  if (done && changed) changed();
  return done;
}

bool ReferenceLookup::ChooseByText(const std::string& typed) {
  const std::string code(text::Trim(typed));
  if (!d_->row) return false;
  if (code.empty()) return Choose(0);
  std::vector<Choice> matches = d_->Rows(d_->Equals(code), kListRows);
  if (matches.size() == 1) return Choose(matches.front().oid);
  if (matches.empty()) {
    const std::string field = d_->codeField.empty() ? "OID" : d_->codeField;
    d_->ui.MessageBox(
        "Nessun elemento di " + d_->ref.target->name + " con " + field + " = " + code + ".",
        Buttons::Ok, Icon::Exclamation);
    Refresh();
    return false;
  }
  std::vector<std::string> items;
  for (const Choice& c : matches) items.push_back(c.code + " - " + c.shown);
  auto picked = d_->ui.SelectFromList(d_->ref.target->name, d_->ref.def->description, items);
  if (!picked || *picked >= matches.size()) {
    Refresh();
    return false;
  }
  return Choose(matches[*picked].oid);
}

QLineEdit* ReferenceLookup::codeEdit() const {
  return d_->edit;
}
QString ReferenceLookup::shownText() const {
  return d_->shown->text();
}

}  // namespace tillbook::engine::ui
