#include "core/ui/qt_startup_windows.h"

#include <QLabel>

#include "core/ui/frmDataIdentity.h"
#include "core/ui/frmMessage.h"
#include "core/ui/frmOptions.h"
#include "core/ui/frmPassword.h"
#include "core/ui/frmSelectOper.h"
#include "core/ui/qt_text.h"

namespace tillbook::ui {

QtStartupWindows::QtStartupWindows(platform::SettingsStore& store, engine::UiServices& ui,
                                   frmMessage& message)
    : store_(store), ui_(ui), message_(message) {}

QtStartupWindows::~QtStartupWindows() {
  delete password_;
  delete identity_;
}

frmPassword* QtStartupWindows::passwordWindow() const {
  return password_;
}

void QtStartupWindows::Dismiss() {
  if (password_) password_->Dismiss();
  delete identity_;
}

bool QtStartupWindows::ShowOptions(core::Configuration& config) {
  Dismiss();
  // The message window would sit over the options: it comes back after them.
  const bool messageShown = message_.isVisible();
  const QString messageText = message_.textLabel()->text();
  message_.hide();
  frmOptions window(config, store_, ui_, {}, owner_);
  const bool ok = window.exec() == QDialog::Accepted;
  if (ok) config = window.Edited();
  if (ok && messageShown) message_.ShowText(messageText);
  return ok;
}

std::optional<core::PasswordEntry> QtStartupWindows::AskPassword(bool application,
                                                                 bool allowChange) {
  if (identity_) identity_->Dismiss();
  // A window kept from an earlier question belongs to the owner of then (the splash).
  if (password_ && password_->parentWidget() != owner_ && !password_->isVisible()) delete password_;
  if (!password_) password_ = new frmPassword(owner_);
  return password_->Ask(application, allowChange);
}

std::optional<size_t> QtStartupWindows::ChooseOperator(const std::vector<std::string>& names) {
  Dismiss();
  frmSelectOper window(names, owner_);
  return window.Choose();
}

bool QtStartupWindows::EditIdentity(core::IdentityValues& values) {
  if (password_) password_->Dismiss();
  if (!identity_)
    identity_ =
        new frmDataIdentity(IdentityCategories(startup_ ? startup_->database() : nullptr), owner_);
  const bool ok = identity_->Edit(values);
  if (!ok) delete identity_;
  return ok;
}

void QtStartupWindows::ShowMessage(const std::string& text) {
  message_.ShowText(Q(text));
}

void QtStartupWindows::HideMessage() {
  message_.hide();
}

}  // namespace tillbook::ui
