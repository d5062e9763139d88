// The RCH drivers over our controls and the simulated register: the key-code command strings,
// the G1200 text lines, the Nucleo operations, the control calls in order, and the error texts.
#include <gtest/gtest.h>

#include "fiscal/clsRCH.h"
#include "fiscal/modFiscalPrinter.h"
#include "fiscal/testing/sale_fixture.h"

namespace tillbook::fiscal {
namespace {

using testing::Row;

struct Fixture {
  std::shared_ptr<SimulatedRchRegister> reg = std::make_shared<SimulatedRchRegister>();
  std::vector<std::string> calls;
  DriverContext Context(int descriptionLen = 20) {
    DriverContext c;
    c.settings.DescriptionLen = descriptionLen;
    c.rchLink = reg;
    c.nucleoLink = reg;
    c.controlTrace = [this](const std::string& line) { calls.push_back(line); };
    return c;
  }
};

TEST(RchTest, G600KeyCodes) {
  Fixture f;
  clsRCHG600 driver(f.Context());
  driver.SetParameters({Variant::Integer(1), Variant::Integer(8), Variant::Integer(3)});
  driver.NewSession(2);
  driver.SendData(1.20, 3, "CAFFE", 2);
  driver.SendData(1.20, -1, "", 1);
  driver.EndSession();
  EXPECT_EQ(f.reg->received(),
            (std::vector<std::string>{"1028", "1131113411281065", "10231129113011281064", "1001"}));
  EXPECT_EQ(f.reg->Paper(), "SCONTRINO\nREP 2 = 3.60\nREP 1 = -1.20\nTOTALE 2.40\n\n");
  EXPECT_EQ(f.calls,
            (std::vector<std::string>{
                "RCHClose", "RCHOpen", "RCHSend\t100\t1028\t", "RCHSend\t100\t1131113411281065\t",
                "RCHSend\t100\t10231129113011281064\t", "RCHSend\t100\t1001\t", "RCHClose"}));
  EXPECT_EQ(driver.RCHComm().Modello, 1);

  // The recording link keeps what the control hands over, opening parameters included.
  auto recorder = std::make_shared<RecordingRchLink>();
  DriverContext c;
  c.rchLink = recorder;
  clsRCHG600 recorded(c);
  recorded.SetParameters({Variant::Integer(4), Variant::Integer(2)});
  recorded.NewSession(0);
  recorded.SendData(1500, 1, "", 1);
  recorded.CancelSession();
  EXPECT_EQ(recorder->received(),
            (std::vector<std::string>{"Close", "Open\t4\t2\t1", "1028", "11291133112811281064",
                                      "1028", "Close"}));
  EXPECT_EQ(driver.RCHComm().BaudRate, 8);
}

TEST(RchTest, G1200TextLinesAndKeyLines) {
  struct Case {
    const char* name;
    int quantity;
    const char* text;
    const char* amount;
    int decimals, department;
    std::string expected;
  };
  const Case cases[] = {
      {"three pieces", 3, "CAFFE", "3.60", 2, 1,
       "#3x CAFFE" + std::string(12, ' ') + "00000360 01"},
      {"one piece, no prefix", 1, "PANE", "1.00", 2, 12,
       "#PANE" + std::string(16, ' ') + "00000100 12"},
      {"twelve pieces of a long text", 12, "ABCDEFGHIJKLMNOPQRST", "12", 2, 3,
       "#12x ABCDEFGHIJKLMNOP00001200 03"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RCHTextLine(c.quantity, c.text, *Money::Parse(c.amount), c.decimals, c.department),
              c.expected)
        << c.name;
  }
  EXPECT_EQ(RCHAmountDigits(*Money::Parse("1500"), 0), "1129113311281128");
  EXPECT_EQ(RCHAmountDigits(*Money::Parse("0.005"), 2), "1129");  // half up: 1 cent

  Fixture f;
  clsRCHG1200 driver(f.Context(20));
  driver.SetParameters({Variant::Integer(2), Variant::Integer(16), Variant::Integer(2)});
  EXPECT_EQ(driver.FiscalPrinterDescription(), "RCH G1200");
  driver.NewSession(2);
  driver.SendData(1.20, 3, "Caffè", 1);
  driver.SendData(1.20, -1, "", 1);  // no text: the key line, the return marker on its own
  driver.EndSession();
  EXPECT_EQ(f.reg->received(), (std::vector<std::string>{"1040", "#3x CAFFE            00000360 01",
                                                         "1032", "1129113011281064", "1001"}));
  EXPECT_EQ(driver.RCHComm().Parity, 1);
  EXPECT_EQ(driver.RCHComm().DataBits, 2);
  driver.SetParameters(
      {Variant::Integer(2), Variant::Integer(16), Variant::Integer(2), Variant::Integer(1)});
  EXPECT_EQ(driver.FiscalPrinterDescription(), "RCH G2000");
}

TEST(RchTest, RefusalsCarryTheStatusText) {
  Fixture f;
  clsRCHG600 driver(f.Context());
  driver.SetParameters({Variant::Integer(1), Variant::Integer(8)});
  driver.NewSession(2);
  f.reg->RefuseAt(1, 1004);
  try {
    driver.SendData(1, 1, "", 1);
    ADD_FAILURE() << "no error";
  } catch (const DriverError& e) {
    EXPECT_EQ(e.message(), "[1004] Comando non valido");
    EXPECT_EQ(static_cast<uint32_t>(e.number()), 0x80040000u + 1004);
    EXPECT_EQ(e.source(), "RCH G600");
  }
  EXPECT_EQ(RCHErrorText(4242), "[4242] ");
  // A closed control answers 519 to the opening's command.
  f.reg->Close();
  clsRCHG600 closed(f.Context());
  f.reg->RefuseAt(1, 519);
  EXPECT_THROW(closed.NewSession(2), DriverError);
}

// A Nucleo link whose receipt end fails as the register does when the paper was already cut.
class EndFails : public SimulatedRchRegister {
 public:
  int code = 114, extended = 207;
  int Call(const std::string& op, const std::vector<std::string>& args, int& rc,
           int& ext) override {
    const int result = SimulatedRchRegister::Call(op, args, rc, ext);
    if (op != "EndFiscalReceipt") return result;
    rc = code;
    ext = extended;
    return 1;
  }
};

TEST(RchTest, NucleoOperationsAndTheAcceptedEndFailure) {
  Fixture f;
  clsRCHNucleo driver(f.Context(5));
  driver.SetParameters({Variant::Integer(3)});
  driver.NewSession(2);
  driver.SendData(1.20, 3, "Caffè lungo", 1);
  driver.SendData(0.30, -2, "Vuoto", 1);
  driver.EndSession();
  EXPECT_EQ(f.calls, (std::vector<std::string>{
                         "RCHClose", "RCHOpen\t3", "BeginFiscalReceipt\tTrue",
                         "PrintRecItem\tCAFFE\t3.6\t3\t0\t1.2", "PrintRecRefund\tVUOTO\t0.6",
                         "PrintRecTotal\t0\t0\t", "EndFiscalReceipt\tFalse", "RCHClose"}));
  EXPECT_EQ(f.reg->Paper(), "SCONTRINO\nCAFFE = 3.60\nVUOTO = -0.60\nTOTALE 3.00\n\n");

  auto failing = std::make_shared<EndFails>();
  DriverContext c;
  c.nucleoLink = failing;
  clsRCHNucleo quiet(c);
  quiet.NewSession(2);
  EXPECT_NO_THROW(quiet.EndSession());
  failing->extended = 0;
  quiet.NewSession(2);
  try {
    quiet.EndSession();
    ADD_FAILURE() << "no error";
  } catch (const DriverError& e) {
    EXPECT_EQ(e.message(), "Errore N.114 (72)\r\rChiusura dello scontrino");
  }
}

TEST(RchTest, AWholeReceiptThroughTheModuleWithTheSpeedCode) {
  testing::SaleArchive archive("RchWhole");
  Row bar = archive.Article("BAR", 2);
  Row sale = archive.Sale();
  archive.Line(sale, bar, "Caffè", 3, "1.20");
  Fixture f;
  FiscalModule module;
  module.settings.Type = kDeviceRCHG2000;
  module.settings.COMPortParam = "19200,n,7,1";
  module.rchLink = f.reg;
  module.controlTrace = [&](const std::string& l) { f.calls.push_back(l); };
  engine::ScriptedUi ui;
  module.SetFiscalPrinter(true, ui);
  ASSERT_NE(module.driver(), nullptr);
  auto* driver = dynamic_cast<clsRCHG1200*>(module.driver());
  ASSERT_NE(driver, nullptr);
  EXPECT_EQ(driver->RCHComm().BaudRate, 16);
  EXPECT_EQ(driver->RCHComm().DataBits, 2);
  EXPECT_EQ(ui.log().back(), "STATUS Registratore di cassa <RCH G1200> attivato");
  Row fresh = archive.Fetch(sale);
  EXPECT_TRUE(Send_Scontrino(module, fresh, ui));
  EXPECT_EQ(f.reg->Paper(), "SCONTRINO\n3x CAFFE REP 2 = 3.60\nTOTALE 3.60\n\n");
}

}  // namespace
}  // namespace tillbook::fiscal
