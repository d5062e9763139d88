#include "core/ui/frmPassword.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/ui/qt_text.h"

namespace tillbook::ui {

frmPassword::frmPassword(QWidget* parent) : StayOpenDialog(parent) {
  setObjectName(QStringLiteral("frmPassword"));
  setWindowIcon(ProgramIcon());
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  password_ = new QLineEdit(this);
  password_->setObjectName(QStringLiteral("txtPassword"));
  password_->setEchoMode(QLineEdit::Password);
  password_->setMinimumWidth(220);
  form->addRow(QStringLiteral("&Password:"), password_);
  change_ = new QCheckBox(QStringLiteral("&Cambia password"), this);
  change_->setObjectName(QStringLiteral("chkChange"));
  form->addRow(QString(), change_);
  newPassword_ = new QLineEdit(this);
  newPassword_->setObjectName(QStringLiteral("txtNewPassword"));
  newPassword_->setEchoMode(QLineEdit::Password);
  newLabel_ = new QLabel(QStringLiteral("&Nuova password:"), this);
  newLabel_->setBuddy(newPassword_);
  form->addRow(newLabel_, newPassword_);
  confirmation_ = new QLineEdit(this);
  confirmation_->setObjectName(QStringLiteral("txtConfirm"));
  confirmation_->setEchoMode(QLineEdit::Password);
  confirmLabel_ = new QLabel(QStringLiteral("C&onferma password:"), this);
  confirmLabel_->setBuddy(confirmation_);
  form->addRow(confirmLabel_, confirmation_);
  layout->addLayout(form);
  auto* buttons = new QDialogButtonBox(this);
  auto* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  ok->setObjectName(QStringLiteral("cmdOK"));
  ok->setDefault(true);
  buttons->addButton(QStringLiteral("Annulla"), QDialogButtonBox::RejectRole)
      ->setObjectName(QStringLiteral("cmdCancel"));
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(change_, &QCheckBox::toggled, this, [this] { UpdateChangeFields(); });
  setTabOrder(password_, change_);
  setTabOrder(change_, newPassword_);
  setTabOrder(newPassword_, confirmation_);
  UpdateChangeFields();
}

void frmPassword::UpdateChangeFields() {
  const bool on = change_->isChecked();
  newPassword_->setEnabled(on);
  confirmation_->setEnabled(on);
  newLabel_->setEnabled(on);
  confirmLabel_->setEnabled(on);
}

std::optional<core::PasswordEntry> frmPassword::Ask(bool application, bool allowChange) {
  setWindowTitle(application ? QStringLiteral("Password applicazione")
                             : QStringLiteral("Password operatore"));
  if (!isVisible()) {
    password_->clear();
    newPassword_->clear();
    confirmation_->clear();
    change_->setChecked(false);
    change_->setVisible(allowChange);
    newLabel_->setVisible(allowChange);
    newPassword_->setVisible(allowChange);
    confirmLabel_->setVisible(allowChange);
    confirmation_->setVisible(allowChange);
    adjustSize();
  } else {
    password_->selectAll();
  }
  password_->setFocus();
  if (!WaitForAnswer()) return std::nullopt;
  core::PasswordEntry entry;
  entry.password = S(password_->text());
  entry.change = allowChange && change_->isChecked();
  if (entry.change) {
    entry.newPassword = S(newPassword_->text());
    entry.confirmation = S(confirmation_->text());
  }
  return entry;
}

}  // namespace tillbook::ui
