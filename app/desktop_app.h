// The desktop program put together: the settings file, the UI services and start-up windows on
// Qt, the start-up controller and the main window, in the order start-up needs them (splash,
// configuration and application password, then the main window, whose first activation opens
// the archive and asks the login).
#pragma once

#include <memory>
#include <optional>
#include <string>

namespace tillbook::core {
class Startup;
}
namespace tillbook::platform {
class SettingsStore;
}

namespace tillbook::ui {

class frmMain;
class frmMessage;
class frmSplash;
class QtStartupWindows;
class QtUiServices;

struct DesktopOptions {
  std::string settingsPath;   // the settings file
  std::string programFolder;  // holds "prtct1.sys"
  std::string runtimeFolder;  // holds the single-instance lock
  // The working directory for this session; without one, the stored "RootDir" or, when none is
  // stored, the user's data folder.
  std::optional<std::string> workingDirectory;
};

// The options of a normal start: the XDG settings file, the executable's folder, the runtime
// folder.
DesktopOptions DefaultDesktopOptions();
// $XDG_DATA_HOME/Tillbook, else ~/.local/share/Tillbook: where the archive goes when the person
// has not chosen a working directory yet.
std::string DefaultWorkingDirectory();

class DesktopApp {
 public:
  explicit DesktopApp(DesktopOptions options);
  ~DesktopApp();

  // Splash, configuration, application password, then the main window shown with its first
  // activation queued. False when the program ends here (another copy running, the password
  // refused, settings that cannot be read).
  bool Start();

  frmMain* mainWindow() const { return main_.get(); }
  core::Startup* startup() const { return startup_.get(); }
  platform::SettingsStore* settings() const { return settings_.get(); }

 private:
  DesktopOptions options_;
  std::unique_ptr<platform::SettingsStore> settings_;
  std::unique_ptr<frmMessage> message_;
  std::unique_ptr<QtUiServices> ui_;
  std::unique_ptr<QtStartupWindows> windows_;
  std::unique_ptr<core::Startup> startup_;
  std::unique_ptr<frmSplash> splash_;
  std::unique_ptr<frmMain> main_;
};

}  // namespace tillbook::ui
