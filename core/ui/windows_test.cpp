#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include "core/password.h"
#include "core/testing/scripted_windows.h"
#include "core/ui/frmDataIdentity.h"
#include "core/ui/frmMessage.h"
#include "core/ui/frmOptions.h"
#include "core/ui/frmOptionsAdvanced.h"
#include "core/ui/frmOptionsRound.h"
#include "core/ui/frmPassword.h"
#include "core/ui/frmSelectOper.h"
#include "core/ui/qt_startup_windows.h"
#include "core/ui/qt_ui_services.h"
#include "core/ui/testing/modal.h"
#include "platform/settings.h"

namespace tillbook::ui {
namespace {

using core::testing::TempFolder;
using testing::Click;
using testing::ModalScript;
using testing::Type;

const QString kWrongPassword = QString::fromUtf8(
    "La password non è corretta.\n\nFare attenzione all'utilizzo delle maiuscole/minuscole");

// The real start-up controller over the Qt windows, on a program folder with a password file.
struct PasswordFixture {
  TempFolder folder{"tillbook_ui_password"};
  platform::MemorySettings settings;
  frmMessage message;
  QtUiServices ui{message};
  QtStartupWindows windows{settings, ui, message};
  std::unique_ptr<core::Startup> startup;
  PasswordFixture() {
    std::filesystem::create_directories(folder / "run");
    core::WriteApplicationPassword(folder / "prtct1.sys", "Segreta");
    startup = std::make_unique<core::Startup>(settings, ui, windows, folder.str(), folder / "run");
  }
};

TEST(frmPassword, AWrongPasswordKeepsTheWindowOpenUntilTheRightOne) {
  PasswordFixture f;
  ModalScript script;
  QWidget* first = nullptr;
  bool openAtSecondTry = false;
  QString selectedAtSecondTry;
  script
      .Then("frmPassword",
            [&](QWidget* w) {
              first = w;
              EXPECT_EQ(w->windowTitle(), "Password applicazione");
              // No change is offered at start-up.
              EXPECT_FALSE(w->findChild<QCheckBox*>("chkChange")->isVisible());
              Type(w, "txtPassword", "segreta");  // case matters
              Click(w, "OK");
            })
      .Answer("OK")
      .Then("frmPassword", [&](QWidget* w) {
        openAtSecondTry = w == first && w->isVisible();
        selectedAtSecondTry = w->findChild<QLineEdit*>("txtPassword")->selectedText();
        Type(w, "txtPassword", "Segreta");
        Click(w, "OK");
      });
  EXPECT_TRUE(f.startup->Main());
  EXPECT_TRUE(script.finished());
  EXPECT_TRUE(openAtSecondTry);
  EXPECT_EQ(selectedAtSecondTry, "segreta");
  EXPECT_EQ(script.messages(), std::vector<QString>{kWrongPassword});
  EXPECT_TRUE(script.unexpected().empty());
  f.windows.Dismiss();
  EXPECT_FALSE(f.windows.passwordWindow()->isVisible());
}

TEST(frmPassword, CancelEndsAndAMismatchedConfirmationChangesNothing) {
  {
    PasswordFixture f;
    ModalScript script;
    script.Then("frmPassword", [](QWidget* w) { Click(w, "Annulla"); });
    EXPECT_FALSE(f.startup->Main());
    EXPECT_TRUE(script.messages().empty());
  }
  PasswordFixture f;
  std::string fileAfterMismatch;
  ModalScript script;
  script
      .Then("frmPassword",
            [](QWidget* w) {
              auto* change = w->findChild<QCheckBox*>("chkChange");
              EXPECT_TRUE(change->isVisible());
              EXPECT_FALSE(w->findChild<QLineEdit*>("txtNewPassword")->isEnabled());
              Type(w, "txtPassword", "Segreta");
              QTest::mouseClick(change, Qt::LeftButton, {}, QPoint(4, change->height() / 2));
              EXPECT_TRUE(w->findChild<QLineEdit*>("txtNewPassword")->isEnabled());
              Type(w, "txtNewPassword", "Nuova");
              Type(w, "txtConfirm", "Nuovo");
              Click(w, "OK");
            })
      .Then("MessageBox",
            [&](QWidget* w) {
              fileAfterMismatch = core::ReadApplicationPassword(f.folder / "prtct1.sys");
              Click(w, "OK");
            })
      .Then("frmPassword",
            [](QWidget* w) {
              // What was typed is still there: only the confirmation needs retyping.
              EXPECT_EQ(w->findChild<QLineEdit*>("txtNewPassword")->text(), "Nuova");
              Type(w, "txtConfirm", "Nuova");
              Click(w, "OK");
            })
      .Answer("OK");
  EXPECT_TRUE(f.startup->ChangeApplicationPassword());
  EXPECT_TRUE(script.finished());
  EXPECT_EQ(fileAfterMismatch, "Segreta");
  EXPECT_EQ(core::ReadApplicationPassword(f.folder / "prtct1.sys"), "Nuova");
  EXPECT_EQ(script.messages(), (std::vector<QString>{"La password di conferma non corrisponde...",
                                                     "La password e' stata modificata."}));
}

// Without a password file nothing is asked at start-up, and the first password is set with the
// keyboard alone: the mnemonic ticks the change box, Tab goes through the fields in order.
TEST(frmPassword, AFirstPasswordIsSetWithTheKeyboardAlone) {
  PasswordFixture f;
  std::filesystem::remove(f.folder / "prtct1.sys");
  {
    ModalScript none;
    EXPECT_TRUE(f.startup->Main());
    EXPECT_TRUE(none.unexpected().empty());
  }
  ModalScript script;
  script
      .Then("frmPassword",
            [](QWidget* w) {
              QTest::keyClick(w, Qt::Key_C, Qt::AltModifier);
              // A mnemonic clicks the box the way a mouse would, press then release.
              auto* change = w->findChild<QCheckBox*>("chkChange");
              QTest::qWaitFor([change] { return change->isChecked(); }, 1000);
              EXPECT_TRUE(w->findChild<QCheckBox*>("chkChange")->isChecked());
              QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
              QTest::keyClicks(QApplication::focusWidget(), "Cassa1");
              QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
              QTest::keyClicks(QApplication::focusWidget(), "Cassa1");
              EXPECT_EQ(w->findChild<QLineEdit*>("txtConfirm")->text(), "Cassa1");
              QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            })
      .Answer("OK");
  EXPECT_TRUE(f.startup->ChangeApplicationPassword());
  EXPECT_TRUE(script.finished());
  EXPECT_EQ(core::ReadApplicationPassword(f.folder / "prtct1.sys"), "Cassa1");
}

// Every field of the options window through the window, the settings and a new window.
TEST(frmOptions, ValuesRoundTripThroughTheSettingsStore) {
  platform::MemorySettings store;
  frmMessage message;
  QtUiServices ui(message);
  core::Configuration config;
  core::LoadConfiguration(store, config, "/programma");
  core::Configuration confirmed;
  bool confirmedOnce = false;
  frmOptions::Commands commands;
  commands.confirm = [&](const core::Configuration& c) {
    confirmed = c;
    confirmedOnce = true;
    core::SaveConfiguration(store, c);
    return true;
  };
  {
    frmOptions window(config, store, ui, commands);
    EXPECT_EQ(window.field("RootDir")->text(), "/programma");
    EXPECT_EQ(window.field("ImportoMaxArticolo")->text(), "0,00");
    EXPECT_EQ(window.button("cmdRepair"), nullptr);  // no command, no button
    window.field("RootDir")->setText("/srv/negozio");
    window.field("PasswordDB")->setText("chiave");
    window.number("TicketCopiesNum")->setValue(3);
    window.number("ProgrLen_ClientiForn")->setValue(6);
    window.number("ProgrLen_Articoli")->setValue(8);
    window.field("Default_UnitaMisura")->setText("QntKg");
    window.field("Default_CodiceIVA")->setText("IVA22");
    window.field("ImportoMaxArticolo")->clear();
    QTest::keyClicks(window.field("ImportoMaxArticolo"), "1500,755");  // the mask stops at 2
    window.field("ValoreArrotondamento")->setText("0.05");
    window.field("PrintVenditeTop")->setText("2,5");
    window.field("PrintRibaLeft")->setText("-1");
    window.box("ArrotondaInEccesso")->setChecked(false);
    window.box("Request_Causale")->setChecked(true);
    window.box("Notify_AssociazioneDocs")->setChecked(false);
    window.box("Notify_ListinoRicarico")->setChecked(false);
    window.accept();
  }
  ASSERT_TRUE(confirmedOnce);
  core::Configuration reloaded;
  core::LoadConfiguration(store, reloaded, "/programma");
  EXPECT_EQ(reloaded.RootDir, "/srv/negozio");
  EXPECT_EQ(reloaded.DatabasePassword(), "chiave");
  EXPECT_NE(store.Get("Configuration", "PasswordDB"), std::optional<std::string>("chiave"));
  EXPECT_EQ(reloaded.TicketCopiesNum, 3);
  EXPECT_EQ(reloaded.ProgrLen_ClientiForn, 6);
  EXPECT_EQ(reloaded.ProgrLen_Articoli, 8);
  EXPECT_EQ(reloaded.Default_UnitaMisura, "QntKg");
  EXPECT_EQ(reloaded.Default_CodiceIVA, "IVA22");
  EXPECT_DOUBLE_EQ(reloaded.ImportoMaxArticolo, 1500.75);
  EXPECT_DOUBLE_EQ(reloaded.ValoreArrotondamento, 0.05);
  EXPECT_EQ(reloaded.PrintVenditeTop, "2.5");
  EXPECT_EQ(reloaded.PrintRibaLeft, "-1");
  EXPECT_EQ(reloaded.PrintVenditeLeft, "0");
  EXPECT_FALSE(reloaded.ArrotondaInEccesso);
  EXPECT_TRUE(reloaded.Request_Causale);
  EXPECT_FALSE(reloaded.Notify_AssociazioneDocs);
  EXPECT_FALSE(reloaded.Notify_ListinoRicarico);
  // A new window shows what the settings hold.
  frmOptions again(reloaded, store, ui, commands);
  EXPECT_EQ(again.field("ImportoMaxArticolo")->text(), "1500,75");
  EXPECT_EQ(again.field("ValoreArrotondamento")->text(), "0,05");
  EXPECT_EQ(again.number("ProgrLen_Articoli")->value(), 8);
  EXPECT_EQ(again.field("PasswordDB")->text(), "chiave");
}

TEST(frmOptionsAdvanced, SwitchesRoundTripAndClearingZonesWarnsFirst) {
  platform::MemorySettings store;
  frmMessage message;
  QtUiServices ui(message);
  core::Configuration config;
  config.Use_Zone = true;
  config.AccessMode = 1;
  std::optional<core::Configuration> confirmed;
  frmOptionsAdvanced window(config, ui, [&](const core::Configuration& c) {
    confirmed = c;
    core::SaveConfiguration(store, c);
  });
  EXPECT_TRUE(window.accessMode(1)->isChecked());
  window.show();
  ModalScript script;
  script.Answer("OK");
  QTest::mouseClick(window.box("Use_Zone"), Qt::LeftButton, {},
                    QPoint(4, window.box("Use_Zone")->height() / 2));
  QTest::qWaitFor([&] { return script.finished(); }, 2000);
  EXPECT_EQ(script.messages(),
            std::vector<QString>{QString::fromUtf8(core::kUseZoneClearedWarning.data(),
                                                   core::kUseZoneClearedWarning.size())});
  // Ticking it again says nothing.
  window.box("Use_Zone")->setChecked(true);
  window.box("Use_Zone")->setChecked(false);
  window.accessMode(2)->setChecked(true);
  window.box("Use_Agenti")->setChecked(true);
  window.box("Use_Ordini")->setChecked(false);
  window.box("AcquireBrenlow")->setChecked(true);
  window.accept();
  ASSERT_TRUE(confirmed);
  core::Configuration reloaded;
  core::LoadConfiguration(store, reloaded, "");
  EXPECT_EQ(reloaded.AccessMode, 2);
  EXPECT_FALSE(reloaded.Use_Zone);
  EXPECT_TRUE(reloaded.Use_Agenti);
  EXPECT_FALSE(reloaded.Use_Ordini);
  EXPECT_TRUE(reloaded.AcquireBrenlow);
  EXPECT_TRUE(reloaded.Use_NoMagazzino);
}

TEST(frmOptionsRound, AddChecksFocusAndOkStoresTheCopy) {
  platform::MemorySettings store;
  frmMessage message;
  QtUiServices ui(message);
  core::Configuration config;
  frmOptionsRound window(config, store, ui);
  window.show();
  QTest::qWaitForWindowExposed(&window);
  {
    ModalScript script;
    script.Answer("OK");
    QTest::keyClicks(window.fromField(), "10");
    QTest::keyClicks(window.toField(), "5");
    QTest::keyClicks(window.stepField(), "1");
    QTest::keyClick(window.stepField(), Qt::Key_Return);  // Enter adds
    EXPECT_EQ(script.messages(),
              std::vector<QString>{QString::fromUtf8("La fascia di prezzo non è valida.")});
  }
  EXPECT_EQ(window.list()->count(), 0);
  EXPECT_TRUE(window.isVisible());
  window.fromField()->setText("0");
  window.toField()->setText("9,99");
  window.stepField()->setText("0,05");
  QTest::mouseClick(window.addButton(), Qt::LeftButton);
  ASSERT_EQ(window.list()->count(), 1);
  EXPECT_EQ(window.list()->item(0)->text(), "da  0,00  a  9,99   ->  0,05");
  EXPECT_TRUE(window.fromField()->text().isEmpty());
  EXPECT_TRUE(window.toField()->text().isEmpty());
  EXPECT_EQ(window.stepField()->text(), "0,05");
  EXPECT_TRUE(config.RoundRanges.empty()) << "changed before OK";
  window.accept();
  ASSERT_EQ(config.RoundRanges.size(), 1u);
  EXPECT_EQ(store.Get("Configuration", "ArrotondaAPrezzo1"), std::optional<std::string>("9.99"));
}

TEST(frmDataIdentity, StaysOpenBetweenRoundsAndPreviewsTheLogo) {
  TempFolder folder("tillbook_ui_identity");
  QImage logo(40, 20, QImage::Format_RGB32);
  logo.fill(Qt::red);
  ASSERT_TRUE(logo.save(QString::fromStdString(folder / "logo.png")));
  frmDataIdentity window(SplitValueList("0|AZIENDA|1|IMPRESA INDIVIDUALE|2|PRIVATO|9|ALTRO"));
  core::IdentityValues values{{"SYS_Name", "Bottega"}, {"SYS_Category", "2"}};
  ModalScript script;
  QWidget* first = nullptr;
  script
      .Then("frmDataIdentity",
            [&](QWidget* w) {
              first = w;
              auto* win = static_cast<frmDataIdentity*>(w);
              EXPECT_EQ(win->field("SYS_Name")->text(), "Bottega");
              EXPECT_EQ(win->category()->currentText(), "PRIVATO");
              EXPECT_EQ(win->logoPreview()->text(), "Nessuna immagine");
              win->field("SYS_LogoImage")->setText(QString::fromStdString(folder / "logo.png"));
              win->ShowLogo(win->field("SYS_LogoImage")->text());
              win->category()->setCurrentIndex(0);
              win->details()->setPlainText("riga 1\nriga 2");
              Click(w, "OK");
            })
      .Then("frmDataIdentity", [&](QWidget* w) {
        EXPECT_EQ(w, first);
        auto* win = static_cast<frmDataIdentity*>(w);
        // Still as the person left it.
        EXPECT_FALSE(win->logoPreview()->pixmap().isNull());
        win->category()->setCurrentIndex(win->category()->findText("IMPRESA INDIVIDUALE"));
        Click(w, "OK");
      });
  ASSERT_TRUE(window.Edit(values));
  EXPECT_EQ(values["SYS_Category"], "");
  EXPECT_EQ(values["SYS_Details"], "riga 1\nriga 2");
  EXPECT_EQ(values["SYS_LogoImage"], folder / "logo.png");
  ASSERT_TRUE(window.Edit(values));
  EXPECT_EQ(values["SYS_Category"], "1");
  EXPECT_TRUE(window.isVisible());
  window.Dismiss();
  EXPECT_FALSE(window.isVisible());
}

TEST(frmSelectOper, EnterTakesTheHighlightedOperatorAndCancelNone) {
  frmSelectOper window({"Amministratore", "Cassa"});
  ModalScript script;
  script.Then("frmSelectOper", [](QWidget* w) {
    auto* list = w->findChild<QListWidget*>();
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
  });
  EXPECT_EQ(window.Choose(), std::optional<size_t>(1));
  frmSelectOper other({"Amministratore"});
  ModalScript cancel;
  cancel.Then("frmSelectOper", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
  EXPECT_EQ(other.Choose(), std::nullopt);
}

TEST(SplitValueList, PairsCodesWithLabels) {
  using P = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(SplitValueList("0|AZIENDA|9|ALTRO"), (P{{"0", "AZIENDA"}, {"9", "ALTRO"}}));
  EXPECT_EQ(SplitValueList(""), P{});
  EXPECT_EQ(SplitValueList("1|UNO|2"), (P{{"1", "UNO"}}));
  EXPECT_EQ(SplitValueList("|vuoto"), (P{{"", "vuoto"}}));
}

}  // namespace
}  // namespace tillbook::ui
