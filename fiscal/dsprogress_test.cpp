// clsDSProgress against its simulator on a pseudo-terminal: line commands as the
// register reads them, whole receipts byte for byte, and every failure ending in the driver's
// message with no line sent twice.
#include <gtest/gtest.h>

#include "fiscal/clsDSProgress.h"
#include "fiscal/testing/sim_fixture.h"

namespace tillbook::fiscal {
namespace {

using engine::Answer;
using testing::Row;

TEST(DsProgressCommandTest, LineCommands) {
  struct Case {
    const char* name;
    double price;
    int quantity;
    const char* description;
    int department, decimals, length;
    const char* expected;
  };
  const Case cases[] = {
      {"three pieces", 1.20, 3, "CAFFE", 2, 2, 20, "KR360R2CAFFE"},
      {"a return without description", 1.20, -1, "", 1, 2, 20, "KR-120R1"},
      {"negative price is a return too", -1.20, 1, "", 1, 2, 20, "KR-120R1"},
      {"department above nine", 5, 1, "", 12, 2, 20, "KR500R0"},
      {"cut to 22 whatever the length", 1, 1, "abcdefghijklmnopqrstuvwxyz1234", 3, 2, 40,
       "KR100R3ABCDEFGHIJKLMNOPQRSTUV"},
      {"cut to the length, trailing blanks removed", 1, 1, "Caffè lungo", 4, 2, 6, "KR100R4CAFFE"},
      {"half up to the currency digits", 0.125, 1, "", 1, 2, 20, "KR13R1"},
      {"no decimals", 1500, 2, "", 1, 0, 20, "KR3000R1"},
      {"nothing", 0, 1, "", 1, 2, 20, "KR0R1"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(
        DspLineCommand(c.price, c.quantity, c.description, c.department, c.decimals, c.length),
        c.expected)
        << c.name;
  }
}

class DsProgressTest : public testing::SimulatorTest {
 protected:
  DsProgressTest() : SimulatorTest(kDeviceDSProgress) {}
};

TEST_F(DsProgressTest, WholeReceiptsByteForByte) {
  Connect();
  Row bar = archive_.Article("BAR", 2);
  Row shop = archive_.Article("SHOP", 12);
  Row sale = archive_.Sale();
  archive_.Line(sale, bar, "Caffè", 3, "1.20");
  archive_.Line(sale, shop, "Vuoto", -1, "0.30");
  archive_.Line(sale, shop, "Cassa acqua 6 bottiglie x 1,5 l", 150, "0.40");
  archive_.Line(sale, bar, "Grana", 2.5, "4.00");
  ASSERT_TRUE(Send(sale)) << LastMessage();
  ExpectWire(
      "KXCL\r"
      "KR6000R0CASSA ACQUA 6 BOTTIG\r"  // over 99 pieces: one at the amount
      "KR800R2GRANA\r"                  // 2.5 pieces: 2 at 10.00 / 2.5
      "KR360R2CAFFE\r"
      "KR-30R0VUOTO\r"
      "KRT1\r");
  EXPECT_EQ(sim_.Paper(),
            "SCONTRINO\nCASSA ACQUA 6 BOTTIG REP 0 = 60.00\nGRANA REP 2 = 8.00\n"
            "CAFFE REP 2 = 3.60\nVUOTO REP 0 = -0.30\nTOTALE 71.30\n\n");
}

TEST_F(DsProgressTest, AStoppedReceiptIsCancelledAndTheRetryPrintsItOnce) {
  Connect();
  Row bar = archive_.Article("BAR", 2);
  Row sale = archive_.Sale();
  archive_.Line(sale, bar, "Uno", 1, "2.00");
  archive_.Line(sale, bar, "Due", 1, "1.00");
  ui_.StopOnceAt(2);
  ui_.QueueAnswer(Answer::Ok);
  ASSERT_TRUE(Send(sale)) << LastMessage();
  ExpectWire("KXCL\rKR200R2UNO\rKXCL\rKXCL\rKR200R2UNO\rKR100R2DUE\rKRT1\r");
  EXPECT_EQ(sim_.Paper(),
            "SCONTRINO\nUNO REP 2 = 2.00\nANNULLATO\n\n"
            "SCONTRINO\nUNO REP 2 = 2.00\nDUE REP 2 = 1.00\nTOTALE 3.00\n\n");
}

TEST_F(DsProgressTest, EveryFailureEndsInTheDriverMessageWithNothingSentTwice) {
  struct Case {
    const char* name;
    int command;
    sim::Fault fault;
    std::string message;
  };
  const std::string prefix = "Si e' verificato un errore durante l'emissione dello scontrino:\r\r";
  const std::string opening = prefix +
                              "Codice: 1\r\rErrore di comunicazione con il registratore "
                              "di cassa (" +
                              sim_.path() + "-9600,n,8,1)";
  const std::string line = prefix +
                           "Codice: 3\r\rErrore di comunicazione in invio dei dati "
                           "(reparto 2)";
  const std::string closing =
      prefix + "Codice: 2\r\rErrore di comunicazione in chiusura dello scontrino";
  const Case cases[] = {
      {"no answer to the opening", 1, sim::Fault::Silent, opening},
      {"unterminated answer to a line", 2, sim::Fault::Refuse, line},
      {"garbage for a line", 2, sim::Fault::Garbage, line},
      {"line answered after the time-out", 2, sim::Fault::Late, line},
      {"no answer to the closing", 3, sim::Fault::Silent, closing},
  };
  Connect();
  Row bar = archive_.Article("BAR", 2);
  Row sale = archive_.Sale();
  archive_.Line(sale, bar, "Uno", 1, "2.00");
  int start = 0;
  for (const auto& c : cases) {
    sim_.InjectFault(start + c.command, c.fault, 600);
    EXPECT_FALSE(Send(sale)) << c.name;
    EXPECT_EQ(LastMessage(), c.message) << c.name;
    // Let the late answer arrive: the next receipt starts by discarding it.
    if (c.fault == sim::Fault::Late) std::this_thread::sleep_for(std::chrono::milliseconds(700));
    auto commands = sim_.Commands();
    EXPECT_TRUE(NoneTwice({commands.begin() + start, commands.end()}, "KR2")) << c.name;
    start = static_cast<int>(commands.size());
  }
  EXPECT_EQ(sim_.Paper().find("TOTALE"), std::string::npos) << sim_.Paper();
}

TEST_F(DsProgressTest, ALineDroppedHalfWayIsReportedAtOnce) {
  module_.settings.Timout = 5000;
  Connect();
  Row bar = archive_.Article("BAR", 2);
  Row sale = archive_.Sale();
  archive_.Line(sale, bar, "Uno", 1, "2.00");
  sim_.InjectFault(2, sim::Fault::Drop);
  const auto started = std::chrono::steady_clock::now();
  EXPECT_FALSE(Send(sale));
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3));
  EXPECT_NE(LastMessage().find("Codice: 3"), std::string::npos) << LastMessage();
}

}  // namespace
}  // namespace tillbook::fiscal
