// The program's life cycle as a controller: start-up (single instance, configuration,
// application password), the archive's bootstrap (creation, older-layout conversion, definition,
// identity), the operator's login, release and reload of the archive, repair, the options'
// confirmation and the closing. It talks to the person through the UI services and asks for the
// program's windows through StartupWindows, so the desktop program and the tests drive the same
// code.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/variant.h"
#include "core/configuration.h"
#include "core/identity.h"
#include "core/password.h"

namespace tillbook::engine {
class Connection;
class Database;
class UiServices;
}  // namespace tillbook::engine
namespace tillbook::platform {
class SettingsStore;
class SingleInstanceLock;
}  // namespace tillbook::platform

namespace tillbook::core {

// The windows start-up needs. Each returns what the person did; none decides anything.
class StartupWindows {
 public:
  virtual ~StartupWindows() = default;
  // The options window shown when the archive is missing: the person may change `config`
  // (the working directory above all). False when left without confirming.
  virtual bool ShowOptions(Configuration& config) = 0;
  // The password window; `application` tells the application password from an operator's,
  // `allowChange` whether the new-password box is offered. nullopt when cancelled. It is asked
  // again after every refused entry.
  virtual std::optional<PasswordEntry> AskPassword(bool application, bool allowChange) = 0;
  // The operator choice: index into `names`, nullopt when cancelled.
  virtual std::optional<size_t> ChooseOperator(const std::vector<std::string>& names) = 0;
  // The identity window over `values`; false when closed without storing.
  virtual bool EditIdentity(IdentityValues& values) = 0;
  // The small message window ("Inizializzazione del database...").
  virtual void ShowMessage(const std::string& text) = 0;
  virtual void HideMessage() = 0;
};

// The main window's place as the closing writes it.
struct MainWindowState {
  int State = 0;  // 0 normal, 1 minimised, 2 maximised
  int Left = 1000, Top = 1000, Width = 6500, Height = 6500, Split = 3500;
};

class Startup {
 public:
  // `programFolder` holds the password file and is the default working directory;
  // `runtimeFolder` holds the single-instance lock. All references must outlive the controller.
  Startup(platform::SettingsStore& settings, engine::UiServices& ui, StartupWindows& windows,
          std::string programFolder, std::string runtimeFolder);
  ~Startup();

  // Single-instance guard, configuration, application password. False: the program ends.
  bool Main();
  // The main window's activation: with no archive open, the bootstrap (a failure is reported
  // and start-up goes on) and the login. False: the program ends.
  bool Activate();
  // Opens or creates the archive. False on failure (lastError() says why) or when the person
  // left the options window of a missing archive (endRequested()).
  bool InitDatabase();
  // Chooses the operator (when asked), checks the password and sets the access level.
  bool UserLogin(bool chooseOperator, int passwordOption);
  void ReleaseDatabase();
  // The next Activate opens the archive and asks the login again.
  void ReloadDatabase();
  // The "Ripristino" command; true when the archive was compacted.
  bool Repair();
  // The options window's OK: asks "Confermi ?", stores `edited`; a new working directory
  // reopens the archive from it. False when not confirmed or when the program must end.
  bool ConfirmOptions(const Configuration& edited);
  // The advanced options window's OK: stores `edited`; a change of the table list makes the next
  // definition check every table (StructureChanged).
  void ConfirmAdvancedOptions(const Configuration& edited);
  // "Salva Configurazione": the reminder that unconfirmed edits are not exported, then the file.
  // False (after saying why) when it cannot be written.
  bool ExportConfiguration(const std::string& path);
  // "Carica Configurazione"; false (after saying why) when it stopped. The values take effect at
  // the next LoadConfiguration.
  bool ImportConfiguration(const std::string& path);
  // The closing sequence: remembers the main window, releases the archive and the guard.
  void Close(const MainWindowState& window);
  // The password window with the new-password box, for the application password.
  bool ChangeApplicationPassword();

  Configuration& config() { return config_; }
  engine::Connection* connection() { return connection_.get(); }
  engine::Database* database() { return database_.get(); }
  const std::string& Operator() const { return operator_; }
  const Variant& OperatorKey() const { return operatorKey_; }
  // Today as text ("dd/mm/yyyy"), taken at the first activation.
  const std::string& DateOfDay() const { return dateOfDay_; }
  bool endRequested() const { return endRequested_; }
  const std::string& lastError() const { return lastError_; }
  // Options that change the table list were changed: the next definition checks every table.
  bool StructureChanged = false;

  std::string DatabasePath() const;
  std::string PasswordFilePath() const;

 private:
  void OpenDatabase(bool& created);
  void ConvertOlderLayout();
  // The password window until it accepts or is cancelled; without `expected` it checks the
  // application password. With no password and option 0 it asks nothing.
  bool ValidatePassword(const std::optional<std::string>& expected, int option,
                        std::function<void(const std::string&)> store);
  void EnsureIdentity(bool created);

  platform::SettingsStore& settings_;
  engine::UiServices& ui_;
  StartupWindows& windows_;
  std::string programFolder_;
  std::unique_ptr<platform::SingleInstanceLock> lock_;
  Configuration config_;
  std::unique_ptr<engine::Connection> connection_;
  std::unique_ptr<engine::Database> database_;
  std::string operator_;
  Variant operatorKey_ = Variant::Null();
  bool endRequested_ = false;
  std::string lastError_;
  std::string dateOfDay_;
};

}  // namespace tillbook::core
