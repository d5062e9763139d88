// The fiscal options without the window: the enabling rules per device, the fields as loaded and
// as stored, the hints, the test receipt on a simulated register (and what it leaves behind),
// and a register line dropped half-way through a receipt for every serial family.
#include "fiscal/fiscal_options.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "fiscal/modFiscalPrinter.h"
#include "fiscal/request_spool.h"
#include "fiscal/testing/sim_fixture.h"
#include "fiscal/trace.h"
#include "platform/settings.h"

namespace tillbook::fiscal {
namespace {

using engine::Answer;
using testing::Row;

TEST(FiscalOptionsRules, WhatEachDeviceEnables) {
  struct Case {
    const char* name;
    int code;
    int port;
    bool portList, portParam, timeout, commandWait, options;
    int portAfter;
  };
  const Case cases[] = {
      {"nothing selected", 1000, 3, false, false, false, false, false, 3},
      {"none", kDeviceNone, 3, false, false, false, false, false, 3},
      {"another computer", kDeviceNetwork, 3, false, false, false, false, false, 3},
      {"SID on the first port only", kDeviceSID, 4, false, false, false, false, true, 1},
      {"Nucleo: port, no settings", kDeviceRCHNucleo, 2, true, false, false, false, true, 2},
      {"CRF 4600 on a port", kDeviceCRF4600, 2, true, true, true, true, true, 2},
      {"CRF 4600 without a port", kDeviceCRF4600, 0, true, false, false, false, true, 0},
      {"ELLISSE: no command pause", kDeviceEllisse, 1, true, true, true, false, true, 1},
      {"RCH G2000", kDeviceRCHG2000, 8, true, true, true, false, true, 8},
  };
  for (const auto& c : cases) {
    FiscalOptionsValues values;
    values.typeIndex = TypeIndexOf(c.code);
    values.portIndex = c.port;
    const FiscalControlsEnabled on = EnableRegControls(values);
    EXPECT_EQ(on.portList, c.portList) << c.name;
    EXPECT_EQ(on.portParam, c.portParam) << c.name;
    EXPECT_EQ(on.timeout, c.timeout) << c.name;
    EXPECT_EQ(on.commandWait, c.commandWait) << c.name;
    EXPECT_EQ(on.options, c.options) << c.name;
    EXPECT_EQ(values.portIndex, c.portAfter) << c.name;
  }
  EXPECT_EQ(TypeCodeAt(-1), kDeviceNone);
  EXPECT_EQ(TypeCodeAt(TypeIndexOf(kDeviceNetwork)), kDeviceNetwork);
}

TEST(FiscalOptionsRules, HintsPerDevice) {
  const std::string lead =
      "INFORMAZIONI:\r\rSe viene attivata la funzione di emissione scontrini e il registratore di "
      "cassa non produce la stampa assicurarsi che ";
  EXPECT_EQ(FiscalDeviceHint(kDeviceCRF4600),
            lead +
                "sia abilitata l'apposita opzione di Emissione Scontrini <904> nel registratore "
                "di cassa");
  EXPECT_EQ(FiscalDeviceHint(kDeviceRCHG2000), FiscalDeviceHint(kDeviceRCHG600));
  EXPECT_EQ(FiscalDeviceHint(kDeviceRCHG1200),
            lead + "sia stato installato il Driver RCH (RCHCom) ");
  EXPECT_EQ(FiscalDeviceHint(kDeviceSID),
            lead +
                "sia stato installato il Driver SMARTComm, inoltre devono essere state attivate "
                "le opzioni di comunicazione:\rDa programmazione <P> (Shift + P) impostare "
                "40[ST]016[TOT] e 40[ST]020[TOT]");
  EXPECT_EQ(FiscalDeviceHint(kDeviceDSProgress),
            lead +
                "sia abilitata l'apposita opzione di Emissione Scontrini nel registratore di "
                "cassa tramite le seguenti linee di opzioni:\r109[subtot]   "
                "00001111[subtot]\r114[subtot]   00000000[subtot]");
  EXPECT_EQ(FiscalDeviceHint(kDeviceEllisseExt),
            lead +
                "sia abilitata l'apposita opzione di Emissione Scontrini <83> nel registratore "
                "di cassa tramite la chiave SERVICE, in modalità ON-Line Esteso");
  const std::string others =
      lead +
      "sia abilitata l'apposita opzione di Emissione Scontrini nel registratore di cassa.\r\r"
      "Consultare il manuale d'uso oppure contattare il supporto tecnico.";
  EXPECT_EQ(FiscalDeviceHint(kDeviceNetwork), others);
  EXPECT_EQ(FiscalDeviceHint(kDeviceNone), others);
  EXPECT_EQ(ConversionCaption("Lire"), "Usa valuta di conversione (Lire)");
}

class FiscalOptionsStore : public ::testing::Test {
 protected:
  FiscalModule module_;
  platform::MemorySettings store_;
  engine::ScriptedUi ui_;
};

TEST_F(FiscalOptionsStore, FieldsAsLoadedAndAsStored) {
  store_.Set("FiscalPrinterParam", "Type", "8");
  store_.Set("FiscalPrinterParam", "CommandWait", "70");
  store_.Set("FiscalPrinterParam", "CurrencyConversion", "True");
  store_.Set("FiscalPrinterParam", "COMPortPath", "/dev/ttyUSB0");
  LoadFiscalPrinterSettings(store_, module_.settings);
  FiscalOptionsEditor editor(module_, store_, ui_);
  FiscalOptionsValues v = editor.Load();
  EXPECT_EQ(TypeCodeAt(v.typeIndex), kDeviceDSProgress);
  EXPECT_EQ(v.portIndex, 1);
  EXPECT_EQ(v.portParam, "9600,n,8,1");
  EXPECT_EQ(v.commandWait, "00070");
  EXPECT_EQ(v.timeout, "05000");
  EXPECT_EQ(v.department, "00004");
  EXPECT_EQ(v.descriptionLen, "020");
  EXPECT_FALSE(v.currencyConversion) << "no conversion currency: the box is hidden and unticked";
  EXPECT_TRUE(v.sendDescription);

  v.typeIndex = -1;
  v.portIndex = 3;
  v.portParam = "9600,e,7,1";
  v.timeout = "00250";
  v.department = "12";
  v.descriptionLen = "040";
  v.currencyConversion = true;
  v.sendDescription = false;
  editor.Save(v);
  const std::pair<const char*, const char*> stored[] = {
      {"Type", "-1"},
      {"COMPortNumber", "3"},
      {"COMPortParam", "9600,e,7,1"},
      {"CommandWait", "70"},
      {"Timout", "250"},
      {"DefaultDepartment", "12"},
      {"DescriptionLen", "40"},
      {"CurrencyConversion", "False"},
      {"SendDescription", "False"},
      {"COMPortPath", "/dev/ttyUSB0"},
  };
  for (const auto& [key, text] : stored) {
    EXPECT_EQ(store_.GetOr("FiscalPrinterParam", key, "<none>"), text) << key;
  }
  EXPECT_EQ(module_.settings.Type, kDeviceNone);
  EXPECT_EQ(module_.settings.Timout, 250);

  // With a conversion currency the box keeps what it was given.
  FiscalOptionsEditor withLire(module_, store_, ui_, "Lire");
  v.currencyConversion = true;
  withLire.Save(v);
  EXPECT_EQ(store_.GetOr("FiscalPrinterParam", "CurrencyConversion", ""), "True");
  EXPECT_TRUE(withLire.Load().currencyConversion);
  // A type the list does not have selects nothing.
  module_.settings.Type = 42;
  EXPECT_EQ(withLire.Load().typeIndex, -1);
}

TEST_F(FiscalOptionsStore, AnUnreadableSpeedSendsNothing) {
  FiscalOptionsEditor editor(module_, store_, ui_);
  FiscalOptionsValues v = editor.Load();
  v.typeIndex = TypeIndexOf(kDeviceRCHG600);
  v.portParam = "9700,n,8,1";
  std::vector<bool> working;
  EXPECT_FALSE(editor.SendTestReceipt(v, [&](bool w) { working.push_back(w); }));
  EXPECT_EQ(ui_.messages().back(), "Velocita' imposta non valida (1200,2400,4800,9600 o 19200)");
  EXPECT_TRUE(working.empty());
  EXPECT_EQ(store_.GetOr("FiscalPrinterParam", "COMPortParam", ""), "9700,n,8,1");
  EXPECT_EQ(module_.driver(), nullptr);
}

class TestReceipt : public testing::SimulatorTest {
 protected:
  TestReceipt() : SimulatorTest(kDeviceDSProgress) {
    module_.wrapDriver = [this](std::unique_ptr<itfFiscalPrinter> driver) {
      return NewTracingPrinter(std::move(driver), [this](const std::string& line) {
        if (line.rfind("FiscalPrinterDescription", 0) != 0) calls_.push_back(line);
      });
    };
    editor_.emplace(module_, store_, ui_);
    values_ = editor_->Load();
    values_.timeout = "00300";
  }
  platform::MemorySettings store_;
  std::optional<FiscalOptionsEditor> editor_;
  FiscalOptionsValues values_;
  std::vector<bool> working_;
  std::vector<std::string> calls_;  // the driver's members as called
  std::function<void(bool)> working() {
    return [this](bool w) { working_.push_back(w); };
  }
};

TEST_F(TestReceipt, OneSmallestUnitOnDepartmentOneThenTheDriverIsReleased) {
  ui_.QueueAnswer(Answer::Ok);
  EXPECT_TRUE(editor_->SendTestReceipt(values_, working())) << LastMessage();
  EXPECT_EQ(sim_.Paper(), "SCONTRINO\nARTICOLO PROVA REP 1 = 0.01\nTOTALE 0.01\n\n");
  EXPECT_EQ(calls_,
            (std::vector<std::string>{"SetParameters\t1\t9600,n,8,1", "NewSession\t2",
                                      "SendData\t0.01\t1\tARTICOLO PROVA\t1", "EndSession"}));
  EXPECT_EQ(ui_.messages().front(),
            "Le impostazioni correnti verranno salvate...\r\rConfermi l'invio dello scontrino di "
            "prova ?");
  EXPECT_EQ(std::count(ui_.log().begin(), ui_.log().end(), "BEEP"), 1);
  EXPECT_EQ(working_, (std::vector<bool>{true, false}));
  EXPECT_EQ(module_.driver(), nullptr);
  EXPECT_FALSE(module_.busy);
  EXPECT_EQ(store_.GetOr("FiscalPrinterParam", "Timout", ""), "300");
  EXPECT_EQ(store_.GetOr("FiscalPrinterParam", "Type", ""), "8");

  // A currency without cents: one whole unit. An active printer keeps its driver.
  Connect();
  calls_.clear();
  editor_->mainDecimals = 0;
  ui_.QueueAnswer(Answer::Ok);
  EXPECT_TRUE(editor_->SendTestReceipt(values_, working())) << LastMessage();
  EXPECT_EQ(calls_, (std::vector<std::string>{"SetParameters\t1\t9600,n,8,1", "NewSession\t0",
                                              "SendData\t1\t1\tARTICOLO PROVA\t1", "EndSession"}));
  EXPECT_NE(module_.driver(), nullptr);
}

TEST_F(TestReceipt, NotConfirmedSavesAndSendsNothing) {
  ui_.QueueAnswer(Answer::Cancel);
  EXPECT_FALSE(editor_->SendTestReceipt(values_, working()));
  EXPECT_FALSE(store_.Get("FiscalPrinterParam", "Type").has_value());
  EXPECT_TRUE(sim_.Commands().empty());
  EXPECT_TRUE(working_.empty());
}

TEST_F(TestReceipt, ARegisterThatDoesNotAnswerEndsTheTestWithItsError) {
  sim_.InjectFault(1, sim::Fault::Silent);
  ui_.QueueAnswer(Answer::Ok);
  EXPECT_FALSE(editor_->SendTestReceipt(values_, working()));
  EXPECT_EQ(LastMessage().rfind("Errore in stampa scontrino: \r\rCodice: ", 0), 0u)
      << LastMessage();
  EXPECT_EQ(working_, (std::vector<bool>{true, false}));
  EXPECT_EQ(module_.driver(), nullptr);
  EXPECT_FALSE(module_.busy);

  // A port that cannot be opened is reported the same way; the window never went busy.
  working_.clear();
  module_.settings.COMPortPath = "/dev/tillbook-no-such-port";
  ui_.QueueAnswer(Answer::Ok);
  EXPECT_FALSE(editor_->SendTestReceipt(values_, working()));
  EXPECT_EQ(LastMessage().rfind("Errore in stampa scontrino: \r\r", 0), 0u) << LastMessage();
  EXPECT_NE(LastMessage().find("/dev/tillbook-no-such-port"), std::string::npos);
  EXPECT_TRUE(working_.empty());
}

// A register that stops answering mid-receipt, for every family the simulators serve: the
// emission ends at once with the driver's message, the sale is untouched, and a request from
// another workstation waiting behind the one being served stays in the spool.
class DroppedLine : public testing::SimulatorTest, public ::testing::WithParamInterface<int> {
 protected:
  DroppedLine() : SimulatorTest(GetParam()) {}
};

TEST_P(DroppedLine, EndsTheReceiptWithAMessageAndLosesNothing) {
  module_.settings.Timout = 5000;
  Connect();
  Row bar = archive_.Article("BAR", 2);
  Row sale = archive_.Sale();
  archive_.Line(sale, bar, "Uno", 1, "2.00");
  archive_.Line(sale, bar, "Due", 1, "1.00");
  const std::string folder = archive_.folder();
  auto request = [&](const std::string& host) {
    std::ofstream(folder + "/FP_REQUEST_" + host + ".tmp") << "x\r\n"
                                                           << host << "\r\nMario\r\nVendite\r\n"
                                                           << sale.Oid() << "\r\n";
  };
  request("A");
  request("B");
  sim_.InjectFault(2, sim::Fault::Drop);
  const auto started = std::chrono::steady_clock::now();
  EXPECT_FALSE(TestNetwork_Scontrino(module_, archive_.conn(), ui_));
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3));
  EXPECT_TRUE(sim_.dropped());
  EXPECT_EQ(LastMessage().rfind(
                "Si e' verificato un errore durante l'emissione dello scontrino:\r\rCodice: ", 0),
            0u)
      << LastMessage();
  EXPECT_FALSE(module_.busy);
  EXPECT_EQ(sim_.Paper().find("TOTALE"), std::string::npos) << sim_.Paper();
  // The request served is gone (it was taken); the one behind it waits for the next tick.
  EXPECT_FALSE(std::filesystem::exists(folder + "/FP_REQUEST_A.tmp"));
  EXPECT_TRUE(std::filesystem::exists(folder + "/FP_REQUEST_B.tmp"));
  Row stored = archive_.Fetch(sale);
  EXPECT_EQ(stored.List("Dettagli").size(), 2u);
}

std::string FamilyName(const ::testing::TestParamInfo<int>& info) {
  switch (info.param) {
    case kDeviceCRF4600:
      return "CRF4600";
    case kDeviceEllisse:
      return "Ellisse";
    case kDeviceEllisseExt:
      return "EllisseExt";
    case kDeviceOmegaSAX:
      return "OmegaSAX";
    default:
      return "DSProgress";
  }
}

INSTANTIATE_TEST_SUITE_P(EverySerialFamily, DroppedLine,
                         ::testing::Values(kDeviceCRF4600, kDeviceEllisse, kDeviceEllisseExt,
                                           kDeviceOmegaSAX, kDeviceDSProgress),
                         FamilyName);

}  // namespace
}  // namespace tillbook::fiscal
