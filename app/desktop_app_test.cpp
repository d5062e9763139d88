// The whole program started offscreen as a new user would: a fresh working directory, no
// settings, through the options window, the identity question and window, the operator choice,
// to the main window; then a second start on the same archive.
#include "app/desktop_app.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>

#include "core/identity.h"
#include "core/password.h"
#include "core/startup.h"
#include "core/testing/scripted_windows.h"
#include "core/ui/frmDataIdentity.h"
#include "core/ui/testing/modal.h"
#include "engine/connection.h"
#include "mainwindow/ui/frmMain.h"
#include "platform/instance.h"
#include "platform/settings.h"

namespace tillbook::ui {
namespace {

using testing::Click;
using testing::ModalScript;

struct Fresh {
  core::testing::TempFolder folder{"tillbook_app_fresh"};
  DesktopOptions Options() {
    std::filesystem::create_directories(folder / "program");
    std::filesystem::create_directories(folder / "run");
    DesktopOptions o;
    o.settingsPath = folder / "config/Tillbook/Tillbook.ini";
    o.programFolder = folder / "program";
    o.runtimeFolder = folder / "run";
    o.workingDirectory = folder / "archivio";
    return o;
  }
};

bool WaitReady(frmMain* main) {
  return QTest::qWaitFor([main] { return main->ready(); }, 60000);
}

TEST(DesktopApp, AFirstStartCreatesTheArchiveAndReachesTheMainWindow) {
  Fresh fresh;
  const auto options = fresh.Options();
  {
    DesktopApp app(options);
    ModalScript script;
    script
        .Then("frmOptions",
              [&](QWidget* w) {
                EXPECT_EQ(w->findChild<QLineEdit*>("RootDir")->text().toStdString(),
                          fresh.folder / "archivio");
                Click(w, "OK");
              })
        .Answer("&Sì")
        .Then("frmDataIdentity",
              [](QWidget* w) {
                w->findChild<QLineEdit*>("SYS_Name")->setText("Bottega Rossi");
                auto* category = w->findChild<QComboBox*>("SYS_Category");
                category->setCurrentIndex(category->findText("AZIENDA"));
                Click(w, "OK");
              })
        .Answer("&Sì")
        .Then("frmSelectOper", [](QWidget* w) { Click(w, "OK"); });
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(WaitReady(app.mainWindow()));
    QSignalSpy painted(app.mainWindow(), &frmMain::readyAndPainted);
    EXPECT_TRUE(painted.count() > 0 || painted.wait(5000));
    EXPECT_TRUE(script.finished());
    EXPECT_TRUE(script.unexpected().empty()) << script.unexpected().front().toStdString();
    EXPECT_EQ(script.messages(),
              (std::vector<QString>{QString::fromUtf8("E' necessario impostare i dati "
                                                      "identificativi dell'attività, vuoi farlo "
                                                      "adesso ?"),
                                    "Memorizzare i dati ?"}));
    EXPECT_TRUE(std::filesystem::exists(fresh.folder / "archivio/Tillbook.mdb"));
    const auto identity = core::ReadIdentity(*app.startup()->connection());
    EXPECT_EQ(identity.at("SYS_Name"), "Bottega Rossi");
    EXPECT_EQ(identity.at("SYS_Category"), "0");
    const std::string op = app.startup()->Operator();
    ASSERT_FALSE(op.empty());
    EXPECT_EQ(app.mainWindow()->windowTitle().toStdString(), "Tillbook - Operatore: " + op);
    app.mainWindow()->close();
    EXPECT_EQ(app.startup()->connection(), nullptr);
  }
  // The settings file has the working directory and the window's place.
  platform::IniSettings settings(options.settingsPath);
  EXPECT_EQ(settings.Get("Configuration", "RootDir"),
            std::optional<std::string>(fresh.folder / "archivio"));
  EXPECT_TRUE(settings.Get("Settings", "MainWidth").has_value());

  // Second start: the archive is there and has a name, so only the operator is asked.
  DesktopApp again(options);
  ModalScript script;
  script.Then("frmSelectOper", [](QWidget* w) { Click(w, "OK"); });
  ASSERT_TRUE(again.Start());
  ASSERT_TRUE(WaitReady(again.mainWindow()));
  EXPECT_TRUE(script.finished());
  EXPECT_TRUE(script.messages().empty());
  again.mainWindow()->close();
}

// The password window first shown over the splash outlives it: the main window's command asks
// for the application password again through it.
TEST(DesktopApp, TheApplicationPasswordIsAskedAtStartAndAgainFromTheMenu) {
  Fresh fresh;
  const auto options = fresh.Options();
  core::WriteApplicationPassword(options.programFolder + "/prtct1.sys", "Apri");
  DesktopApp app(options);
  ModalScript script;
  auto typePassword = [](QWidget* w) {
    w->findChild<QLineEdit*>("txtPassword")->setText("Apri");
    Click(w, "OK");
  };
  script.Then("frmPassword", typePassword)
      .Then("frmOptions", [](QWidget* w) { Click(w, "OK"); })
      .Answer("&No")
      .Then("frmSelectOper", [](QWidget* w) { Click(w, "OK"); });
  ASSERT_TRUE(app.Start());
  ASSERT_TRUE(WaitReady(app.mainWindow()));
  EXPECT_TRUE(script.finished());
  script.Then("frmPassword", typePassword);
  app.mainWindow()->action("mnuApplicationPassword")->trigger();
  EXPECT_TRUE(script.finished());
  EXPECT_TRUE(script.unexpected().empty());
  app.mainWindow()->close();
}

// The repair releases the archive while it works; the main window, activated again when the
// question closes, must not take that for a reload and open the archive and the login in the
// middle of it.
TEST(DesktopApp, TheRepairFromTheMenuRunsAloneAndReopensTheArchive) {
  Fresh fresh;
  DesktopApp app(fresh.Options());
  ModalScript script;
  script.Then("frmOptions", [](QWidget* w) { Click(w, "OK"); })
      .Answer("&No")
      .Then("frmSelectOper", [](QWidget* w) { Click(w, "OK"); });
  ASSERT_TRUE(app.Start());
  ASSERT_TRUE(WaitReady(app.mainWindow()));
  const std::string op = app.startup()->Operator();
  script.Answer("OK").Answer("OK");
  app.mainWindow()->action("mnuRepair")->trigger();
  EXPECT_TRUE(script.finished());
  EXPECT_TRUE(script.unexpected().empty()) << script.unexpected().front().toStdString();
  ASSERT_GE(script.messages().size(), 2u);
  EXPECT_EQ(script.messages().back(), "Recupero completato");
  EXPECT_NE(app.startup()->connection(), nullptr);
  EXPECT_EQ(app.startup()->Operator(), op);
  EXPECT_FALSE(std::filesystem::exists(fresh.folder / "archivio/Tillbook.mdb.NEW"));
  app.mainWindow()->close();
}

TEST(DesktopApp, LeavingTheOptionsOfAMissingArchiveEndsTheProgram) {
  Fresh fresh;
  DesktopApp app(fresh.Options());
  ModalScript script;
  script.Then("frmOptions", [](QWidget* w) { Click(w, "Annulla"); });
  ASSERT_TRUE(app.Start());
  ASSERT_TRUE(QTest::qWaitFor([&] { return !app.mainWindow()->isVisible(); }, 20000));
  EXPECT_TRUE(script.finished());
  EXPECT_FALSE(app.mainWindow()->ready());
  EXPECT_FALSE(std::filesystem::exists(fresh.folder / "archivio/Tillbook.mdb"));
}

TEST(DesktopApp, ASecondCopyIsRefusedWithItsMessage) {
  Fresh fresh;
  const auto options = fresh.Options();
  platform::SingleInstanceLock other(options.runtimeFolder, "Tillbook");
  ASSERT_TRUE(other.TryAcquire());
  DesktopApp app(options);
  ModalScript script;
  script.Answer("OK");
  EXPECT_FALSE(app.Start());
  ASSERT_EQ(script.messages().size(), 1u);
  EXPECT_TRUE(script.messages()[0].startsWith("L'applicazione e' stata gia' avviata"));
  EXPECT_EQ(app.mainWindow(), nullptr);
}

}  // namespace
}  // namespace tillbook::ui
