// The payment hooks on a real archive: defaults, schedules rebuilt from the payment type,
// settlement, the running totals of customers and suppliers, the cash book and its sign rule,
// unpaid instalments and their follow-ups, the alignment of a sale's payment, the upgrade of
// older payment tables, and an invariant check after random operations.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "calc/instalments.h"
#include "calc/payments.h"
#include "data/DB.h"
#include "engine/connection.h"
#include "engine/database.h"
#include "engine/row.h"
#include "engine/ui_services.h"
#include "platform/clock.h"

namespace tillbook::data {
namespace {

using engine::Answer;
using engine::Row;

Variant Id(const Row& r) {
  return Variant::Double(static_cast<double>(r.Oid()));
}
Money M(const char* text) {
  return *Money::Parse(text);
}
DateTime D(int y, int m, int d) {
  return *DateTime::FromParts(y, m, d);
}

class PaymentsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetCurrentClockForTesting(&clock_);
    dir_ = std::filesystem::temp_directory_path() /
           ("tillbook-pay-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    connection_ = std::make_unique<engine::Connection>();
    connection_->Create((dir_ / "Tillbook.mdb").string());
    connection_->SetUi(&ui_);
    ui_.SetDefaultAnswer(Answer::Yes);
    Attach();
  }
  void TearDown() override {
    database_.reset();
    connection_.reset();
    std::filesystem::remove_all(dir_);
    platform::SetCurrentClockForTesting(nullptr);
  }
  void Attach() {
    database_ = std::make_unique<engine::Database>(std::make_unique<DB>(TableSwitches{}), "T");
    database_->Attach(*connection_);
  }

  engine::Connection& conn() { return *connection_; }
  Row Add(const char* table, const engine::FieldValues& values) {
    auto row = conn().AddRow(table, values);
    EXPECT_TRUE(row.has_value()) << table;
    return *row;
  }
  Row Fetch(const Row& row) { return *conn().GetRow(row.TableName(), row.Oid()); }
  Money Amount_(const Row& row, const char* field) { return Fetch(row).Get(field).ToMoney(); }
  bool Flag_(const Row& row, const char* field) { return Fetch(row).Get(field).ToBool(); }
  Row Type(const char* description) {
    return *conn().GetRow("TipiPagamento",
                          conn().FindOids("TipiPagamento", "Descrizione", Text(description))[0]);
  }
  Row Customer(const char* code, const engine::FieldValues& more = {}) {
    engine::FieldValues values = {{"Codice", Text(code)}, {"RagioneSociale", Text(code)}};
    values.insert(values.end(), more.begin(), more.end());
    return Add("Clienti", values);
  }
  // A customer payment written field by field, as the payment window does.
  Row Payment(const Row& customer, const char* type, const char* amount, DateTime date,
              bool booked = false) {
    Row p = Add("PagamentiCliente", {{"Cliente", Id(customer)}, {"Documento", Text("7")}});
    EXPECT_TRUE(p.Set("Contabilizza", Flag(booked)));
    EXPECT_TRUE(p.Set("DataDocumento", Variant::Date(date)));
    EXPECT_TRUE(p.SetReferenceOid("TipoPagamento", Type(type).Oid()));
    EXPECT_TRUE(p.Set("Importo", Amount(amount)));
    return p;
  }
  std::vector<Row> Instalments(const Row& payment) { return Fetch(payment).List("Dettagli"); }

  platform::FixedClock clock_{*DateTime::FromParts(2024, 3, 20, 10, 30, 0)};
  std::filesystem::path dir_;
  engine::ScriptedUi ui_;
  std::unique_ptr<engine::Connection> connection_;
  std::unique_ptr<engine::Database> database_;
};

TEST_F(PaymentsTest, NewRowsTakeTheirDefaults) {
  Row p = Add("PagamentiCliente", {});
  EXPECT_EQ(p.Get("DataInserimento").ToDateTime(), D(2024, 3, 20));
  EXPECT_FALSE(p.Get("Saldato").ToBool());
  EXPECT_EQ(p.Get("NumeroRate").ToInt64(), 0);
  EXPECT_EQ(p.Get("ImportoDaPagare").ToMoney(), Money());
  EXPECT_EQ(p.Reference("TipoDocumento")->Get("Descrizione").ToText(), "FATTURA");
  EXPECT_EQ(p.Reference("BancaDiRiferimento")->Get("Nome").ToText(), "");

  // Outside a payment no instalment can be made.
  EXPECT_FALSE(conn().NewRow("DettagliPagamentiCliente").has_value());
  EXPECT_EQ(ui_.messages().back(), "Il dettaglio può essere creato solo all'interno del Pagamento");
  EXPECT_FALSE(conn().NewRow("DettagliAcquistoFornitori").has_value());

  ASSERT_TRUE(p.Set("Contabilizza", Flag(true)));
  auto first = p.AddListRow("Dettagli", true);
  auto second = p.AddListRow("Dettagli", true);
  ASSERT_TRUE(first && second);
  EXPECT_EQ(first->Get("NumeroRata").ToInt64(), 1);
  EXPECT_EQ(second->Get("NumeroRata").ToInt64(), 2);
  // Two rows waiting for their save still get different yearly numbers.
  EXPECT_EQ(second->Get("Numero").ToInt64(), first->Get("Numero").ToInt64() + 1);
  EXPECT_TRUE(second->Get("Contabilizza").ToBool());
  EXPECT_FALSE(second->Get("Insoluto").ToBool());
  ASSERT_TRUE(first->Save());
  ASSERT_TRUE(second->Save());

  Row movement = Add("PrimaNota", {});
  EXPECT_EQ(movement.Get("DataInserimento").ToDateTime(), D(2024, 3, 20));
}

TEST_F(PaymentsTest, ScheduleFollowsAmountCountAndType) {
  Row c = Customer("C1");
  Row p = Payment(c, "RI.BA. 30/60/90", "100", D(2024, 1, 31));
  EXPECT_EQ(Fetch(p).Get("NumeroRate").ToInt64(), 3);  // taken from the payment type
  EXPECT_EQ(Fetch(p).Get("DataDecorrenzaPagamento").ToDateTime(), D(2024, 1, 31));
  auto rows = Instalments(p);
  ASSERT_EQ(rows.size(), 3u);
  const char* amounts[] = {"33.33", "33.33", "33.34"};
  const DateTime dues[] = {D(2024, 1, 31), D(2024, 2, 29), D(2024, 3, 31)};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(rows[i].Get("Importo").ToMoney(), M(amounts[i])) << i;
    EXPECT_EQ(rows[i].Get("DataScadenza").ToDateTime(), dues[i]) << i;
    EXPECT_EQ(rows[i].Get("Modalità").ToInt64(), 6) << i;  // RiBA
    EXPECT_EQ(rows[i].Get("Tipo").ToInt64(), 2) << i;
  }
  EXPECT_EQ(Amount_(p, "ImportoDaPagare"), M("100"));
  EXPECT_EQ(Amount_(c, "TotaleVenduto"), M("100"));

  // A paid instalment stays; the others are made again for the new amount.
  ASSERT_TRUE(rows[0].Set("Pagato", Flag(true)));
  EXPECT_EQ(Amount_(p, "ImportoDaPagare"), M("66.67"));
  ASSERT_TRUE(p.Set("Importo", Amount("133.33")));
  rows = Instalments(p);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].Get("Importo").ToMoney(), M("33.33"));
  EXPECT_EQ(rows[1].Get("Importo").ToMoney(), M("33.33"));
  EXPECT_EQ(rows[2].Get("Importo").ToMoney(), M("66.67"));
  EXPECT_EQ(Amount_(p, "ImportoDaPagare"), M("100"));
  EXPECT_EQ(Amount_(c, "TotaleVenduto"), M("133.33"));

  // A later start date moves the open instalments only.
  ASSERT_TRUE(p.Set("DataDecorrenzaPagamento", Variant::Date(D(2024, 4, 10))));
  rows = Instalments(p);
  EXPECT_EQ(rows[0].Get("DataScadenza").ToDateTime(), D(2024, 1, 31));
  EXPECT_EQ(rows[1].Get("DataScadenza").ToDateTime(), D(2024, 5, 31));

  // A supplier payment with its own total.
  Row s = Add("Fornitori", {{"Codice", Text("F1")}, {"RagioneSociale", Text("F1")}});
  Row a = Add("AcquistoFornitori", {{"Fornitore", Id(s)}});
  ASSERT_TRUE(a.SetReferenceOid("TipoPagamento", Type("CONTANTI").Oid()));
  ASSERT_TRUE(a.Set("Importo", Amount("50")));
  EXPECT_EQ(Instalments(a).size(), 1u);
  EXPECT_EQ(Amount_(s, "TotaleAcquistato"), M("50"));
  ASSERT_TRUE(Fetch(a).Delete());
  EXPECT_EQ(Amount_(s, "TotaleAcquistato"), Money());
  EXPECT_EQ(conn().Count("DettagliAcquistoFornitori"), 0);
}

TEST_F(PaymentsTest, SettlingAndTheQuestionsAroundIt) {
  Row p = Payment(Customer("C1"), "RI.BA. 30/60/90", "90", D(2024, 3, 1));
  ui_.Clear();
  ui_.QueueAnswer(Answer::No);
  EXPECT_FALSE(p.Set("Saldato", Flag(true)));
  EXPECT_FALSE(Flag_(p, "Saldato"));
  for (const Row& r : Instalments(p)) EXPECT_FALSE(r.Get("Pagato").ToBool());

  ui_.Clear();
  ASSERT_TRUE(p.Set("Saldato", Flag(true)));
  ASSERT_EQ(ui_.messages().size(), 1u);  // asked once for three instalments
  EXPECT_EQ(ui_.messages()[0],
            "Per saldare l'operazione è necessario forzare la chiusura dei dettagli di "
            "pagamento...\nProseguire ?");
  for (const Row& r : Instalments(p)) {
    EXPECT_TRUE(r.Get("Pagato").ToBool());
    // Paid after their due date passed: on it; before it: today.
    const DateTime due = r.Get("DataScadenza").ToDateTime();
    EXPECT_EQ(r.Get("DataOperazione").ToDateTime(), due <= D(2024, 3, 20) ? due : D(2024, 3, 20));
  }
  EXPECT_EQ(Amount_(p, "ImportoDaPagare"), Money());

  // Changing a settled amount asks; No keeps it.
  ui_.Clear();
  ui_.QueueAnswer(Answer::No);
  EXPECT_FALSE(p.Set("Importo", Amount("95")));
  EXPECT_EQ(Amount_(p, "Importo"), M("90"));
  EXPECT_EQ(ui_.messages().back(),
            "Il pagamento risulta già saldato, continuare con la modifica ?");

  // Un-paying an instalment asks, and the payment is open again.
  Row first = Instalments(p)[0];
  ui_.Clear();
  ui_.QueueAnswer(Answer::No);
  EXPECT_FALSE(first.Set("Pagato", Flag(false)));
  EXPECT_EQ(ui_.messages().back(), "Il pagamento risulta già effettuato, continuare ?");
  ASSERT_TRUE(first.Set("Pagato", Flag(false)));
  EXPECT_TRUE(Fetch(first).Get("DataOperazione").IsNull());
  EXPECT_EQ(Amount_(p, "ImportoDaPagare"), M("30"));
  EXPECT_FALSE(Flag_(p, "Saldato"));

  // An immediate payment asks at save whether it was settled.
  Row cash = Payment(Customer("C2"), "CONTANTI", "10", D(2024, 3, 20));
  ui_.Clear();
  ASSERT_TRUE(cash.Save());
  EXPECT_EQ(ui_.messages().back(), "Il pagamento è stato saldato ?");
  EXPECT_TRUE(Flag_(cash, "Saldato"));
  EXPECT_TRUE(Instalments(cash)[0].Get("Pagato").ToBool());
}

TEST_F(PaymentsTest, CashBookSignAndMovementsOfBookedRows) {
  Row m = Add("PrimaNota", {{"Tipo", Int(1)}});
  EXPECT_FALSE(m.Set("ImportoMovimento", Amount("-5")));
  EXPECT_EQ(ui_.messages().back(), "L'importo del movimento in Prima Nota deve essere positivo");
  ASSERT_TRUE(m.Set("ImportoMovimento", Amount("5")));
  ASSERT_TRUE(m.Set("Tipo", Int(-1)));
  EXPECT_EQ(Amount_(m, "ImportoDareAvere"), M("-5"));
  ASSERT_TRUE(m.Set("Tipo", Int(2)));
  EXPECT_EQ(Amount_(m, "ImportoDareAvere"), M("5"));

  Row c = Customer("C1");
  Row p = Payment(c, "BONIFICO", "80", D(2024, 3, 15), true);
  auto movement = Fetch(p).Reference("Movimento");
  ASSERT_TRUE(movement);
  EXPECT_EQ(movement->Get("ImportoMovimento").ToMoney(), M("80"));
  EXPECT_EQ(movement->Get("ImportoDareAvere").ToMoney(), M("80"));
  EXPECT_EQ(movement->Get("DataMovimento").ToDateTime(), D(2024, 3, 15));
  EXPECT_EQ(movement->Get("Descrizione").ToText(), "FATTURA  7 DEL 15/03/2024");
  EXPECT_EQ(movement->ReferenceOid("Soggetto"), c.Oid());
  Row rata = Instalments(p)[0];
  auto own = rata.Reference("Movimento");
  ASSERT_TRUE(own);
  EXPECT_EQ(own->Get("DataMovimento").ToDateTime(), D(2024, 3, 31));  // end of month
  EXPECT_EQ(own->Get("Descrizione").ToText(), "FATTURA  7 DEL 15/03/2024 - Bonifico, N.1");

  // The movement follows the amount; a refund is an exit of its size.
  ASSERT_TRUE(p.Set("Importo", Amount("-20")));
  movement = Fetch(p).Reference("Movimento");
  EXPECT_EQ(movement->Get("Tipo").ToInt64(), -1);
  EXPECT_EQ(movement->Get("ImportoMovimento").ToMoney(), M("20"));
  EXPECT_EQ(movement->Get("ImportoDareAvere").ToMoney(), M("-20"));

  // No longer booked: the movements go.
  const int64_t before = conn().Count("PrimaNota");
  ASSERT_TRUE(p.Set("Contabilizza", Flag(false)));
  EXPECT_FALSE(Fetch(p).Reference("Movimento"));
  EXPECT_LT(conn().Count("PrimaNota"), before);

  // Supplier payments leave the cash.
  Row s = Add("Fornitori", {{"Codice", Text("F1")}});
  Row a = Add("AcquistoFornitori", {{"Fornitore", Id(s)}});
  ASSERT_TRUE(a.Set("Contabilizza", Flag(true)));
  ASSERT_TRUE(a.Set("Importo", Amount("12")));
  EXPECT_EQ(Fetch(a).Reference("Movimento")->Get("ImportoDareAvere").ToMoney(), M("-12"));
}

TEST_F(PaymentsTest, UnpaidInstalmentsAndTheirChain) {
  Row p = Payment(Customer("C1"), "RI.BA. 30/60/90", "90", D(2024, 3, 1), true);
  Row first = Instalments(p)[0];
  ASSERT_TRUE(first.Set("Pagato", Flag(true)));
  ui_.Clear();
  ASSERT_TRUE(first.Set("Insoluto", Flag(true)));
  EXPECT_EQ(
      ui_.messages().back(),
      "E' stato aggiunto un nuovo dettaglio/rata relativo all'Insoluto da Pagare, controllare "
      "la data di scadenza impostata (31/03/2024)");
  auto rows = Instalments(p);
  ASSERT_EQ(rows.size(), 4u);
  Row follow = rows[3];
  EXPECT_EQ(follow.Get("NumeroRata").ToInt64(), 4);
  EXPECT_EQ(follow.Get("Importo").ToMoney(), M("30"));
  EXPECT_EQ(follow.Get("Note").ToText(), " [INSOLUTO] RATA N.1, 31/03/2024 ");
  EXPECT_EQ(Amount_(p, "ImportoDaPagare"), M("90"));
  auto back = Fetch(first).Reference("MovimentoInsoluto");
  ASSERT_TRUE(back);
  EXPECT_EQ(back->Get("ImportoDareAvere").ToMoney(), M("-30"));

  // The follow-up's note is locked and it cannot be deleted on its own.
  EXPECT_FALSE(follow.Set("Note", Text("altro")));
  EXPECT_EQ(ui_.messages().back(), "Non puoi modificare le Note dei dettagli relativi a Insoluti.");
  EXPECT_FALSE(Fetch(follow).Delete());
  EXPECT_EQ(ui_.messages().back(),
            "Questo dettaglio/rata può essere eliminato solo mediante l'annullamento del relativo "
            "Insoluto.");

  // The follow-up goes unpaid too: a second follow-up, then cancellation from the last back.
  ASSERT_TRUE(follow.Set("Insoluto", Flag(true)));
  ASSERT_EQ(Instalments(p).size(), 5u);
  ui_.Clear();
  EXPECT_FALSE(Fetch(first).Set("Insoluto", Flag(false)));
  EXPECT_EQ(ui_.messages().back(),
            "Per annullare questo Insoluto devi prima annullare quello successivo relativo alla "
            "stessa rata.");
  ASSERT_TRUE(Fetch(follow).Set("Insoluto", Flag(false)));
  EXPECT_EQ(ui_.messages().back(), "L'insoluto risulta già impostato, continuare ?");
  ASSERT_EQ(Instalments(p).size(), 4u);
  ASSERT_TRUE(Fetch(first).Set("Insoluto", Flag(false)));
  EXPECT_EQ(Instalments(p).size(), 3u);
  EXPECT_FALSE(Fetch(first).Reference("MovimentoInsoluto"));
  EXPECT_EQ(Amount_(p, "ImportoDaPagare"), M("60"));

  // Deleting the payment takes every instalment and movement with it.
  ASSERT_TRUE(Fetch(first).Set("Insoluto", Flag(true)));
  ASSERT_TRUE(Fetch(p).Delete());
  EXPECT_EQ(conn().Count("DettagliPagamentiCliente"), 0);
  EXPECT_EQ(conn().Count("PrimaNota"), 0);
}

TEST_F(PaymentsTest, OwnBankChoiceAndBankOfTheCustomer) {
  Row p = Add("PagamentiCliente", {});
  ui_.Clear();
  EXPECT_EQ(p.SelectionFilter("BancaPropriaRiBa"), "BancaPropria=True");
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].substr(0, 43), "Non risulta configurata una Banca Propria..");
  Row bank = Add("Banche", {{"Nome", Text("Banca Uno")}, {"BancaPropria", Flag(true)}});
  ui_.Clear();
  p.SelectionFilter("BancaPropriaRiBa");
  EXPECT_TRUE(ui_.messages().empty());

  Row c = Customer(
      "C1", {{"BancaDiAppoggio", Id(bank)}, {"TipoPagamentoAbituale", Id(Type("RI.BA. 60/90"))}});
  ASSERT_TRUE(p.SetReferenceOid("Cliente", c.Oid()));
  EXPECT_EQ(Fetch(p).ReferenceOid("TipoPagamento"), Type("RI.BA. 60/90").Oid());
  EXPECT_EQ(Fetch(p).ReferenceOid("BancaDiRiferimento"), bank.Oid());
  // A customer without a bank leaves the payment's as it is.
  Row other = Add("Banche", {{"Nome", Text("Banca Due")}});
  ASSERT_TRUE(p.SetReferenceOid("BancaDiRiferimento", other.Oid()));
  ASSERT_TRUE(p.SetReferenceOid("Cliente", Customer("C2").Oid()));
  ASSERT_TRUE(p.SetReferenceOid("TipoPagamento", Type("BONIFICO").Oid()));
  EXPECT_EQ(Fetch(p).ReferenceOid("BancaDiRiferimento"), other.Oid());
}

TEST_F(PaymentsTest, SaleAlignsItsPayment) {
  const auto company = conn().FindOids("CategorieSoggetti", "Descrizione", Text("AZIENDA"))[0];
  Row c = Customer("C1", {{"Categoria", Variant::Double(static_cast<double>(company))}});
  Row sale = Add("Vendite", {{"Cliente", Id(c)}});
  ASSERT_TRUE(sale.Set("ImportoTotale", Amount("100")));
  ASSERT_TRUE(sale.Set("ImportoTotaleIVA", Amount("22")));
  ASSERT_TRUE(sale.Set("ImportoRitenute", Amount("20")));
  ASSERT_TRUE(sale.Set("Numero", Int(12)));
  EXPECT_EQ(calc::SyncSalePayment(sale, "", ui_), calc::PaymentSync::Aligned);
  Row p = *Fetch(sale).Reference("Pagamento");
  EXPECT_EQ(p.Get("Importo").ToMoney(), M("102"));
  EXPECT_EQ(p.Get("Documento").ToText(), "12");
  EXPECT_EQ(p.ReferenceOid("Cliente"), c.Oid());
  EXPECT_EQ(Amount_(c, "TotaleVenduto"), M("102"));

  // A total that changed after the payment did: asked first; No keeps the payment.
  ASSERT_TRUE(sale.Set("ImportoTotale", Amount("200")));
  ui_.Clear();
  ui_.QueueAnswer(Answer::No);
  EXPECT_EQ(calc::SyncSalePayment(sale, "", ui_), calc::PaymentSync::Kept);
  EXPECT_EQ(ui_.messages().back(),
            "L'importo del pagamento è variato, da 102,00 a 202,00\r\rVuoi aggiornare i dati del "
            "pagamento ?");
  EXPECT_EQ(Amount_(p, "Importo"), M("102"));

  // A receipt takes the receipt payment type and, paid at once, can be settled there.
  Row receipt = Add("Vendite", {{"Cliente", Id(c)}});
  const auto ticket = conn().FindOids("TipiDocumento", "Descrizione", Text("SCONTRINO FISCALE"))[0];
  ASSERT_TRUE(receipt.SetReferenceOid("TipoDocumento", ticket));
  ASSERT_TRUE(receipt.Set("ImportoTotale", Amount("10")));
  ui_.Clear();
  EXPECT_EQ(calc::SyncSalePayment(receipt, "CONTANTI", ui_), calc::PaymentSync::Settled);
  EXPECT_EQ(ui_.messages().back(), "Confermi la vendita con scontrino ?");
  Row paid = *Fetch(receipt).Reference("Pagamento");
  EXPECT_EQ(paid.ReferenceOid("TipoPagamento"), Type("CONTANTI").Oid());
  EXPECT_TRUE(paid.Get("Saldato").ToBool());
}

TEST_F(PaymentsTest, OlderPaymentTablesAreUpgradedOnce) {
  const int64_t oid = Payment(Customer("C1"), "RI.BA. 30/60/90", "90", D(2024, 3, 1)).Oid();
  ASSERT_TRUE(Instalments(*conn().GetRow("PagamentiCliente", oid))[0].Set("Pagato", Flag(true)));
  // Rows read again after each attach: the definitions are new each time.
  auto p = [&] { return *conn().GetRow("PagamentiCliente", oid); };
  conn().Execute("UPDATE \"PagamentiCliente\" SET \"ImportoDaPagare\"=0, \"NumeroRate\"=0");
  conn().Execute("UPDATE \"Sys_Tables\" SET \"Version\"=2.8 WHERE \"Name\"='PagamentiCliente'");
  Attach();  // the current version: nothing runs
  EXPECT_EQ(p().Get("ImportoDaPagare").ToMoney(), Money());
  conn().Execute("UPDATE \"Sys_Tables\" SET \"Version\"=2.5 WHERE \"Name\"='PagamentiCliente'");
  Attach();
  EXPECT_EQ(p().Get("ImportoDaPagare").ToMoney(), M("60"));
  EXPECT_EQ(p().Get("NumeroRate").ToInt64(), 3);
  EXPECT_DOUBLE_EQ(engine::Database::StoredVersion(conn(), "PagamentiCliente"), 2.8);
}

// After any mix of operations: the instalments not marked unpaid add up to the payment, the open
// amount is what they leave unpaid, and every booked row has its one movement with the signed
// amount.
TEST_F(PaymentsTest, InvariantsHoldAfterRandomOperations) {
  std::mt19937 rng(20240320);
  const char* types[] = {"CONTANTI", "BONIFICO", "RI.BA. 30/60/90", "RI.BA. 60/90"};
  std::vector<Row> payments;
  for (int i = 0; i < 4; ++i)
    payments.push_back(Payment(Customer(("C" + std::to_string(i)).c_str()), types[i], "100",
                               D(2024, 1 + i, 28), i % 2 == 0));
  for (int step = 0; step < 120; ++step) {
    Row p = Fetch(payments[rng() % payments.size()]);
    auto rows = p.List("Dettagli");
    switch (rng() % 7) {
      case 0: {
        // Never below what the kept instalments already hold: no schedule can give that back.
        Money kept;
        for (const Row& r : rows)
          if (calc::KeepsInstalment(r.Get("Pagato").ToBool(), r.Get("DaVerificare").ToBool(),
                                    r.Get("Insoluto").ToBool(), r.Get("Note").ToText()) &&
              !r.Get("Insoluto").ToBool())
            kept += r.Get("Importo").ToMoney();
        p.Set("Importo", Variant::Currency(kept + Money::FromRaw((rng() % 100000 + 1) * 100)));
        break;
      }
      case 1:
        p.Set("NumeroRate", Int(static_cast<int32_t>(rng() % 5)));
        break;
      case 2:
        p.SetReferenceOid("TipoPagamento", Type(types[rng() % 4]).Oid());
        break;
      case 3:
        if (!rows.empty()) rows[rng() % rows.size()].Set("Pagato", Flag(rng() % 2));
        break;
      case 4:
        p.Set("Contabilizza", Flag(rng() % 2));
        break;
      case 5:
        if (!rows.empty()) rows[rng() % rows.size()].Set("Insoluto", Flag(rng() % 3 != 0));
        break;
      default:
        p.Set("DataDocumento", Variant::Date(D(2024, 1 + rng() % 12, 1 + rng() % 28)));
    }
  }
  for (const Row& stale : payments) {
    Row p = Fetch(stale);
    Money planned, paid;
    for (const Row& r : p.List("Dettagli")) {
      if (!r.Get("Insoluto").ToBool()) planned += r.Get("Importo").ToMoney();
      if (r.Get("Pagato").ToBool() && !r.Get("Insoluto").ToBool())
        paid += r.Get("Importo").ToMoney();
      auto movement = r.Reference("Movimento");
      EXPECT_EQ(r.Get("Contabilizza").ToBool(), movement.has_value());
      if (movement)
        EXPECT_EQ(movement->Get("ImportoDareAvere").ToMoney(), r.Get("Importo").ToMoney());
      auto back = r.Reference("MovimentoInsoluto");
      EXPECT_EQ(r.Get("Contabilizza").ToBool() && r.Get("Insoluto").ToBool(), back.has_value());
      if (back) EXPECT_EQ(back->Get("ImportoDareAvere").ToMoney(), -r.Get("Importo").ToMoney());
    }
    const Money amount = p.Get("Importo").ToMoney();
    if (amount.raw() > 0 && p.ListCount("Dettagli") > 0) EXPECT_EQ(planned, amount) << p.Oid();
    if (p.ListCount("Dettagli") > 0)
      EXPECT_EQ(p.Get("ImportoDaPagare").ToMoney(), amount - paid) << p.Oid();
    auto movement = p.Reference("Movimento");
    EXPECT_EQ(p.Get("Contabilizza").ToBool(), movement.has_value());
    if (movement) EXPECT_EQ(movement->Get("ImportoDareAvere").ToMoney(), amount);
  }
}

}  // namespace
}  // namespace tillbook::data
