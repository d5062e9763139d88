#include "core/ui/frmSelectOper.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/ui/qt_text.h"

namespace tillbook::ui {

frmSelectOper::frmSelectOper(const std::vector<std::string>& names, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("frmSelectOper"));
  setWindowTitle(QStringLiteral("Selezione operatore"));
  setWindowIcon(ProgramIcon());
  auto* layout = new QVBoxLayout(this);
  auto* label = new QLabel(QStringLiteral("&Operatore:"), this);
  layout->addWidget(label);
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("lstOperatori"));
  for (const auto& n : names) list_->addItem(Q(n));
  if (!names.empty()) list_->setCurrentRow(0);
  label->setBuddy(list_);
  layout->addWidget(list_);
  auto* buttons = new QDialogButtonBox(this);
  auto* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  ok->setDefault(true);
  ok->setEnabled(!names.empty());
  buttons->addButton(QStringLiteral("Annulla"), QDialogButtonBox::RejectRole);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(list_, &QListWidget::itemActivated, this, &QDialog::accept);
  resize(300, 260);
}

std::optional<size_t> frmSelectOper::Choose() {
  list_->setFocus();
  if (exec() != QDialog::Accepted || list_->currentRow() < 0) return std::nullopt;
  return static_cast<size_t>(list_->currentRow());
}

}  // namespace tillbook::ui
