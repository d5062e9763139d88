// Receipt emission from a stored sale, against a driver that records its calls: the row order,
// the unit price rule, departments, the negative total, Stop and retry, the error path, the
// options that change what is sent, and the network path.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/ui_services.h"
#include "fiscal/modFiscalPrinter.h"
#include "fiscal/request_spool.h"
#include "fiscal/testing/sale_fixture.h"
#include "fiscal/trace.h"

namespace tillbook::fiscal {
namespace {

using engine::Answer;
using testing::Amount;
using testing::Num;
using testing::Row;

// Records every call as the trace writes it; SendData number `failAt` throws a driver error.
class RecordingPrinter : public itfFiscalPrinter {
 public:
  explicit RecordingPrinter(std::vector<std::string>& calls, int failAt = 0)
      : calls_(calls), failAt_(failAt) {}
  void NewSession(int16_t d) override { calls_.push_back("NewSession " + std::to_string(d)); }
  void EndSession() override { calls_.push_back("EndSession"); }
  void CancelSession() override { calls_.push_back("CancelSession"); }
  void SendData(double price, int16_t quantity, const std::string& description,
                int16_t department) override {
    calls_.push_back("SendData " + TraceNumber(price) + " " + std::to_string(quantity) + " [" +
                     description + "] " + std::to_string(department));
    if (++sent_ == failAt_) RaiseDriverError("Prova", 3, "Errore di comunicazione");
  }
  std::string FiscalPrinterDescription() override { return "Prova"; }
  void SetParameters(const std::vector<Variant>&) override {}

 private:
  std::vector<std::string>& calls_;
  int failAt_;
  int sent_ = 0;
};

class ReceiptTest : public ::testing::Test {
 protected:
  ReceiptTest() : archive_(::testing::UnitTest::GetInstance()->current_test_info()->name()) {
    module_.SetDriver(std::make_unique<RecordingPrinter>(calls_));
    module_.dataFolder = archive_.folder();
    module_.hostName = "POS-1.shop";
    module_.userName = "Mario";
  }
  bool Send(Row& sale) {
    Row fresh = archive_.Fetch(sale);
    return Send_Scontrino(module_, fresh, ui_);
  }
  testing::SaleArchive archive_;
  FiscalModule module_;
  engine::ScriptedUi ui_;
  std::vector<std::string> calls_;
};

TEST_F(ReceiptTest, RowsGoLargestFirstAsPiecesAtTheRoundedUnitPrice) {
  Row bar = archive_.Article("BAR", 2);
  Row shop = archive_.Article("SHOP", 5);
  Row sale = archive_.Sale();
  archive_.Line(sale, bar, "Caffè", 3, "3.3333");        // 10.00 as three pieces at 3.33
  archive_.Line(sale, shop, "Reso tazza", -1, "4.00");   // a return goes last
  archive_.Line(sale, shop, "Cassa vino", 120, "1.00");  // over 99 pieces: one at the amount
  archive_.Line(sale, bar, "Zucchero", 2.5, "2.00");     // 2.5 pieces: 2 at 5.00 / 2.5
  archive_.Line(sale, bar, "Omaggio", 0, "0");           // no quantity: one at the amount

  EXPECT_TRUE(Send(sale));
  const std::vector<std::string> expected = {
      "NewSession 2",
      "SendData 120 1 [Cassa vino] 5",
      "SendData 3.33 3 [Caffè] 2",
      "SendData 2 2 [Zucchero] 2",
      "SendData 0 1 [Omaggio] 2",
      "SendData 4 -1 [Reso tazza] 5",
      "EndSession",
  };
  EXPECT_EQ(calls_, expected);
  EXPECT_FALSE(module_.busy);
  EXPECT_EQ(ui_.messages(), std::vector<std::string>{});
}

TEST_F(ReceiptTest, OptionsChangeWhatIsSent) {
  Row bar = archive_.Article("BAR", 2);
  Row sale = archive_.Sale();
  archive_.Line(sale, bar, "Caffè", 3, "1.15");

  module_.settings.SendDescription = false;
  EXPECT_TRUE(Send(sale));
  EXPECT_EQ(calls_[1], "SendData 1.15 3 [] 2");

  // In the conversion currency every row goes as one piece at its converted amount.
  calls_.clear();
  module_.settings.SendDescription = true;
  module_.settings.CurrencyConversion = true;
  module_.conversionValue = 1936.27;
  module_.conversionDecimals = 0;
  EXPECT_TRUE(Send(sale));
  EXPECT_EQ(calls_[0], "NewSession 0");
  EXPECT_EQ(calls_[1], "SendData 6680 1 [Caffè] 2");
}

TEST_F(ReceiptTest, ANegativeTotalSendsNothing) {
  Row bar = archive_.Article("BAR", 2);
  Row sale = archive_.Sale();
  archive_.Line(sale, bar, "Reso", -1, "2.00");
  EXPECT_FALSE(Send(sale));
  EXPECT_TRUE(calls_.empty());
  EXPECT_EQ(ui_.messages(),
            std::vector<std::string>{"N.B.: Lo scontrino non può essere emesso perchè il totale "
                                     "risulta negativo"});
}

TEST_F(ReceiptTest, ABadDepartmentCancelsAndARetryPrintsTheWholeReceiptAgain) {
  Row good = archive_.Article("A", 1);
  Row bad = archive_.Article("B", 0, "Varie");
  Row sale = archive_.Sale();
  archive_.Line(sale, good, "Pane", 1, "9.00");
  archive_.Line(sale, bad, "Sacchetto", 1, "0.10");
  ui_.QueueAnswer(Answer::Ok);      // try again
  ui_.QueueAnswer(Answer::Cancel);  // give up
  EXPECT_FALSE(Send(sale));
  const std::vector<std::string> once = {"NewSession 2", "SendData 9 1 [Pane] 1", "CancelSession"};
  std::vector<std::string> expected = once;
  expected.insert(expected.end(), once.begin(), once.end());
  EXPECT_EQ(calls_, expected);
  const std::string badText = "Il Codice Cassa per il Reparto <Varie> non e' valido";
  const std::string retry =
      "Lo scontrino non e' stato stampato correttamente...\r\rVuoi riprovare ?";
  EXPECT_EQ(ui_.messages(), (std::vector<std::string>{badText, retry, badText, retry}));
  EXPECT_FALSE(module_.busy);
}

TEST_F(ReceiptTest, StopCancelsTheReceipt) {
  Row bar = archive_.Article("BAR", 2);
  Row sale = archive_.Sale();
  archive_.Line(sale, bar, "Uno", 1, "2.00");
  archive_.Line(sale, bar, "Due", 1, "1.00");
  ui_.StopProgressAt(2);
  ui_.QueueAnswer(Answer::Cancel);
  EXPECT_FALSE(Send(sale));
  EXPECT_EQ(calls_,
            (std::vector<std::string>{"NewSession 2", "SendData 2 1 [Uno] 2", "CancelSession"}));
}

TEST_F(ReceiptTest, ADriverErrorEndsTheEmissionWithoutCancelling) {
  module_.SetDriver(std::make_unique<RecordingPrinter>(calls_, 1));
  Row bar = archive_.Article("BAR", 2);
  Row sale = archive_.Sale();
  archive_.Line(sale, bar, "Uno", 1, "2.00");
  archive_.Line(sale, bar, "Due", 1, "1.00");
  EXPECT_FALSE(Send(sale));
  EXPECT_EQ(calls_, (std::vector<std::string>{"NewSession 2", "SendData 2 1 [Uno] 2"}));
  EXPECT_EQ(ui_.messages(),
            std::vector<std::string>{"Si e' verificato un errore durante l'emissione dello "
                                     "scontrino:\r\rCodice: 3\r\rErrore di comunicazione"});
  EXPECT_FALSE(module_.busy);
}

TEST_F(ReceiptTest, FreeRowsTakeTheDepartmentOfTheirVatCode) {
  Row bar = archive_.Article("BAR", 2);
  Row sale = archive_.Sale();
  archive_.Line(sale, bar, "Caffè", 1, "1.00");
  auto vat = archive_.conn().FindOids("CodiciIva", "Codice", testing::Text("IVA20"));
  ASSERT_EQ(vat.size(), 1u);
  auto vatRow = archive_.conn().GetRow("CodiciIva", vat.front());
  ASSERT_TRUE(vatRow->Set("CodiceCassaPredefinito", Num(7)));
  auto free = sale.AddListRow("DettagliLiberi");
  ASSERT_TRUE(free.has_value());
  ASSERT_TRUE(free->Set("Descrizione", testing::Text("Riparazione")));
  ASSERT_TRUE(free->Set("QuantitàScarico", Num(1)));
  ASSERT_TRUE(free->Set("PrezzoUnitario", Amount("10.00")));
  ASSERT_TRUE(free->SetReferenceOid("IVA", vat.front()));
  EXPECT_TRUE(Send(sale));
  // Stock rows first, then free rows; the amount sent includes the VAT.
  EXPECT_EQ(calls_, (std::vector<std::string>{"NewSession 2", "SendData 1 1 [Caffè] 2",
                                              "SendData 12 1 [Riparazione] 7", "EndSession"}));

  calls_.clear();
  module_.useNoMagazzino = false;
  EXPECT_TRUE(Send(sale));
  EXPECT_EQ(calls_.size(), 3u);
}

TEST_F(ReceiptTest, WithoutADriverTheSaleBecomesARequestThatIsWithdrawnOnStop) {
  module_.SetDriver(nullptr);
  Row bar = archive_.Article("BAR", 2);
  Row sale = archive_.Sale();
  archive_.Line(sale, bar, "Caffè", 1, "1.00");
  ui_.StopProgressAt(3);
  EXPECT_FALSE(Send(sale));
  EXPECT_FALSE(std::filesystem::exists(archive_.folder() + "/FP_REQUEST_POS-1shop.tmp"));
  bool sawNetwork = false;
  for (const auto& line : ui_.log()) sawNetwork |= line == "STATUS Emissione scontrino in Rete...";
  EXPECT_TRUE(sawNetwork);
}

TEST_F(ReceiptTest, ReprintAsksFirstAndSaysWhenDone) {
  Row bar = archive_.Article("BAR", 2);
  Row sale = archive_.Sale();
  archive_.Line(sale, bar, "Caffè", 1, "1.00");
  Row fresh = archive_.Fetch(sale);

  EXPECT_FALSE(ReprintReceipt(module_, fresh, ui_));
  EXPECT_TRUE(calls_.empty());
  module_.enabled = true;
  ui_.QueueAnswer(Answer::Cancel);
  EXPECT_FALSE(ReprintReceipt(module_, fresh, ui_));
  EXPECT_TRUE(calls_.empty());
  ui_.QueueAnswer(Answer::Ok);
  EXPECT_TRUE(ReprintReceipt(module_, fresh, ui_));
  EXPECT_EQ(calls_.size(), 3u);
  EXPECT_EQ(ui_.messages(),
            (std::vector<std::string>{
                "Registratore di cassa non attivato...\r\rPer attivarlo usare l'apposita opzione "
                "dal menù Strumenti",
                "Confermi la ristampa dello scontrino ?", "Confermi la ristampa dello scontrino ?",
                "Lo scontrino e' stato ristampato..."}));
}

TEST_F(ReceiptTest, ActivationIsOfferedUnlessTheTypeIsNone) {
  module_.settings.Type = kDeviceNetwork;
  ui_.QueueAnswer(Answer::Yes);
  OfferActivation(module_, ui_);
  EXPECT_TRUE(module_.enabled);
  ui_.QueueAnswer(Answer::No);
  OfferActivation(module_, ui_);
  EXPECT_FALSE(module_.enabled);
  EXPECT_EQ(ui_.messages().size(), 2u);
  module_.settings.Type = kDeviceNone;
  OfferActivation(module_, ui_);
  EXPECT_EQ(ui_.messages().size(), 2u);
}

}  // namespace
}  // namespace tillbook::fiscal
