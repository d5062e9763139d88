#include "fiscal/ui/fiscal_commands.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include "core/configuration.h"
#include "engine/row.h"
#include "engine/ui_services.h"
#include "fiscal/fiscal_options.h"
#include "fiscal/request_spool.h"
#include "fiscal/ui/frmFiscalOptions.h"
#include "platform/settings.h"

namespace tillbook::ui {

namespace {
constexpr int kSpoolInterval = 2000;  // ms between two looks at the request folder
}  // namespace

FiscalCommands::FiscalCommands(QMainWindow& window, QMenu& tools, engine::UiServices& ui,
                               FiscalHost host)
    : QObject(&window), window_(window), ui_(ui), host_(std::move(host)) {
  fiscal::LoadFiscalPrinterSettings(host_.store, module_.settings);
  module_.hostName = fiscal::LocalHostName();
  module_.pumpEvents = [] { QCoreApplication::processEvents(); };
  module_.beep = [] { QApplication::beep(); };
  module_.saveEnabled = [this](bool enabled) {
    host_.config.FiscalPrinterEnabled = enabled;
    try {
      core::SaveConfiguration(host_.store, host_.config);
    } catch (const Error& e) {
      ui_.MessageBox(e.message(), engine::Buttons::Ok, engine::Icon::Critical);
    }
  };

  tools.addSeparator();
  active_ = tools.addAction(QStringLiteral("Registratore di cassa &attivo"));
  active_->setObjectName(QStringLiteral("mnuFiscalPrinter"));
  active_->setCheckable(true);
  module_.setMenuChecked = [this](bool checked) { active_->setChecked(checked); };
  // A click has already moved the check mark: its new state is the opposite of the old one.
  connect(active_, &QAction::triggered, this, [this](bool checked) { ToggleActive(checked); });
  QAction* options = tools.addAction(QStringLiteral("&Impostazioni registratore di cassa..."));
  options->setObjectName(QStringLiteral("mnuFiscalSetting"));
  connect(options, &QAction::triggered, this, [this] { ShowOptions(); });
  QAction* reprint = tools.addAction(QStringLiteral("Ristam&pa scontrino"));
  reprint->setObjectName(QStringLiteral("mnuFiscalPrint"));
  connect(reprint, &QAction::triggered, this, [this] { Reprint(); });

  timer_ = new QTimer(this);
  timer_->setObjectName(QStringLiteral("tmPrint"));
  timer_->setInterval(kSpoolInterval);
  connect(timer_, &QTimer::timeout, this, [this] { ServeSpool(); });
}

FiscalCommands::~FiscalCommands() = default;

void FiscalCommands::PrepareModule() {
  module_.dataFolder = host_.config.RootDir;
  module_.userName = host_.userName ? host_.userName() : std::string();
  module_.useNoMagazzino = host_.config.Use_NoMagazzino;
}

void FiscalCommands::Activated() {
  PrepareModule();
  module_.SetFiscalPrinter(host_.config.FiscalPrinterEnabled, ui_);
  timer_->start();
}

void FiscalCommands::ToggleActive(bool enable) {
  PrepareModule();
  module_.SetFiscalPrinter(enable, ui_);
}

void FiscalCommands::ShowOptions() {
  fiscal::FiscalOptionsEditor editor(
      module_, host_.store, ui_,
      host_.conversionCurrency ? host_.conversionCurrency() : std::nullopt);
  {
    frmFiscalOptions window(editor, &window_);
    window.exec();
  }
  PrepareModule();
  fiscal::OfferActivation(module_, ui_);
}

void FiscalCommands::SetWorking(bool working) {
  // The window's own parts, not the window: the busy window and the questions are its children
  // and must stay usable.
  if (QWidget* central = window_.centralWidget()) central->setEnabled(!working);
  window_.menuBar()->setEnabled(!working);
  if (working)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

void FiscalCommands::Reprint() {
  std::optional<engine::Row> sale = current_ ? current_() : std::nullopt;
  if (!sale) return;
  PrepareModule();
  fiscal::ReprintReceipt(module_, *sale, ui_, [this](bool working) { SetWorking(working); });
}

void FiscalCommands::ServeSpool() {
  engine::Connection* connection = host_.connection ? host_.connection() : nullptr;
  if (!connection) return;
  PrepareModule();
  fiscal::TestNetwork_Scontrino(module_, *connection, ui_);
}

}  // namespace tillbook::ui
