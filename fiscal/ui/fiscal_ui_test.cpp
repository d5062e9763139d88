// The fiscal windows on the offscreen platform: the options window's controls and what OK and
// Esci leave in the settings, a test receipt sent from the window to a simulated register, the
// activation question after the window closes, and the spool timer printing a request posted
// by another workstation.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "core/configuration.h"
#include "core/ui/frmMessage.h"
#include "core/ui/qt_text.h"
#include "core/ui/qt_ui_services.h"
#include "core/ui/testing/modal.h"
#include "fiscal/fiscal_options.h"
#include "fiscal/sim/register_sim.h"
#include "fiscal/testing/sale_fixture.h"
#include "fiscal/ui/fiscal_commands.h"
#include "fiscal/ui/frmFiscalOptions.h"
#include "platform/settings.h"

namespace tillbook::ui {
namespace {

using testing::Click;
using testing::ModalScript;
using testing::Type;

constexpr const char* kSection = "FiscalPrinterParam";

template <typename T>
T* Child(QWidget* w, const char* name) {
  T* child = w->findChild<T*>(QLatin1String(name));
  EXPECT_NE(child, nullptr) << name;
  return child;
}

QString LabelOf(QWidget* window, QWidget* buddy) {
  for (auto* label : window->findChildren<QLabel*>())
    if (label->buddy() == buddy) return label->text();
  return {};
}

struct OptionsFixture {
  platform::MemorySettings store;
  fiscal::FiscalModule module;
  frmMessage message;
  QtUiServices ui{message};
};

TEST(frmFiscalOptions, ControlsCaptionsAndLists) {
  OptionsFixture f;
  fiscal::FiscalOptionsEditor editor(f.module, f.store, f.ui);
  frmFiscalOptions w(editor);
  EXPECT_EQ(w.windowTitle(), "Impostazione registratore di cassa");
  auto* type = Child<QComboBox>(&w, "cmbRegType");
  auto* port = Child<QComboBox>(&w, "cboCOMPortReg");
  auto* param = Child<QComboBox>(&w, "txtCOMParamReg");
  EXPECT_EQ(LabelOf(&w, type), "Tipo / Modello:");
  EXPECT_EQ(LabelOf(&w, port), "Porta di comunicazione:");
  EXPECT_EQ(LabelOf(&w, param), "Parametri porta:");
  ASSERT_EQ(type->count(), 12);
  EXPECT_EQ(type->itemText(0), "[NESSUNO]");
  EXPECT_EQ(type->itemData(0).toInt(), -1);
  EXPECT_EQ(type->itemText(11), "[STAMPA ATTRAVERSO ALTRO PC IN RETE]");
  EXPECT_EQ(type->itemData(11).toInt(), 99);
  ASSERT_EQ(port->count(), 9);
  EXPECT_EQ(port->itemText(0), "[nessuno]");
  EXPECT_EQ(port->itemText(8), "COM8");
  EXPECT_TRUE(param->isEditable());
  EXPECT_EQ(param->itemText(1), "9600,e,7,1");
  EXPECT_EQ(param->toolTip(),
            "Imposta i parametri della porta seriale (Velocità, Parità, Numero Bit, Bit di stop)");
  const std::pair<const char*, const char*> fields[] = {
      {"mebTmCmdReg", "Attesa tra i comandi (ms):"},
      {"mebTimeoutReg", "Timeout ricezione risposte (ms):"},
      {"mebDepartmentReg", "Reparto predefinito:"},
      {"mebMaxDescrLen", "Lunghezza descrizioni:"}};
  for (const auto& [name, caption] : fields)
    EXPECT_EQ(LabelOf(&w, Child<QLineEdit>(&w, name)), caption) << name;
  EXPECT_EQ(Child<QLineEdit>(&w, "mebDepartmentReg")->toolTip(),
            "Codice del reparto predefinito della cassa (0 per nessuno)");
  EXPECT_EQ(Child<QLineEdit>(&w, "mebMaxDescrLen")->toolTip(),
            "Lunghezza massima delle descrizioni nello scontrino (in caratteri)");
  EXPECT_EQ(Child<QCheckBox>(&w, "chkSendDescrReg")->text(),
            "Invia descrizioni al registratore di cassa");
  EXPECT_EQ(Child<QCheckBox>(&w, "chkCurConvReg")->toolTip(),
            "Invia gli importi al registratore con valuta di conversione");
  const std::pair<const char*, const char*> buttons[] = {
      {"cmdTest", "&Test"}, {"cmdInfo", "Informazioni"}, {"cmdOK", "&OK"}, {"cmdCancel", "&Esci"}};
  for (const auto& [name, caption] : buttons)
    EXPECT_EQ(Child<QPushButton>(&w, name)->text(), caption) << name;
  EXPECT_EQ(Child<QPushButton>(&w, "cmdTest")->toolTip(),
            "Invia uno scontrino di prova al registratore di cassa");

  // The defaults: CRF 4600 on COM1, the numbers with their zeros.
  EXPECT_EQ(type->currentText(), "OLIVETTI CRF4600");
  EXPECT_EQ(port->currentText(), "COM1");
  EXPECT_EQ(Child<QLineEdit>(&w, "mebTmCmdReg")->text(), "00700");
  EXPECT_EQ(Child<QLineEdit>(&w, "mebMaxDescrLen")->text(), "020");
  // Without a conversion currency the box is not shown.
  w.show();
  EXPECT_FALSE(Child<QCheckBox>(&w, "chkCurConvReg")->isVisible());
  fiscal::FiscalOptionsEditor withLire(f.module, f.store, f.ui, "Lire");
  frmFiscalOptions w2(withLire);
  w2.show();
  EXPECT_TRUE(Child<QCheckBox>(&w2, "chkCurConvReg")->isVisible());
  EXPECT_EQ(Child<QCheckBox>(&w2, "chkCurConvReg")->text(), "Usa valuta di conversione (Lire)");
}

TEST(frmFiscalOptions, ChoosingADeviceEnablesItsControls) {
  OptionsFixture f;
  fiscal::FiscalOptionsEditor editor(f.module, f.store, f.ui);
  frmFiscalOptions w(editor);
  auto* type = Child<QComboBox>(&w, "cmbRegType");
  auto* port = Child<QComboBox>(&w, "cboCOMPortReg");
  auto* wait = Child<QLineEdit>(&w, "mebTmCmdReg");
  auto* department = Child<QLineEdit>(&w, "mebDepartmentReg");
  EXPECT_TRUE(wait->isEnabled());
  port->setCurrentIndex(4);
  type->setCurrentIndex(fiscal::TypeIndexOf(fiscal::kDeviceSID));
  EXPECT_EQ(port->currentText(), "COM1");
  EXPECT_FALSE(port->isEnabled());
  EXPECT_FALSE(Child<QComboBox>(&w, "txtCOMParamReg")->isEnabled());
  EXPECT_TRUE(department->isEnabled());
  type->setCurrentIndex(fiscal::TypeIndexOf(fiscal::kDeviceNetwork));
  EXPECT_FALSE(port->isEnabled());
  EXPECT_FALSE(department->isEnabled());
  type->setCurrentIndex(fiscal::TypeIndexOf(fiscal::kDeviceEllisse));
  EXPECT_TRUE(port->isEnabled());
  EXPECT_TRUE(Child<QLineEdit>(&w, "mebTimeoutReg")->isEnabled());
  EXPECT_FALSE(wait->isEnabled());
  port->setCurrentIndex(0);
  EXPECT_FALSE(Child<QLineEdit>(&w, "mebTimeoutReg")->isEnabled());
}

TEST(frmFiscalOptions, OkStoresTheControlsAndEsciLeavesTheSettings) {
  OptionsFixture f;
  fiscal::FiscalOptionsEditor editor(f.module, f.store, f.ui);
  {
    ModalScript script;
    script.Then("frmFiscalOptions", [](QWidget* w) {
      Child<QComboBox>(w, "cmbRegType")
          ->setCurrentIndex(fiscal::TypeIndexOf(fiscal::kDeviceNetwork));
      Type(w, "mebTimeoutReg", "1234");
      Click(w, "Esci");
    });
    frmFiscalOptions w(editor);
    EXPECT_EQ(w.exec(), QDialog::Rejected);
    EXPECT_TRUE(script.finished());
    EXPECT_TRUE(f.store.Entries(kSection).empty());
    EXPECT_EQ(f.module.settings.Type, fiscal::kDeviceCRF4600);
  }
  ModalScript script;
  script.Then("frmFiscalOptions", [](QWidget* w) {
    Child<QComboBox>(w, "cmbRegType")
        ->setCurrentIndex(fiscal::TypeIndexOf(fiscal::kDeviceOmegaSAX));
    Child<QComboBox>(w, "cboCOMPortReg")->setCurrentIndex(3);
    Child<QComboBox>(w, "txtCOMParamReg")->setCurrentText(QStringLiteral("19200,n,8,1"));
    Type(w, "mebTimeoutReg", "1234");
    Type(w, "mebDepartmentReg", "7");
    Type(w, "mebMaxDescrLen", "12345");  // three digits at most
    QTest::mouseClick(Child<QCheckBox>(w, "chkSendDescrReg"), Qt::LeftButton, {}, QPoint(4, 4));
    Click(w, "OK");
  });
  frmFiscalOptions w(editor);
  EXPECT_EQ(w.exec(), QDialog::Accepted);
  EXPECT_TRUE(script.unexpected().empty());
  EXPECT_EQ(f.store.GetOr(kSection, "Type", ""), "7");
  EXPECT_EQ(f.store.GetOr(kSection, "COMPortNumber", ""), "3");
  EXPECT_EQ(f.store.GetOr(kSection, "COMPortParam", ""), "19200,n,8,1");
  EXPECT_EQ(f.store.GetOr(kSection, "Timout", ""), "1234");
  EXPECT_EQ(f.store.GetOr(kSection, "DefaultDepartment", ""), "7");
  EXPECT_EQ(f.store.GetOr(kSection, "DescriptionLen", ""), "123");
  EXPECT_EQ(f.store.GetOr(kSection, "SendDescription", ""), "False");
  EXPECT_EQ(f.module.settings.Type, fiscal::kDeviceOmegaSAX);
}

TEST(frmFiscalOptions, TheHintOfTheChosenDevice) {
  OptionsFixture f;
  fiscal::FiscalOptionsEditor editor(f.module, f.store, f.ui);
  frmFiscalOptions w(editor);
  w.show();
  Child<QComboBox>(&w, "cmbRegType")->setCurrentIndex(fiscal::TypeIndexOf(fiscal::kDeviceOmegaSAX));
  ModalScript script;
  script.Answer("OK");
  Click(&w, "Informazioni");
  ASSERT_EQ(script.messages().size(), 1u);
  EXPECT_EQ(script.messages()[0], Q(fiscal::FiscalDeviceHint(fiscal::kDeviceOmegaSAX)));
}

// A register on a pseudo-terminal and the settings that reach it.
struct RegisterFixture : OptionsFixture {
  fiscal::sim::RegisterSimulator sim{fiscal::kDeviceDSProgress};
  RegisterFixture() {
    store.Set(kSection, "Type", "8");
    store.Set(kSection, "Timout", "300");
    store.Set(kSection, "COMPortPath", sim.path());
    fiscal::LoadFiscalPrinterSettings(store, module.settings);
    sim.Start();
  }
};

TEST(frmFiscalOptions, TheTestButtonPrintsOnTheRegister) {
  RegisterFixture f;
  fiscal::FiscalOptionsEditor editor(f.module, f.store, f.ui);
  ModalScript script;
  bool enabledAfterTest = false;
  script.Then("frmFiscalOptions", [&](QWidget* w) {
    Type(w, "mebMaxDescrLen", "30");
    // Clicked from a timer of its own, so the script is free to answer the question.
    QTimer::singleShot(0, w, [&, w] {
      Click(w, "Test");
      enabledAfterTest = Child<QWidget>(w, "cmdOK")->isEnabled();
      Click(w, "Esci");
    });
  });
  script.Answer("OK");
  frmFiscalOptions w(editor);
  w.exec();
  EXPECT_TRUE(script.finished());
  EXPECT_TRUE(script.unexpected().empty());
  EXPECT_TRUE(enabledAfterTest);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !f.sim.Paper().empty(); }, 3000));
  EXPECT_EQ(f.sim.Paper(), "SCONTRINO\nARTICOLO PROVA REP 1 = 0.01\nTOTALE 0.01\n\n");
  EXPECT_EQ(f.store.GetOr(kSection, "DescriptionLen", ""), "30");
  EXPECT_EQ(f.module.driver(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

struct CommandsFixture : RegisterFixture {
  core::Configuration config;
  QMainWindow window;
  QMenu* tools = window.menuBar()->addMenu(QStringLiteral("&Strumenti"));
  std::vector<QString> status;
  std::unique_ptr<FiscalCommands> commands;
  engine::Connection* connection = nullptr;
  CommandsFixture() {
    ui.SetStatusSink([this](const QString& text) { status.push_back(text); });
    commands = std::make_unique<FiscalCommands>(
        window, *tools, ui,
        FiscalHost{config, store, [this] { return connection; }, [] { return "Mario"; }});
  }
};

TEST(FiscalCommands, AfterTheOptionsTheRegisterIsOfferedForActivation) {
  CommandsFixture f;
  QAction* active = f.window.findChild<QAction*>("mnuFiscalPrinter");
  ASSERT_NE(active, nullptr);
  ASSERT_NE(f.window.findChild<QAction*>("mnuFiscalSetting"), nullptr);
  ASSERT_NE(f.window.findChild<QAction*>("mnuFiscalPrint"), nullptr);
  {
    // One script at a time: a finished script still closes what it does not expect.
    ModalScript script;
    script.Then("frmFiscalOptions", [](QWidget* w) { Click(w, "OK"); }).Answer("Sì");
    f.window.findChild<QAction*>("mnuFiscalSetting")->trigger();
    EXPECT_TRUE(script.finished());
    ASSERT_EQ(script.messages().size(), 1u);
    EXPECT_EQ(script.messages()[0],
              "<INFORMAZIONI>\r\rE' possibile Attivare / Disattivare il registratore di cassa "
              "mediante l'apposita voce da menù <Strumenti>\r\rVuoi attivarlo adesso ?");
    EXPECT_NE(f.commands->module().driver(), nullptr);
    EXPECT_TRUE(active->isChecked());
    EXPECT_TRUE(f.config.FiscalPrinterEnabled);
    EXPECT_EQ(f.store.GetOr("Configuration", "FiscalPrinterEnabled", ""), "True");
    ASSERT_FALSE(f.status.empty());
    EXPECT_EQ(f.status.back().left(23), "Registratore di cassa <");

    // The menu item turns it off again.
    active->trigger();
    EXPECT_FALSE(active->isChecked());
    EXPECT_EQ(f.commands->module().driver(), nullptr);
    EXPECT_EQ(f.status.back(), "Registratore di cassa disattivato");
    EXPECT_EQ(f.store.GetOr("Configuration", "FiscalPrinterEnabled", ""), "False");
  }

  // With no device chosen nothing is asked.
  ModalScript none;
  none.Then("frmFiscalOptions", [](QWidget* w) {
    Child<QComboBox>(w, "cmbRegType")->setCurrentIndex(fiscal::TypeIndexOf(fiscal::kDeviceNone));
    Click(w, "OK");
  });
  f.commands->ShowOptions();
  EXPECT_TRUE(none.finished());
  EXPECT_TRUE(none.messages().empty());
  EXPECT_TRUE(none.unexpected().empty());
}

TEST(FiscalCommands, TheTimerPrintsARequestOfAnotherWorkstation) {
  CommandsFixture f;
  fiscal::testing::SaleArchive archive("spool-timer");
  f.connection = &archive.conn();
  f.config.RootDir = archive.folder();
  f.config.FiscalPrinterEnabled = true;
  auto bar = archive.Article("BAR", 2);
  auto sale = archive.Sale();
  archive.Line(sale, bar, "Caffè", 1, "1.20");
  f.commands->Activated();
  ASSERT_NE(f.commands->module().driver(), nullptr);
  EXPECT_TRUE(f.commands->spoolTimer()->isActive());
  EXPECT_EQ(f.commands->spoolTimer()->interval(), 2000);
  const std::string request = archive.folder() + "/FP_REQUEST_CASSA2.tmp";
  std::ofstream(request) << "x\r\nCASSA2\r\nMario\r\nVendite\r\n" << sale.Oid() << "\r\n";
  EXPECT_TRUE(QTest::qWaitFor([&] { return !std::filesystem::exists(request); }, 4000));
  EXPECT_TRUE(QTest::qWaitFor([&] { return !f.sim.Paper().empty(); }, 3000));
  EXPECT_EQ(f.sim.Paper().rfind("SCONTRINO\n", 0), 0u) << f.sim.Paper();
  EXPECT_NE(f.sim.Paper().find("TOTALE 1.20"), std::string::npos) << f.sim.Paper();
  EXPECT_NE(std::find(f.status.begin(), f.status.end(), "Stampa scontrino in rete..."),
            f.status.end());
}

}  // namespace
}  // namespace tillbook::ui

namespace tillbook::ui {
namespace {

TEST(FiscalCommands, ReprintOfTheCurrentSale) {
  CommandsFixture f;
  fiscal::testing::SaleArchive archive("reprint");
  auto bar = archive.Article("BAR", 3);
  auto sale = archive.Sale();
  archive.Line(sale, bar, "Acqua", 2, "0.50");
  QAction* reprint = f.window.findChild<QAction*>("mnuFiscalPrint");
  // No current record: nothing happens.
  reprint->trigger();
  std::optional<engine::Row> current = archive.Fetch(sale);
  f.commands->SetCurrentRecord([&] { return current; });
  {
    ModalScript script;
    script.Answer("OK");
    reprint->trigger();
    EXPECT_EQ(script.messages(),
              std::vector<QString>{"Registratore di cassa non attivato...\r\rPer attivarlo usare "
                                   "l'apposita opzione dal menù Strumenti"});
  }
  f.commands->ToggleActive(true);
  ASSERT_NE(f.commands->module().driver(), nullptr);
  ModalScript script;
  bool menuEnabledAfterReceipt = false;
  script.Answer("OK").Then("MessageBox", [&](QWidget* box) {
    // The closing message comes after the receipt: the window works again.
    menuEnabledAfterReceipt = f.window.menuBar()->isEnabled();
    Click(box, "OK");
  });
  reprint->trigger();
  EXPECT_TRUE(script.finished());
  // The busy window may be seen (and dismissed by the script) while the receipt goes out;
  // nothing else opens.
  for (const QString& other : script.unexpected()) EXPECT_EQ(other, "frmMessage: ");
  ASSERT_EQ(script.messages().size(), 2u);
  EXPECT_EQ(script.messages()[0], "Confermi la ristampa dello scontrino ?");
  EXPECT_EQ(script.messages()[1], "Lo scontrino e' stato ristampato...");
  EXPECT_TRUE(menuEnabledAfterReceipt);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !f.sim.Paper().empty(); }, 3000));
  EXPECT_NE(f.sim.Paper().find("TOTALE 1.00"), std::string::npos) << f.sim.Paper();
}

}  // namespace
}  // namespace tillbook::ui
