#include "mainwindow/ui/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <cstdio>

#include "core/identity.h"
#include "core/startup.h"
#include "core/ui/frmDataIdentity.h"
#include "core/ui/frmOptions.h"
#include "core/ui/frmOptionsAdvanced.h"
#include "core/ui/qt_startup_windows.h"
#include "core/ui/qt_text.h"
#include "core/ui/qt_ui_services.h"
#include "fiscal/ui/fiscal_commands.h"
#include "mainwindow/ui/main_window_place.h"
#include "mainwindow/ui/table_browser.h"
#include "platform/clock.h"
#include "platform/settings.h"

namespace tillbook::ui {

namespace {
constexpr const char* kTextFilter = "Formato testo (txt) (*.txt)";
constexpr const char* kToolbarKey = "MainToolbar";
}  // namespace

frmMain::frmMain(core::Startup& startup, QtUiServices& ui, QtStartupWindows& windows,
                 platform::SettingsStore& store, QWidget* parent)
    : QMainWindow(parent), startup_(startup), ui_(ui), windows_(windows), store_(store) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowIcon(ProgramIcon());
  splitter_ = new QSplitter(Qt::Horizontal, this);
  splitter_->setObjectName(QStringLiteral("splMain"));
  sections_ = new QTreeWidget(splitter_);
  sections_->setObjectName(QStringLiteral("tvwSections"));
  sections_->setHeaderHidden(true);
  browser_ = new TableBrowser(ui_, store_, splitter_);
  splitter_->setChildrenCollapsible(false);
  // The panes settle by a pixel or two as the window lays out; only a move by the person is a
  // new place to remember.
  connect(splitter_, &QSplitter::splitterMoved, this, [this] { splitMoved_ = true; });
  setCentralWidget(splitter_);
  operatorLabel_ = new QLabel(this);
  dateLabel_ = new QLabel(this);
  statusBar()->addPermanentWidget(operatorLabel_);
  statusBar()->addPermanentWidget(dateLabel_);
  ui_.SetStatusSink([this](const QString& text) { statusBar()->showMessage(text); });
  BuildMenus();
  BuildTray();
  installEventFilter(this);
  RefreshTitle();
}

frmMain::~frmMain() {
  ui_.SetStatusSink(nullptr);
}

QAction* frmMain::AddAction(QMenu* menu, const char* name, const QString& text,
                            const QKeySequence& key, void (frmMain::*slot)()) {
  auto* a = menu->addAction(text);
  a->setObjectName(QLatin1String(name));
  if (!key.isEmpty()) a->setShortcut(key);
  connect(a, &QAction::triggered, this, [this, slot] {
    // Commands run one at a time, and no activation opens the archive while one runs.
    if (commandsRunning_ > 0 || activating_) return;
    ++commandsRunning_;
    browser_->Attach(nullptr);  // the command may close or replace the archive
    (this->*slot)();
    browser_->Attach(startup_.connection());
    --commandsRunning_;
  });
  return a;
}

QAction* frmMain::action(const char* name) const {
  return findChild<QAction*>(QLatin1String(name));
}

void frmMain::BuildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  AddAction(file, "mnuChangeOperator", QStringLiteral("Cambia &operatore..."),
            QKeySequence(Qt::CTRL | Qt::Key_L), &frmMain::ChangeOperator);
  AddAction(file, "mnuOperatorPassword", QStringLiteral("Cambia &password operatore..."), {},
            &frmMain::ChangeOperatorPassword);
  AddAction(file, "mnuApplicationPassword", QStringLiteral("Cambia password &applicazione..."), {},
            &frmMain::ChangeApplicationPassword);
  file->addSeparator();
  AddAction(file, "mnuIdentity", QStringLiteral("&Dati identificativi..."),
            QKeySequence(Qt::CTRL | Qt::Key_I), &frmMain::IdentityData);
  file->addSeparator();
  AddAction(file, "mnuExit", QStringLiteral("&Esci"), QKeySequence(Qt::CTRL | Qt::Key_Q),
            &frmMain::EndProgram);
  QMenu* tools = menuBar()->addMenu(QStringLiteral("&Strumenti"));
  AddAction(tools, "mnuOptions", QStringLiteral("&Opzioni..."), QKeySequence(Qt::Key_F12),
            &frmMain::Options);
  AddAction(tools, "mnuAdvancedOptions", QStringLiteral("Opzioni a&vanzate..."),
            QKeySequence(Qt::SHIFT | Qt::Key_F12), &frmMain::AdvancedOptions);
  tools->addSeparator();
  AddAction(tools, "mnuExportConfiguration", QStringLiteral("&Salva Configurazione..."), {},
            &frmMain::ExportConfiguration);
  AddAction(tools, "mnuImportConfiguration", QStringLiteral("&Carica Configurazione..."), {},
            &frmMain::ImportConfiguration);
  tools->addSeparator();
  AddAction(tools, "mnuRepair", QStringLiteral("&Ripristino database..."), {}, &frmMain::Repair);
  fiscal_ = new FiscalCommands(
      *this, *tools, ui_,
      FiscalHost{startup_.config(), store_, [this] { return startup_.connection(); },
                 [this] { return startup_.Operator(); }});
  QMenu* help = menuBar()->addMenu(QStringLiteral("&?"));
  AddAction(help, "mnuAbout", QStringLiteral("&Informazioni su ") + ProgramTitle() + "...",
            QKeySequence(Qt::Key_F1), &frmMain::About);

  QToolBar* bar = addToolBar(QStringLiteral("Strumenti"));
  bar->setObjectName(QStringLiteral("tbrMain"));
  bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  const std::pair<const char*, QStyle::StandardPixmap> buttons[] = {
      {"mnuOptions", QStyle::SP_FileDialogDetailedView},
      {"mnuIdentity", QStyle::SP_FileDialogInfoView},
      {"mnuChangeOperator", QStyle::SP_DirHomeIcon},
      {"mnuExit", QStyle::SP_DialogCloseButton}};
  for (const auto& [name, icon] : buttons) {
    QAction* a = action(name);
    a->setIcon(style()->standardIcon(icon));
    bar->addAction(a);
  }
}

void frmMain::BuildTray() {
  if (!QSystemTrayIcon::isSystemTrayAvailable()) return;
  tray_ = new QSystemTrayIcon(ProgramIcon(), this);
  tray_->setToolTip(ProgramTitle());
  connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
    if (r != QSystemTrayIcon::DoubleClick && r != QSystemTrayIcon::Trigger) return;
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
  });
  tray_->show();
}

double frmMain::Dpi() const {
  const QScreen* s = screen() ? screen() : QApplication::primaryScreen();
  return s ? s->logicalDotsPerInch() : 96.0;
}

void frmMain::ShowAtRememberedPlace() {
  const core::MainWindowState place = ReadMainWindowState(store_);
  const double dpi = Dpi();
  QRect r(TwipsToPixels(place.Left, dpi), TwipsToPixels(place.Top, dpi),
          TwipsToPixels(place.Width, dpi), TwipsToPixels(place.Height, dpi));
  // A place remembered on a larger or another screen is brought back onto this one.
  if (const QScreen* s = QApplication::primaryScreen()) {
    const QRect avail = s->availableGeometry();
    r.setWidth(std::clamp(r.width(), 200, avail.width()));
    r.setHeight(std::clamp(r.height(), 150, avail.height()));
    r.moveLeft(std::clamp(r.left(), avail.left(), avail.right() - r.width() + 1));
    r.moveTop(std::clamp(r.top(), avail.top(), avail.bottom() - r.height() + 1));
  }
  setGeometry(r);
  loaded_ = place;
  loadedRect_ = r;
  if (auto state = store_.Get(core::kSectionSettings, kToolbarKey))
    restoreState(QByteArray::fromBase64(QByteArray::fromStdString(*state)));
  const int split = TwipsToPixels(place.Split, dpi);
  splitter_->setSizes({split, std::max(1, r.width() - split)});
  if (place.State == 2)
    showMaximized();
  else
    show();
}

void frmMain::RefreshTitle() {
  const QString op = Q(startup_.Operator());
  setWindowTitle(op.isEmpty() ? ProgramTitle()
                              : ProgramTitle() + QStringLiteral(" - Operatore: ") + op);
  operatorLabel_->setText(op.isEmpty() ? QString() : QStringLiteral("Operatore: ") + op);
  dateLabel_->setText(Q(startup_.DateOfDay()));
  if (tray_) tray_->setToolTip(windowTitle());
}

void frmMain::Activated() {
  if (activating_ || closing_ || commandsRunning_ > 0) return;
  if (startup_.connection() && startup_.database()) return;
  activating_ = true;
  if (isMinimized()) showNormal();
  windows_.SetOwner(this);
  ui_.SetFallbackOwner(this);
  const bool ok = startup_.Activate();
  windows_.Dismiss();
  activating_ = false;
  if (!ok) {
    QTimer::singleShot(0, this, &QWidget::close);
    return;
  }
  RefreshTitle();
  ui_.SetStatusText("");
  fiscal_->Activated();
  ready_ = true;
  browser_->Attach(startup_.connection());
  // The start-up windows had the keyboard: it comes back to the window the person works in.
  raise();
  activateWindow();
  update();
}

bool frmMain::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate && !closing_)
    QTimer::singleShot(0, this, &frmMain::Activated);
  return QMainWindow::event(event);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
  if (watched == this && event->type() == QEvent::Paint && ready_ && !paintedReady_) {
    paintedReady_ = true;
    QTimer::singleShot(0, this, &frmMain::readyAndPainted);
  }
  return QMainWindow::eventFilter(watched, event);
}

void frmMain::closeEvent(QCloseEvent* event) {
  if (!closing_) {
    closing_ = true;
    windows_.Dismiss();
    const double dpi = Dpi();
    core::MainWindowState place;
    place.State = isMinimized() ? 1 : isMaximized() ? 2 : 0;
    const QRect r = geometry();
    if (r.topLeft() == loadedRect_.topLeft()) {
      place.Left = loaded_.Left;
      place.Top = loaded_.Top;
    } else {
      place.Left = PixelsToTwips(r.left(), dpi);
      place.Top = PixelsToTwips(r.top(), dpi);
    }
    if (r.size() == loadedRect_.size()) {
      place.Width = loaded_.Width;
      place.Height = loaded_.Height;
    } else {
      place.Width = PixelsToTwips(r.width(), dpi);
      place.Height = PixelsToTwips(r.height(), dpi);
    }
    const QList<int> sizes = splitter_->sizes();
    const int split = sizes.isEmpty() ? 0 : sizes.front();
    place.Split = splitMoved_ ? PixelsToTwips(split, dpi) : loaded_.Split;
    try {
      store_.Set(core::kSectionSettings, kToolbarKey, saveState().toBase64().toStdString());
      browser_->Attach(nullptr);
      startup_.Close(place);
    } catch (const std::exception& e) {
      // The program ends anyway; the technical reason goes to the log stream.
      std::fprintf(stderr, "%s\n", e.what());
    }
    if (tray_) tray_->hide();
  }
  event->accept();
}

void frmMain::EndProgram() {
  close();
}

void frmMain::Options() {
  frmOptions::Commands commands;
  commands.confirm = [this](const core::Configuration& edited) {
    const bool ok = startup_.ConfirmOptions(edited);
    windows_.Dismiss();
    if (!ok && !(startup_.connection() && startup_.database())) {
      // The archive of the new working directory could not be reached: the program ends.
      QTimer::singleShot(0, this, &QWidget::close);
      return true;
    }
    RefreshTitle();
    return ok;
  };
  commands.repair = [this] { Repair(); };
  commands.exportConfiguration = [this](QWidget*) { ExportConfiguration(); };
  commands.importConfiguration = [this](QWidget*) { ImportConfiguration(); };
  frmOptions window(startup_.config(), store_, ui_, std::move(commands), this);
  window.exec();
}

void frmMain::AdvancedOptions() {
  frmOptionsAdvanced window(
      startup_.config(), ui_,
      [this](const core::Configuration& edited) { startup_.ConfirmAdvancedOptions(edited); }, this);
  window.exec();
}

void frmMain::ExportConfiguration() {
  const DateTime today = platform::CurrentClock().Today();
  char date[16];
  std::snprintf(date, sizeof date, "%04d%02d%02d", today.Year(), today.Month(), today.Day());
  if (auto path =
          ChooseFileToSave(this, QStringLiteral("Salva Configurazione"), QLatin1String(kTextFilter),
                           core::SuggestedExportName(date), QStringLiteral("txt")))
    startup_.ExportConfiguration(*path);
}

void frmMain::ImportConfiguration() {
  if (auto path = ChooseFileToOpen(this, QStringLiteral("Carica Configurazione"),
                                   QLatin1String(kTextFilter)))
    startup_.ImportConfiguration(*path);
}

void frmMain::Repair() {
  startup_.Repair();
  RefreshTitle();
}

void frmMain::IdentityData() {
  engine::Connection* connection = startup_.connection();
  if (!connection) return;
  core::IdentityValues values = core::ReadIdentity(*connection);
  frmDataIdentity window(IdentityCategories(startup_.database()), this);
  // The window stays open while storing is refused.
  while (window.Edit(values))
    if (core::StoreIdentity(*connection, values, ui_)) break;
  window.Dismiss();
}

void frmMain::ChangeOperator() {
  const bool ok = startup_.UserLogin(true, 0);
  windows_.Dismiss();
  RefreshTitle();
  // As at start-up, the program does not go on without a logged-in operator.
  if (!ok) close();
}

void frmMain::ChangeOperatorPassword() {
  startup_.UserLogin(false, 1);
  windows_.Dismiss();
}

void frmMain::ChangeApplicationPassword() {
  startup_.ChangeApplicationPassword();
  windows_.Dismiss();
}

void frmMain::About() {
  ui_.Inform(S(ProgramTitle()) + " " + TILLBOOK_VERSION +
             "\nGestione del negozio: anagrafiche, magazzino, documenti e cassa.");
}

}  // namespace tillbook::ui
