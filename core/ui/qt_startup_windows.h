// The start-up windows on Qt, as the start-up controller asks for them: the options window of a
// missing archive, the password window, the operator choice, the identity window and the
// message window. The password and identity windows stay open between refused entries;
// Dismiss() closes them once the controller has what it needs.
#pragma once

#include <QPointer>

#include "core/startup.h"

class QWidget;

namespace tillbook::platform {
class SettingsStore;
}

namespace tillbook::ui {

class frmDataIdentity;
class frmMessage;
class frmPassword;

class QtStartupWindows : public core::StartupWindows {
 public:
  QtStartupWindows(platform::SettingsStore& store, engine::UiServices& ui, frmMessage& message);
  ~QtStartupWindows() override;

  // The controller, for the archive's category list; the owner of the windows (the main window
  // once loaded, the splash before).
  void SetStartup(core::Startup* startup) { startup_ = startup; }
  void SetOwner(QWidget* owner) { owner_ = owner; }

  bool ShowOptions(core::Configuration& config) override;
  std::optional<core::PasswordEntry> AskPassword(bool application, bool allowChange) override;
  std::optional<size_t> ChooseOperator(const std::vector<std::string>& names) override;
  bool EditIdentity(core::IdentityValues& values) override;
  void ShowMessage(const std::string& text) override;
  void HideMessage() override;

  // Closes the password and identity windows left open after an accepted entry.
  void Dismiss();

  frmPassword* passwordWindow() const;

 private:
  platform::SettingsStore& store_;
  engine::UiServices& ui_;
  frmMessage& message_;
  core::Startup* startup_ = nullptr;
  QPointer<QWidget> owner_;
  // Owned by their owner window as well: a window that outlives its owner (the splash) is gone
  // with it, and the pointers say so.
  QPointer<frmPassword> password_;
  QPointer<frmDataIdentity> identity_;
};

}  // namespace tillbook::ui
