#include "app/desktop_app.h"

#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "base/error.h"
#include "core/startup.h"
#include "core/ui/focus_return.h"
#include "core/ui/frmMessage.h"
#include "core/ui/frmSplash.h"
#include "core/ui/qt_startup_windows.h"
#include "core/ui/qt_text.h"
#include "core/ui/qt_ui_services.h"
#include "mainwindow/ui/frmMain.h"
#include "platform/files.h"
#include "platform/instance.h"
#include "platform/settings.h"

namespace tillbook::ui {

DesktopOptions DefaultDesktopOptions() {
  DesktopOptions o;
  o.settingsPath = platform::DefaultSettingsPath();
  o.programFolder = platform::ProgramFolder();
  o.runtimeFolder = platform::RuntimeFolder();
  return o;
}

std::string DefaultWorkingDirectory() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data && *data) return (std::filesystem::path(data) / "Tillbook").string();
  const char* home = std::getenv("HOME");
  return (std::filesystem::path(home && *home ? home : ".") / ".local" / "share" / "Tillbook")
      .string();
}

DesktopApp::DesktopApp(DesktopOptions options) : options_(std::move(options)) {}

DesktopApp::~DesktopApp() {
  // The main window refers to the controller and the services: it goes first.
  main_.reset();
}

bool DesktopApp::Start() {
  FocusReturn::Install();
  message_ = std::make_unique<frmMessage>();
  ui_ = std::make_unique<QtUiServices>(*message_);
  try {
    const auto folder = std::filesystem::path(options_.settingsPath).parent_path();
    if (!folder.empty()) platform::MakeDirectories(folder.string());
    auto ini = std::make_unique<platform::IniSettings>(options_.settingsPath);
    for (const auto& line : ini->ProblemMessages()) std::fprintf(stderr, "%s\n", line.c_str());
    settings_ = std::move(ini);
  } catch (const Error& e) {
    ui_->MessageBox(e.message(), engine::Buttons::Ok, engine::Icon::Critical, 0, {});
    return false;
  }
  windows_ = std::make_unique<QtStartupWindows>(*settings_, *ui_, *message_);
  startup_ = std::make_unique<core::Startup>(*settings_, *ui_, *windows_, options_.programFolder,
                                             options_.runtimeFolder);
  windows_->SetStartup(startup_.get());
  splash_ = std::make_unique<frmSplash>(QStringLiteral(TILLBOOK_VERSION));
  splash_->ShowNow();
  windows_->SetOwner(splash_.get());
  bool ok = false;
  try {
    ok = startup_->Main();
  } catch (const Error& e) {
    ui_->MessageBox(e.message(), engine::Buttons::Ok, engine::Icon::Critical, 0, {});
  }
  windows_->Dismiss();
  if (!ok) {
    splash_->close();
    return false;
  }
  if (options_.workingDirectory) {
    startup_->config().RootDir = std::filesystem::absolute(*options_.workingDirectory).string();
  } else if (!settings_->Get(core::kSectionConfiguration, "RootDir")) {
    // The executable's folder is rarely writable once installed: a first start proposes the
    // user's data folder instead.
    startup_->config().RootDir = DefaultWorkingDirectory();
  }
  main_ = std::make_unique<frmMain>(*startup_, *ui_, *windows_, *settings_);
  main_->ShowAtRememberedPlace();
  splash_->close();
  splash_.reset();
  QTimer::singleShot(0, main_.get(), &frmMain::Activated);
  return true;
}

}  // namespace tillbook::ui
