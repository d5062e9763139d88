// The main window as the program's shell: the title with the operator, the menus and tool bar
// of the options, the configuration file, the repair, the identity data, the operator change
// and the exit; the status bar; the notification-area icon; the splitter that holds the section
// tree and the lists. Its first activation opens the archive and asks the login; its closing
// remembers its place and releases the archive.
#pragma once

#include <QMainWindow>

#include "core/startup.h"

class QAction;
class QLabel;
class QSplitter;
class QSystemTrayIcon;
class QTreeWidget;

namespace tillbook::platform {
class SettingsStore;
}

namespace tillbook::ui {

class FiscalCommands;
class QtStartupWindows;
class QtUiServices;
class TableBrowser;

class frmMain : public QMainWindow {
  Q_OBJECT
 public:
  frmMain(core::Startup& startup, QtUiServices& ui, QtStartupWindows& windows,
          platform::SettingsStore& store, QWidget* parent = nullptr);
  ~frmMain() override;

  // Shows the window where the settings left it (maximised when it was).
  void ShowAtRememberedPlace();
  // The activation: with no archive open, the bootstrap and the login. On a refusal the window
  // closes and the program ends.
  void Activated();
  void RefreshTitle();

  QSplitter* splitter() const { return splitter_; }
  QAction* action(const char* name) const;
  // The window is ready for work: the archive is open and an operator logged in.
  bool ready() const { return ready_; }

 signals:
  // The first paint after the window became ready.
  void readyAndPainted();

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QAction* AddAction(QMenu* menu, const char* name, const QString& text, const QKeySequence& key,
                     void (frmMain::*slot)());
  void BuildMenus();
  void BuildTray();
  void Options();
  void AdvancedOptions();
  void ExportConfiguration();
  void ImportConfiguration();
  void Repair();
  void IdentityData();
  void ChangeOperator();
  void ChangeOperatorPassword();
  void ChangeApplicationPassword();
  void About();
  void EndProgram();
  double Dpi() const;

  core::Startup& startup_;
  QtUiServices& ui_;
  QtStartupWindows& windows_;
  platform::SettingsStore& store_;
  QSplitter* splitter_;
  QTreeWidget* sections_;
  TableBrowser* browser_;
  QLabel* operatorLabel_;
  QLabel* dateLabel_;
  QSystemTrayIcon* tray_ = nullptr;
  FiscalCommands* fiscal_ = nullptr;  // the register's commands and the spool timer
  // The place as read, so that a window left where it was writes back the same twips rather
  // than the same place rounded through pixels.
  core::MainWindowState loaded_;
  QRect loadedRect_;
  bool splitMoved_ = false;  // the person moved the splitter
  bool activating_ = false;
  int commandsRunning_ = 0;  // a command may release the archive while it works
  bool closing_ = false;
  bool ready_ = false;
  bool paintedReady_ = false;
};

}  // namespace tillbook::ui
