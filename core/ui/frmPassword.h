// The password window: the password and, when a change is offered, the box that opens the new
// password and its confirmation. It only collects what was typed; the checks and the messages
// are the password logic's.
#pragma once

#include <optional>

#include "core/password.h"
#include "core/ui/stay_open_dialog.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace tillbook::ui {

class frmPassword : public StayOpenDialog {
  Q_OBJECT
 public:
  explicit frmPassword(QWidget* parent = nullptr);

  // Shows the window for the application password or an operator's and waits for OK (the
  // entry; the window stays open) or Cancel (nullopt; the window closes). After a refused entry
  // the password is selected for typing again.
  std::optional<core::PasswordEntry> Ask(bool application, bool allowChange);

  QLineEdit* passwordField() const { return password_; }
  QCheckBox* changeBox() const { return change_; }
  QLineEdit* newPasswordField() const { return newPassword_; }
  QLineEdit* confirmationField() const { return confirmation_; }

 private:
  void UpdateChangeFields();

  QLineEdit* password_;
  QCheckBox* change_;
  QLabel* newLabel_;
  QLabel* confirmLabel_;
  QLineEdit* newPassword_;
  QLineEdit* confirmation_;
};

}  // namespace tillbook::ui
