// The receipt request spool: the file's five lines, taking and withdrawing, a pending earlier
// request, the order two requests are served in, a request served by another process, and the
// serving tick that prints a request once and never again.
#include "fiscal/request_spool.h"

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "engine/ui_services.h"
#include "fiscal/modFiscalPrinter.h"
#include "fiscal/testing/sale_fixture.h"
#include "platform/clock.h"
#include "platform/testing/file_bytes.h"

namespace tillbook::fiscal {
namespace {

namespace fs = std::filesystem;
using engine::Answer;
using testing::Row;

class SpoolTest : public ::testing::Test {
 protected:
  SpoolTest() : archive_(::testing::UnitTest::GetInstance()->current_test_info()->name()) {
    platform::SetCurrentClockForTesting(&clock_);
  }
  ~SpoolTest() override { platform::SetCurrentClockForTesting(nullptr); }
  std::string folder() { return archive_.folder(); }

  platform::FixedClock clock_{*DateTime::ParseIso("2026-03-01T10:15:00")};
  testing::SaleArchive archive_;
  engine::ScriptedUi ui_;
};

TEST_F(SpoolTest, ARequestIsWrittenInFiveLinesAndTakenByTheServer) {
  RequestSpool requester(folder(), "CASSA.2");
  std::string seen;
  std::optional<ReceiptRequest> taken;
  // The server's tick, run while the requester waits.
  auto pump = [&] {
    RequestSpool server(folder(), "SERVER");
    if (auto r = server.TakeReceiptRequest()) {
      seen = tillbook::testing::Bytes(r->fileName);
      if (RequestSpool::RemoveReceiptRequest(r->fileName)) taken = r;
    }
  };
  EXPECT_TRUE(requester.PostReceiptRequest("Mario", "Vendite", 42, ui_, pump));
  ASSERT_TRUE(taken.has_value());
  EXPECT_EQ(taken->tableName, "Vendite");
  EXPECT_EQ(taken->identity, 42);
  EXPECT_EQ(fs::path(taken->fileName).filename(), "FP_REQUEST_CASSA2.tmp");
  EXPECT_EQ(seen, "01/03/2026 10:15:00\r\nCASSA.2\r\nMario\r\nVendite\r\n42\r\n");
  EXPECT_FALSE(fs::exists(requester.RequestFileName()));
}

TEST_F(SpoolTest, StopWithdrawsTheRequestAndTheServerFindsNothing) {
  RequestSpool requester(folder(), "CASSA2");
  ui_.StopProgressAt(2);
  EXPECT_FALSE(requester.PostReceiptRequest("Mario", "Vendite", 7, ui_, {}));
  EXPECT_FALSE(fs::exists(requester.RequestFileName()));
  EXPECT_FALSE(RequestSpool(folder(), "SERVER").TakeReceiptRequest().has_value());
  // A request taken between the listing and the deletion is the other side's: false.
  tillbook::testing::Write(folder() + "/FP_REQUEST_X.tmp", "a\nb\nc\nVendite\n3\n");
  auto r = RequestSpool(folder(), "SERVER").TakeReceiptRequest();
  ASSERT_TRUE(r.has_value());
  EXPECT_TRUE(RequestSpool::RemoveReceiptRequest(r->fileName));
  EXPECT_FALSE(RequestSpool::RemoveReceiptRequest(r->fileName));
}

TEST_F(SpoolTest, APendingRequestIsOfferedForCancelling) {
  RequestSpool requester(folder(), "CASSA2");
  tillbook::testing::Write(requester.RequestFileName(), "old\n");
  ui_.QueueAnswer(Answer::No);
  EXPECT_FALSE(requester.PostReceiptRequest("Mario", "Vendite", 7, ui_, {}));
  EXPECT_EQ(tillbook::testing::Bytes(requester.RequestFileName()), "old\n");
  EXPECT_EQ(ui_.messages().back(),
            "<ATTENZIONE>\r\rUna precedente richiesta di emissione scontrino non è stata "
            "completata, vuoi annullarla ?");

  ui_.QueueAnswer(Answer::Yes);
  ui_.StopProgressAt(1);
  EXPECT_FALSE(requester.PostReceiptRequest("Mario", "Vendite", 7, ui_, {}));
  EXPECT_FALSE(fs::exists(requester.RequestFileName()));
}

TEST_F(SpoolTest, AFolderThatCannotBeWrittenIsReported) {
  // A file where the data folder should be: no request can be written into it.
  const std::string notAFolder = folder() + "/Tillbook.mdb";
  EXPECT_FALSE(
      RequestSpool(notAFolder, "CASSA2").PostReceiptRequest("Mario", "Vendite", 7, ui_, {}));
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_NE(ui_.messages()[0].find("FP_REQUEST_CASSA2.tmp"), std::string::npos)
      << ui_.messages()[0];
  EXPECT_TRUE(fs::is_regular_file(notAFolder));
}

TEST_F(SpoolTest, AnotherProcessTakesTheRequest) {
  RequestSpool requester(folder(), "CASSA2");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    RequestSpool server(folder(), "SERVER");
    for (int i = 0; i < 500; ++i) {
      if (auto r = server.TakeReceiptRequest()) {
        const bool ok = r->tableName == "Vendite" && r->identity == 99 &&
                        RequestSpool::RemoveReceiptRequest(r->fileName);
        ::_exit(ok ? 0 : 2);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::_exit(1);
  }
  EXPECT_TRUE(requester.PostReceiptRequest("Mario", "Vendite", 99, ui_, {}));
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

class CountingPrinter : public itfFiscalPrinter {
 public:
  explicit CountingPrinter(std::vector<std::string>& log) : log_(log) {}
  void NewSession(int16_t) override { log_.push_back("NewSession"); }
  void EndSession() override { log_.push_back("EndSession"); }
  void CancelSession() override { log_.push_back("CancelSession"); }
  void SendData(double, int16_t, const std::string& d, int16_t) override { log_.push_back(d); }
  std::string FiscalPrinterDescription() override { return "Prova"; }
  void SetParameters(const std::vector<Variant>&) override {}

 private:
  std::vector<std::string>& log_;
};

TEST_F(SpoolTest, EachTickServesOneRequestInNameOrderAndNeverTwice) {
  Row bar = archive_.Article("BAR", 2);
  Row first = archive_.Sale();
  archive_.Line(first, bar, "Primo", 1, "1.00");
  Row second = archive_.Sale();
  archive_.Line(second, bar, "Secondo", 1, "1.00");
  auto request = [&](const std::string& host, const Row& sale) {
    tillbook::testing::Write(
        folder() + "/FP_REQUEST_" + host + ".tmp",
        "x\r\n" + host + "\r\nMario\r\nVendite\r\n" + std::to_string(sale.Oid()) + "\r\n");
  };
  request("B", second);
  request("A", first);
  std::vector<std::string> printed;
  FiscalModule module;
  module.dataFolder = folder();
  module.SetDriver(std::make_unique<CountingPrinter>(printed));

  module.busy = true;  // an emission under way: the tick leaves the spool alone
  EXPECT_FALSE(TestNetwork_Scontrino(module, archive_.conn(), ui_));
  module.busy = false;

  EXPECT_TRUE(TestNetwork_Scontrino(module, archive_.conn(), ui_));
  EXPECT_EQ(printed, (std::vector<std::string>{"NewSession", "Primo", "EndSession"}));
  EXPECT_TRUE(TestNetwork_Scontrino(module, archive_.conn(), ui_));
  EXPECT_FALSE(TestNetwork_Scontrino(module, archive_.conn(), ui_));
  EXPECT_EQ(printed.size(), 6u);
  EXPECT_EQ(printed[4], "Secondo");

  // A request naming a table or a row that does not exist is dropped, never retried.
  tillbook::testing::Write(folder() + "/FP_REQUEST_C.tmp", "x\nC\nMario\nNessuna\n1\n");
  tillbook::testing::Write(folder() + "/FP_REQUEST_D.tmp", "x\nD\nMario\nVendite\nabc\n");
  EXPECT_FALSE(TestNetwork_Scontrino(module, archive_.conn(), ui_));
  EXPECT_FALSE(TestNetwork_Scontrino(module, archive_.conn(), ui_));
  EXPECT_FALSE(RequestSpool(folder(), "S").TakeReceiptRequest().has_value());
  EXPECT_EQ(printed.size(), 6u);

  module.settings.Type = kDeviceNetwork;
  request("E", first);
  EXPECT_FALSE(TestNetwork_Scontrino(module, archive_.conn(), ui_));
  EXPECT_TRUE(RequestSpool(folder(), "S").TakeReceiptRequest().has_value());
}

}  // namespace
}  // namespace tillbook::fiscal
