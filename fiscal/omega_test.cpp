// The Omega drivers: ELLISSE and SAX frames and checks, the ELLISSE answers made of frames,
// the extended mode's records, and whole receipts of the key-mode ELLISSE and of the SAX
// against their simulators, failures included.
#include <pty.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "fiscal/clsEllisse.h"
#include "fiscal/clsOmegaSAX.h"
#include "fiscal/testing/sim_fixture.h"

namespace tillbook::fiscal {
namespace {

using testing::Row;

std::string Frame(const std::string& data) {
  return BuildEllisseFrame(data);
}

TEST(OmegaFrameTest, ChecksAsTheRegistersComputeThem) {
  EXPECT_EQ(BuildEllisseFrame("064"),
            "\x02"
            "064\x04"
            "A0\x03");
  EXPECT_EQ(BuildEllisseFrame("005"),
            "\x02"
            "005\x04"
            "9B\x03");
  EXPECT_EQ(BuildEllisseFrame("SST"),
            "\x02SST\x04"
            "00\x03");  // leading zero kept
  EXPECT_EQ(BuildSaxFrame("AB"),
            "\x02"
            "AB1\x03");  // no leading zero
  EXPECT_EQ(BuildSaxFrame("000N"),
            "\x02"
            "000N"
            "7C\x03");

  EXPECT_EQ(ParseEllisseFrame("junk" + Frame("123") + "more"), "123");
  EXPECT_EQ(ParseEllisseFrame("\x02"
                              "064\x04"
                              "A1\x03"),
            "");  // wrong check
  EXPECT_EQ(ParseEllisseFrame("\x02"
                              "064A0\x03"),
            "");  // no EOT
  EXPECT_EQ(ParseEllisseFrame("\x02\x03"), "");

  EXPECT_EQ(EllisseDigitKey('0'), "048");
  EXPECT_EQ(EllisseDigitKey('9'), "057");
  EXPECT_EQ(EllisseDepartmentKey(1), "071");
  EXPECT_EQ(EllisseDepartmentKey(12), "082");
}

TEST(OmegaRecordTest, ExtendedModeAndSaxRecords) {
  struct Case {
    const char* name;
    std::string actual, expected;
  };
  const Case cases[] = {
      {"first line, one piece", EllisseItemRecord(0.5, 1, 3, 2, true),
       "700p000000005003" + std::string(14, '0') + "000000000" + "0" + std::string(16, ' ') + "00"},
      {"later line, three pieces", EllisseItemRecord(1.2, 3, 12, 2, false),
       "7000000000012012" + std::string(14, '0') + "000000003" + "0" + std::string(16, ' ') + "00"},
      {"return", EllisseItemRecord(-1.2, 1, 1, 2, true),
       "7008000000012001" + std::string(14, '0') + "000000000" + "0" + std::string(16, ' ') + "00"},
      {"description record", EllisseDescriptionRecord("  CAFFE"),
       "5100-CAFFE" + std::string(26, ' ') + "0"},
      {"no description, no record", EllisseDescriptionRecord(""), ""},
      {"SAX sale line", SaxLineRecord(1.2, 3, "Caffè lungo", 2, 2, 20),
       "R02CAFFE LUNGO    00000360"},
      {"SAX return cut to 15", SaxLineRecord(1.2, -1, "abcdefghijklmnopq", 1, 2, 40),
       "r01ABCDEFGHIJKLMNO00000120"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected) << c.name;
  EXPECT_EQ(EllisseItemRecord(0.5, 1, 3, 2, true).size(), 58u);
  EXPECT_EQ(EllisseDescriptionRecord("X").size(), 37u);
}

TEST(OmegaReceiveTest, AnAnswerOfTwoFramesJoinsTheirDataAndIsConfirmed) {
  int master = -1, slave = -1;
  char name[256];
  ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
  ::close(slave);
  DriverContext context;
  context.settings.COMPortPath = name;
  context.settings.Timout = 500;
  clsEllisseExt driver(context);
  driver.SetParameters({Variant::Integer(1), Variant::String("9600,n,8,1")});
  const std::string answer = Frame("123") + Frame("450");
  ASSERT_EQ(::write(master, answer.data(), answer.size()), static_cast<ssize_t>(answer.size()));
  std::string reply;
  EXPECT_TRUE(driver.ReceiveEllisse(reply, true));
  EXPECT_EQ(reply, "123\r\n450");
  char buf[64];
  std::string ack;
  for (int i = 0; i < 50 && ack.size() < 7; ++i) {
    ssize_t n = ::read(master, buf, sizeof buf);
    if (n > 0)
      ack.append(buf, static_cast<size_t>(n));
    else
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(ack, Frame("120"));

  // A data frame right behind an acknowledgement is the next answer, not lost with the first.
  const std::string both = "\x06" + Frame("700");
  ASSERT_EQ(::write(master, both.data(), both.size()), static_cast<ssize_t>(both.size()));
  EXPECT_TRUE(driver.ReceiveEllisse(reply, false));
  EXPECT_EQ(reply, "");
  EXPECT_TRUE(driver.ReceiveEllisse(reply, false));
  EXPECT_EQ(reply, "700");

  // Neither frame with "0" third: read, but a failure.
  const std::string refused = Frame("129");
  ASSERT_EQ(::write(master, refused.data(), refused.size()), static_cast<ssize_t>(refused.size()));
  EXPECT_FALSE(driver.ReceiveEllisse(reply, false));
  EXPECT_EQ(reply, "129");
  ::close(master);
}

class EllisseTest : public testing::SimulatorTest {
 protected:
  EllisseTest() : SimulatorTest(kDeviceEllisse) {}
};

TEST_F(EllisseTest, KeysOfAWholeReceiptWithAReturn) {
  Connect();
  Row bar = archive_.Article("BAR", 3);
  Row sale = archive_.Sale();
  archive_.Line(sale, bar, "Caffè", 2, "0.50");
  archive_.Line(sale, bar, "Vuoto", -1, "0.10");
  ASSERT_TRUE(Send(sale)) << LastMessage();
  ExpectWire(Frame("064") + Frame("049") + Frame("048") + Frame("048") + Frame("073") +
             Frame("121") + Frame("049") + Frame("048") + Frame("073") + Frame("005"));
  EXPECT_EQ(sim_.Paper(), "SCONTRINO\n- REP 3 = 1.00\n- REP 3 = -0.10\nTOTALE 0.90\n\n");
}

TEST_F(EllisseTest, ARefusedDigitNamesTheKey) {
  Connect();
  Row bar = archive_.Article("BAR", 3);
  Row sale = archive_.Sale();
  archive_.Line(sale, bar, "Caffè", 1, "7.00");
  sim_.InjectFault(3, sim::Fault::Refuse);  // the second digit of 700
  EXPECT_FALSE(Send(sale));
  EXPECT_EQ(LastMessage(),
            "Si e' verificato un errore durante l'emissione dello scontrino:\r\r"
            "Codice: 3\r\rErrore di comunicazione in invio dei dati (tasto 0)");
  EXPECT_EQ(sim_.Commands().size(), 3u);
}

class OmegaSaxTest : public testing::SimulatorTest {
 protected:
  OmegaSaxTest() : SimulatorTest(kDeviceOmegaSAX) {}
};

TEST_F(OmegaSaxTest, ATwoLineReceiptIsNumberedFromZero) {
  Connect();
  Row bar = archive_.Article("BAR", 2);
  Row sale = archive_.Sale();
  archive_.Line(sale, bar, "Caffè", 3, "1.20");
  archive_.Line(sale, bar, "Acqua", 1, "1.00");
  ASSERT_TRUE(Send(sale)) << LastMessage();
  ExpectWire(BuildSaxFrame("F") + BuildSaxFrame("000N") +
             BuildSaxFrame("001R02CAFFE          00000360") +
             BuildSaxFrame("002R02ACQUA          00000100") + BuildSaxFrame("003T 0        0"));
  EXPECT_EQ(sim_.Paper(), "SCONTRINO\nCAFFE REP 2 = 3.60\nACQUA REP 2 = 1.00\nTOTALE 4.60\n\n");

  // The next receipt starts again at 000; a refused line names the department.
  sim_.InjectFault(8, sim::Fault::Refuse);
  EXPECT_FALSE(Send(sale));
  EXPECT_EQ(LastMessage(),
            "Si e' verificato un errore durante l'emissione dello scontrino:\r\r"
            "Codice: 3\r\rErrore di comunicazione in invio dei dati (reparto 2)");
  EXPECT_EQ(sim_.Commands()[6], BuildSaxFrame("000N"));
}

TEST_F(OmegaSaxTest, NoAnswerToTheResetSaysSo) {
  Connect();
  Row bar = archive_.Article("BAR", 2);
  Row sale = archive_.Sale();
  archive_.Line(sale, bar, "Caffè", 1, "1.00");
  sim_.InjectFault(1, sim::Fault::Silent);
  EXPECT_FALSE(Send(sale));
  EXPECT_EQ(LastMessage(),
            "Si e' verificato un errore durante l'emissione dello scontrino:\r\r"
            "Codice: 1\r\rErrore di comunicazione con il registratore di cassa (" +
                sim_.path() + "-9600,n,8,1) - azzeramento free conunter");
}

}  // namespace
}  // namespace tillbook::fiscal

namespace tillbook::fiscal {
namespace {

class EllisseExtTest : public testing::SimulatorTest {
 protected:
  EllisseExtTest() : SimulatorTest(kDeviceEllisseExt) {}
};

TEST_F(EllisseExtTest, RecordsConfirmedInTwoStepsWithTheirDescriptions) {
  Connect();
  Row bar = archive_.Article("BAR", 2);
  Row sale = archive_.Sale();
  archive_.Line(sale, bar, "Caffè", 3, "1.20");
  archive_.Line(sale, bar, "Vuoto", -1, "0.10");
  ASSERT_TRUE(Send(sale)) << LastMessage();
  const std::string tail = std::string(14, '0');
  const std::string pad = "0" + std::string(16, ' ') + "00";
  ExpectWire(Frame("700p000000012002" + tail + "000000003" + pad) + Frame("700") + Frame("000") +
             Frame(EllisseDescriptionRecord("CAFFE")) +
             Frame("7008000000001002" + tail + "-000000001" + pad) + Frame("700") + Frame("000") +
             Frame(EllisseDescriptionRecord("VUOTO")) +
             Frame("7400000000000010000000000000000000000000") + Frame("740") + Frame("000"));
  EXPECT_EQ(sim_.Paper(), "SCONTRINO\nCAFFE REP 2 = 3.60\nVUOTO REP 2 = -0.10\nTOTALE 3.50\n\n");
}

TEST_F(EllisseExtTest, ARecordWithoutAnswerFailsTheLine) {
  Connect();
  Row bar = archive_.Article("BAR", 2);
  Row sale = archive_.Sale();
  archive_.Line(sale, bar, "Caffè", 1, "1.20");
  sim_.InjectFault(1, sim::Fault::Silent);
  EXPECT_FALSE(Send(sale));
  EXPECT_EQ(LastMessage(),
            "Si e' verificato un errore durante l'emissione dello scontrino:\r\r"
            "Codice: 3\r\rErrore di comunicazione in invio dei dati");
  // Nothing follows the unanswered record: no description, no closing.
  EXPECT_EQ(sim_.Commands().size(), 1u);
}

}  // namespace
}  // namespace tillbook::fiscal
