// The SID driver over our conversation: the bracketed commands, a whole receipt on the
// simulated partner with the conversation's calls, and the messages when the partner is not
// running or refuses a command.
#include <gtest/gtest.h>

#include "fiscal/clsSID.h"

namespace tillbook::fiscal {
namespace {

TEST(SidTest, PluCommands) {
  struct Case {
    double price;
    int quantity;
    const char* description;
    int department;
    const char* expected;
  };
  const Case cases[] = {
      {1.20, 3, "CAFFE", 2, "Plu,CAFFE,1.2,2,3"},
      {1.20, 1, "a,b", 1, "Plu,A B,1.2,1,1"},
      {0.5, 1, "", 12, "Plu,,0.5,12,1"},
      {1.20, -1, "Reso", 1, "Plu,RESO,1.2,1,-1"},
      {-2, 1, "Sconto", 1, "Plu,SCONTO,-2,1,1"},
      {3, 1, "Descrizione molto lunga", 1, "Plu,DESCRIZIONE,3,1,1"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SidPluCommand(c.price, c.quantity, c.description, c.department, 11), c.expected);
  }
}

struct SidFixture {
  std::shared_ptr<SimulatedSmartComm> partner = std::make_shared<SimulatedSmartComm>();
  std::vector<std::string> calls;
  DriverContext Context() {
    DriverContext c;
    c.ddePartner = partner;
    c.controlTrace = [this](const std::string& l) { calls.push_back(l); };
    return c;
  }
};

TEST(SidTest, AReceiptThroughTheConversation) {
  SidFixture f;
  clsSID driver(f.Context());
  driver.SetParameters({Variant::Integer(1), Variant::String("9600,n,8,1")});
  driver.NewSession(2);
  driver.SendData(1.2, 3, "Caffè", 2);
  driver.CancelSession();  // nothing reaches the register
  driver.NewSession(2);
  driver.SendData(0.5, -1, "Vuoto", 2);
  driver.EndSession();
  EXPECT_EQ(f.calls,
            (std::vector<std::string>{"LinkTopic\tSidcomm95|Sidcomm95", "LinkMode\t2",
                                      "LinkExecute\t[Plu,CAFFE,1.2,2,3]",
                                      "LinkTopic\tSidcomm95|Sidcomm95", "LinkMode\t2",
                                      "LinkExecute\t[Plu,VUOTO,0.5,2,-1]", "LinkExecute\t[CASH]"}));
  // The cancelled line is still on the register: the vendor application decides.
  EXPECT_EQ(f.partner->Paper(),
            "SCONTRINO\nCAFFE REP 2 = 3.60\nVUOTO REP 2 = -0.50\n"
            "TOTALE 3.10\n\n");
}

TEST(SidTest, APartnerThatIsNotRunningOrRefuses) {
  SidFixture f;
  f.partner->running = false;
  clsSID driver(f.Context());
  try {
    driver.NewSession(2);
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.message(),
              "Assicurarsi che l'applicazione SMARTComm (Sidcomm95) sia stata avviata\r"
              "(L'applicazione Sidcomm95 non risponde alla conversazione)");
    EXPECT_EQ(e.number(), 282);
  }
  f.partner->running = true;
  driver.NewSession(2);
  f.partner->running = false;
  try {
    driver.SendData(1, 1, "X", 1);
    ADD_FAILURE() << "no error";
  } catch (const DriverError& e) {
    EXPECT_EQ(e.message(),
              "Codice: 282\r\rErrore in invio PLU dati\r(L'applicazione non "
              "risponde alla conversazione)");
    EXPECT_EQ(static_cast<uint32_t>(e.number()), 0x80040000u + 282);
    EXPECT_EQ(e.source(), "SID Smart");
  }
  try {
    driver.EndSession();
    ADD_FAILURE() << "no error";
  } catch (const DriverError& e) {
    EXPECT_EQ(e.message(),
              "Codice: 282\r\rErrore in chiusura dello scontrino\r(L'applicazione "
              "non risponde alla conversazione)");
  }
}

}  // namespace
}  // namespace tillbook::fiscal
