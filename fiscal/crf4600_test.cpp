// clsCRF4600 against its simulator on a pseudo-terminal: the command texts, whole
// receipts byte for byte (sale, return, mixed, cancelled and retried), and every failure ending
// in the driver's message with no line sent twice.
#include <gtest/gtest.h>

#include "fiscal/clsCRF4600.h"
#include "fiscal/testing/sim_fixture.h"

namespace tillbook::fiscal {
namespace {

using engine::Answer;
using testing::Row;

// A command as it crosses the line with the driver's acknowledgement of the reply.
std::string Sent(const std::string& command) {
  return "\x02" + command + "\x03\x06";
}
const std::string kOpenSale = Sent("t!1") + Sent("p!3") + Sent("q!0");
const std::string kOpenReturn = Sent("t!1") + Sent("p!3") + Sent("q!1");
const std::string kClose = Sent("q\"50 ") + Sent("t!0");

TEST(Crf4600CommandTest, LineCommandsAndFieldsAsTheRegisterReadsThem) {
  struct Case {
    const char* name;
    const char* price;
    int quantity;
    const char* description;
    int length;
    std::string expected;
  };
  const Case cases[] = {
      {"one piece with description", "2.5", 1, "CAFFE", 5, "q\"10!1#2.5!1      %CAFFE"},
      {"no description ends after the quantity", "2.5", 1, "", 5, "q\"10!1#2.5!1"},
      {"return: absolute values, comma as point", "-12,3", -12, "x", 3,
       "q\"10!1$12.3\"12      #X  "},
      {"normalised, capitals, cut and padded", "1", 2, "Caffè à la carte!", 10,
       "q\"10!1!1!2      *CAFFE A LA"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CrfLineCommand(c.price, c.quantity, c.description, c.length), c.expected) << c.name;
  }
  // Field length characters are pinned: 32 + length.
  EXPECT_EQ(CrfField(""), " ");
  EXPECT_EQ(CrfField("50"), "\"50");
  EXPECT_EQ(CrfField(std::string(20, 'A')), "4" + std::string(20, 'A'));
}

class Crf4600Test : public testing::SimulatorTest {
 protected:
  Crf4600Test() : SimulatorTest(kDeviceCRF4600) { module_.settings.DescriptionLen = 5; }
};

TEST_F(Crf4600Test, ASaleReceiptByteForByte) {
  Connect();
  Row bar = archive_.Article("BAR", 2);
  Row sale = archive_.Sale();
  archive_.Line(sale, bar, "Caffè", 1, "2.50");
  archive_.Line(sale, bar, "Acqua", 3, "1.00");
  archive_.Line(sale, bar, "Pane", 120, "0.10");
  ASSERT_TRUE(Send(sale)) << LastMessage();
  ExpectWire(kOpenSale + Sent("q\"10!1\"12!1      %PANE ") + Sent("q\"10!1!1!3      %ACQUA") +
             Sent("q\"10!1#2.5!1      %CAFFE") + kClose);
  EXPECT_EQ(sim_.Paper(),
            "SCONTRINO\nPANE 1 x 12.00 = 12.00\nACQUA 3 x 1.00 = 3.00\nCAFFE 1 x 2.50 = 2.50\n"
            "TOTALE 17.50\n\n");
}

TEST_F(Crf4600Test, AReturnLineSplitsTheSaleIntoASaleAndAReturnReceipt) {
  Connect();
  Row bar = archive_.Article("BAR", 2);
  Row sale = archive_.Sale();
  archive_.Line(sale, bar, "Vino", 1, "9.00");
  archive_.Line(sale, bar, "Vuoto", -2, "0.25");
  ASSERT_TRUE(Send(sale)) << LastMessage();
  ExpectWire(kOpenSale + Sent("q\"10!1!9!1      %VINO ") + kClose + kOpenReturn +
             Sent("q\"10!1$0.25!2      %VUOTO") + kClose);
  EXPECT_EQ(sim_.Paper(),
            "SCONTRINO\nVINO 1 x 9.00 = 9.00\nTOTALE 9.00\n\n"
            "SCONTRINO DI RESO\nVUOTO 2 x 0.25 = 0.50\nTOTALE 0.50\n\n");
}

TEST_F(Crf4600Test, AFractionalQuantityAndNoDescription) {
  module_.settings.SendDescription = false;
  Connect();
  Row bar = archive_.Article("BAR", 2);
  Row sale = archive_.Sale();
  archive_.Line(sale, bar, "Formaggio", 2.5, "3.00");
  ASSERT_TRUE(Send(sale)) << LastMessage();
  ExpectWire(kOpenSale + Sent("q\"10!1!3!2") + kClose);
}

TEST_F(Crf4600Test, AStoppedReceiptIsCancelledAndTheRetryPrintsItOnce) {
  Connect();
  Row bar = archive_.Article("BAR", 2);
  Row sale = archive_.Sale();
  archive_.Line(sale, bar, "Uno", 1, "2.00");
  archive_.Line(sale, bar, "Due", 1, "1.00");
  ui_.StopOnceAt(2);
  ui_.QueueAnswer(Answer::Ok);
  ASSERT_TRUE(Send(sale)) << LastMessage();
  ExpectWire(kOpenSale + Sent("q\"10!1!2!1      %UNO  ") + Sent("t!0") + kOpenSale +
             Sent("q\"10!1!2!1      %UNO  ") + Sent("q\"10!1!1!1      %DUE  ") + kClose);
  EXPECT_EQ(sim_.Paper(),
            "SCONTRINO\nUNO 1 x 2.00 = 2.00\nANNULLATO\n\n"
            "SCONTRINO\nUNO 1 x 2.00 = 2.00\nDUE 1 x 1.00 = 1.00\nTOTALE 3.00\n\n");
}

TEST_F(Crf4600Test, EveryFailureEndsInTheDriverMessageWithNothingSentTwice) {
  struct Case {
    const char* name;
    int command;  // the simulator's command that meets the fault
    sim::Fault fault;
    std::string message;
    int beeps;
  };
  const std::string prefix = "Si e' verificato un errore durante l'emissione dello scontrino:\r\r";
  const std::string opening = prefix +
                              "Codice: 1\r\rErrore di comunicazione con il registratore "
                              "di cassa (" +
                              sim_.path() + "-9600,n,8,1)";
  const std::string line = prefix + "Codice: 3\r\rErrore di comunicazione in invio dei dati";
  const std::string closing =
      prefix + "Codice: 2\r\rErrore di comunicazione in chiusura dello scontrino";
  const Case cases[] = {
      {"no answer to the opening", 1, sim::Fault::Silent, opening, 0},
      {"refused line", 4, sim::Fault::Refuse, line, 1},
      {"garbage for a line", 4, sim::Fault::Garbage, line, 0},
      {"line answered after the time-out", 4, sim::Fault::Late, line, 0},
      {"no answer to the total", 5, sim::Fault::Silent, closing, 0},
  };
  Connect();
  Row bar = archive_.Article("BAR", 2);
  Row sale = archive_.Sale();
  archive_.Line(sale, bar, "Uno", 1, "2.00");
  int start = 0;
  for (const auto& c : cases) {
    sim_.InjectFault(start + c.command, c.fault, 600);
    beeps_ = 0;
    EXPECT_FALSE(Send(sale)) << c.name;
    EXPECT_EQ(LastMessage(), c.message) << c.name;
    EXPECT_EQ(beeps_, c.beeps) << c.name;
    EXPECT_FALSE(module_.busy);
    // Let the late answer arrive: the next receipt starts by discarding it.
    if (c.fault == sim::Fault::Late) std::this_thread::sleep_for(std::chrono::milliseconds(700));
    auto commands = sim_.Commands();
    EXPECT_TRUE(NoneTwice({commands.begin() + start, commands.end()}, "\x02q\"10")) << c.name;
    start = static_cast<int>(commands.size());
  }
  // No receipt was completed on paper.
  EXPECT_EQ(sim_.Paper().find("TOTALE"), std::string::npos) << sim_.Paper();
}

TEST_F(Crf4600Test, ALineDroppedHalfWayIsReportedAtOnce) {
  Connect();
  Row bar = archive_.Article("BAR", 2);
  Row sale = archive_.Sale();
  archive_.Line(sale, bar, "Uno", 1, "2.00");
  archive_.Line(sale, bar, "Due", 1, "1.00");
  module_.settings.Timout = 5000;
  ASSERT_TRUE(module_.CreateFiscalPrinter(false, ui_));
  sim_.InjectFault(4, sim::Fault::Drop);
  const auto started = std::chrono::steady_clock::now();
  EXPECT_FALSE(Send(sale));
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3));
  EXPECT_NE(LastMessage().find("Codice: 3"), std::string::npos) << LastMessage();
  EXPECT_TRUE(sim_.dropped());
}

TEST_F(Crf4600Test, AMissingPortDisablesThePrinterWithTheReason) {
  module_.settings.COMPortPath = "/dev/tillbook-no-such-port";
  bool checked = true;
  module_.setMenuChecked = [&](bool c) { checked = c; };
  module_.SetFiscalPrinter(true, ui_);
  EXPECT_FALSE(module_.enabled);
  EXPECT_FALSE(checked);
  EXPECT_EQ(module_.driver(), nullptr);
  EXPECT_EQ(LastMessage(),
            "Impostazione registratore di cassa fallita: \r\rCodice: 1\r\rErrore di comunicazione "
            "con il registratore di cassa (/dev/tillbook-no-such-port-9600,n,8,1)\rImpossibile "
            "aprire la porta /dev/tillbook-no-such-port: il dispositivo non esiste");
}

TEST_F(Crf4600Test, AnAcknowledgementAloneSucceedsAfterTheSilence) {
  module_.settings.CommandWait = 150;
  Connect();
  auto* driver = dynamic_cast<clsCRF4600*>(module_.driver());
  ASSERT_NE(driver, nullptr);
  const auto started = std::chrono::steady_clock::now();
  EXPECT_TRUE(driver->SendCrfCommand("t!1"));
  // The pause before the command and the silence after the ACK.
  EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(290));
  ExpectWire(Sent("t!1"));
}

}  // namespace
}  // namespace tillbook::fiscal
