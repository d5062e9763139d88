// The main window's fiscal side: the program's fiscal module, the three commands of the tools
// menu (activate or deactivate the register, its options window, reprint of the current sale's
// receipt) and the timer with which the workstation that owns the register serves the receipt
// requests of the others every two seconds.
#pragma once

#include <QObject>
#include <functional>
#include <optional>
#include <string>

#include "fiscal/modFiscalPrinter.h"

class QAction;
class QMainWindow;
class QMenu;
class QTimer;

namespace tillbook::core {
struct Configuration;
}
namespace tillbook::engine {
class Connection;
class UiServices;
}  // namespace tillbook::engine
namespace tillbook::platform {
class SettingsStore;
}

namespace tillbook::ui {

// What the commands need of the program around them. All must outlive the commands.
struct FiscalHost {
  // "FiscalPrinterEnabled" (read and saved), "Use_NoMagazzino", "RootDir" (the data folder).
  core::Configuration& config;
  platform::SettingsStore& store;
  // The archive; nullptr while none is open.
  std::function<engine::Connection*()> connection;
  std::function<std::string()> userName;
  // The conversion currency's name; nullopt when the archive has none.
  std::function<std::optional<std::string>()> conversionCurrency = [] {
    return std::optional<std::string>();
  };
};

class FiscalCommands : public QObject {
  Q_OBJECT
 public:
  // Loads the fiscal settings and adds the commands to `tools`.
  FiscalCommands(QMainWindow& window, QMenu& tools, engine::UiServices& ui, FiscalHost host);
  ~FiscalCommands() override;

  // The archive is open and an operator logged in: the register is set up as the configuration
  // left it, and the spool timer starts.
  void Activated();
  // The row the reprint works on: the main window's current record, nullopt when there is none.
  void SetCurrentRecord(std::function<std::optional<engine::Row>()> current) {
    current_ = std::move(current);
  }

  fiscal::FiscalModule& module() { return module_; }
  QTimer* spoolTimer() const { return timer_; }

  // The commands, as the menu runs them.
  void ToggleActive(bool enable);
  void ShowOptions();
  void Reprint();
  // One tick of the spool timer: serves one request when this workstation has the register.
  void ServeSpool();

 private:
  void PrepareModule();
  void SetWorking(bool working);

  QMainWindow& window_;
  engine::UiServices& ui_;
  FiscalHost host_;
  fiscal::FiscalModule module_;
  QAction* active_;
  QTimer* timer_;
  std::function<std::optional<engine::Row>()> current_;
};

}  // namespace tillbook::ui
