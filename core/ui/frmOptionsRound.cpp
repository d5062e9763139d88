#include "core/ui/frmOptionsRound.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "core/ui/qt_text.h"
#include "platform/settings.h"

namespace tillbook::ui {

QLineEdit* NewAmountField(QWidget* parent, const QString& name) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(name);
  field->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral("-?[0-9]{0,10}([.,][0-9]{0,2})?")), field));
  field->setPlaceholderText(QStringLiteral("0,00"));
  field->setAlignment(Qt::AlignRight);
  return field;
}

frmOptionsRound::frmOptionsRound(core::Configuration& config, platform::SettingsStore& store,
                                 engine::UiServices& ui, QWidget* parent)
    : QDialog(parent), config_(config), store_(store), editor_(config.RoundRanges, ui) {
  setObjectName(QStringLiteral("frmOptionsRound"));
  setWindowTitle(QStringLiteral("Fasce di arrotondamento"));
  setWindowIcon(ProgramIcon());
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  from_ = NewAmountField(this, QStringLiteral("mskFrom"));
  to_ = NewAmountField(this, QStringLiteral("mskTo"));
  step_ = NewAmountField(this, QStringLiteral("mskRound"));
  const std::pair<QString, QLineEdit*> fields[] = {{QStringLiteral("&Da prezzo:"), from_},
                                                   {QStringLiteral("&A prezzo:"), to_},
                                                   {QStringLiteral("A&rrotonda a:"), step_}};
  int column = 0;
  for (const auto& [text, field] : fields) {
    auto* label = new QLabel(text, this);
    label->setBuddy(field);
    grid->addWidget(label, 0, column);
    grid->addWidget(field, 1, column++);
  }
  add_ = new QPushButton(QStringLiteral("A&ggiungi"), this);
  add_->setObjectName(QStringLiteral("cmdAdd"));
  grid->addWidget(add_, 1, column);
  layout->addLayout(grid);
  auto* listLabel = new QLabel(QStringLiteral("&Fasce:"), this);
  layout->addWidget(listLabel);
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("lstRound"));
  listLabel->setBuddy(list_);
  layout->addWidget(list_);
  auto* buttons = new QDialogButtonBox(this);
  remove_ = buttons->addButton(QStringLiteral("&Elimina"), QDialogButtonBox::ActionRole);
  remove_->setObjectName(QStringLiteral("cmdRemove"));
  buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)
      ->setObjectName(QStringLiteral("cmdOK"));
  buttons->addButton(QStringLiteral("Annulla"), QDialogButtonBox::RejectRole);
  layout->addWidget(buttons);
  connect(add_, &QPushButton::clicked, this, [this] { Add(); });
  connect(remove_, &QPushButton::clicked, this, [this] { Remove(); });
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  // Enter in a field adds the range rather than closing the window.
  for (auto* b : buttons->buttons()) static_cast<QPushButton*>(b)->setAutoDefault(false);
  add_->setDefault(true);
  setTabOrder(from_, to_);
  setTabOrder(to_, step_);
  setTabOrder(step_, add_);
  setTabOrder(add_, list_);
  Refill();
  resize(460, 320);
}

frmOptionsRound::~frmOptionsRound() = default;

void frmOptionsRound::Refill() {
  list_->clear();
  for (const auto& line : editor_.Lines()) list_->addItem(Q(line));
}

void frmOptionsRound::Add() {
  if (editor_.Add(S(from_->text()), S(to_->text()), S(step_->text()))) {
    Refill();
    from_->clear();
    to_->clear();
  }
  from_->setFocus();
}

void frmOptionsRound::Remove() {
  const int row = list_->currentRow();
  if (row < 0) return;
  editor_.Remove(static_cast<size_t>(row));
  Refill();
  list_->setCurrentRow(std::min(row, list_->count() - 1));
}

void frmOptionsRound::accept() {
  if (editor_.Confirm(store_, config_)) QDialog::accept();
}

}  // namespace tillbook::ui
