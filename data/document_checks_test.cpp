// The document checks on a real archive: numbering of sales and orders and its coherence
// warning, what setting the customer brings, the "Evaso" refusal, a load without its number,
// the questions before deleting associated documents, the return and transport warnings, and
// the attached-file patterns.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "data/DB.h"
#include "data/document_checks.h"
#include "engine/connection.h"
#include "engine/database.h"
#include "engine/row.h"
#include "engine/ui_services.h"
#include "platform/clock.h"

namespace tillbook::data {
namespace {

using engine::Answer;
using engine::Row;
using Texts = std::vector<std::string>;

// The scripted person, also noting the title of each message box.
class TitledUi : public engine::ScriptedUi {
 public:
  Answer MessageBox(std::string_view text, engine::Buttons b, engine::Icon i, int d,
                    std::string_view title) override {
    titles.emplace_back(title);
    return ScriptedUi::MessageBox(text, b, i, d, title);
  }
  Texts titles;
};

class DocumentChecksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("tillbook-checks-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    platform::SetCurrentClockForTesting(&clock_);
    conn_ = std::make_unique<engine::Connection>(&ui_);
    conn_->Create((dir_ / "Tillbook.mdb").string());
    switches_.config.Notify_ListinoRicarico = false;
  }
  void TearDown() override {
    platform::SetCurrentClockForTesting(nullptr);
    db_.reset();
    conn_.reset();
    std::filesystem::remove_all(dir_);
  }
  void Attach() {
    db_ = std::make_unique<engine::Database>(std::make_unique<DB>(switches_), "Tillbook");
    db_->Attach(*conn_);
    Clear();
  }
  void Clear() {
    ui_.Clear();
    ui_.titles.clear();
  }
  Row Add(const std::string& table, const engine::FieldValues& values) {
    auto row = conn_->AddRow(table, values);
    EXPECT_TRUE(row.has_value()) << table;
    return *row;
  }
  Row Get(const std::string& table, const std::string& field, const std::string& value) {
    auto ids = conn_->FindOids(table, field, Text(value));
    EXPECT_EQ(ids.size(), 1u) << table << "." << field << " = " << value;
    return *conn_->GetRow(table, ids.at(0));
  }
  static Variant Id(const Row& r) { return Variant::Double(static_cast<double>(r.Oid())); }
  static int64_t Number(const Row& r) { return r.Get("Numero").ToInt64(); }
  Variant Type(const std::string& description) {
    return Id(Get("TipiDocumento", "Descrizione", description));
  }
  Row Customer(const std::string& name, engine::FieldValues more = {}) {
    more.push_back({"RagioneSociale", Text(name)});
    more.push_back({"Codice", Text(name.substr(0, 3))});
    return Add("Clienti", more);
  }
  Row Sale(const engine::FieldValues& values) { return Add("Vendite", values); }

  platform::FixedClock clock_{*DateTime::FromParts(2026, 3, 14, 10, 30)};
  TitledUi ui_;
  TableSwitches switches_;
  std::filesystem::path dir_;
  std::unique_ptr<engine::Connection> conn_;
  std::unique_ptr<engine::Database> db_;
};

// ---- Numbering ------------------------------------------------------------------------------

TEST_F(DocumentChecksTest, NewSalesTakeTheNextNumberOfTheirTypeYearAndState) {
  Attach();
  const Variant invoice = Type("FATTURA"), receipt = Type("SCONTRINO FISCALE");
  // Sales given their numbers (an import) keep them, whatever order the values come in.
  Sale({{"Numero", Int(7)}, {"TipoDocumento", invoice}, {"AnnoRiferimento", Int(2026)}});
  Sale({{"TipoDocumento", invoice}, {"Numero", Int(30)}, {"Archiviato", Flag(true)}});
  Row imported =
      Sale({{"TipoDocumento", invoice}, {"Numero", Int(40)}, {"Data", Text("2025-06-01")}});
  EXPECT_EQ(Number(imported), 40);
  EXPECT_EQ(imported.Get("AnnoRiferimento").ToInt64(), 2025);

  EXPECT_EQ(Number(Sale({{"TipoDocumento", invoice}})), 8);
  EXPECT_EQ(Number(Sale({{"TipoDocumento", receipt}})), 1);
  EXPECT_EQ(Number(Sale({{"TipoDocumento", invoice}, {"Data", Text("2025-12-31")}})), 41);
  EXPECT_EQ(Number(Sale({{"Archiviato", Flag(true)}, {"TipoDocumento", invoice}})), 31);

  // A sale started in a data panel has no number until it has a type.
  Row started = *conn_->NewRow("Vendite");
  EXPECT_EQ(started.Get("AnnoRiferimento").ToInt64(), 2026);
  EXPECT_EQ(Number(started), 0);
  ASSERT_TRUE(started.SetReferenceOid("TipoDocumento", invoice.ToInt64()));
  EXPECT_EQ(Number(started), 9);
  ASSERT_TRUE(started.Set("Data", Text("2025-12-31")));
  EXPECT_EQ(Number(started), 42);
  EXPECT_TRUE(started.Save());
  EXPECT_EQ(ui_.log(), Texts{}) << "no question before the sale is stored";
}

TEST_F(DocumentChecksTest, AStoredDocumentAsksBeforeItsNumberChanges) {
  Attach();
  const Variant invoice = Type("FATTURA");
  Sale({{"TipoDocumento", invoice}, {"Numero", Int(1)}, {"Data", Text("2025-05-05")}});
  Row sale = Sale({{"TipoDocumento", invoice}});
  ASSERT_EQ(Number(sale), 1);
  const std::string question =
      "Questa operazione può comportare la variazione del progressivo documento [1], proseguire "
      "solo se si è sicuri...";

  ASSERT_TRUE(sale.Set("Data", Text("2026-01-10")));  // same year: nothing to renumber
  EXPECT_EQ(ui_.messages(), Texts{});
  // Into 2025, whose number 1 is taken: a Yes gives the next free one there (and the number
  // never collides on the way).
  ASSERT_TRUE(sale.Set("Data", Text("2025-09-01")));
  EXPECT_EQ(ui_.messages(), Texts{question});
  EXPECT_EQ(sale.Get("AnnoRiferimento").ToInt64(), 2025);
  EXPECT_EQ(Number(sale), 2);

  Clear();
  ui_.QueueAnswer(Answer::No);
  ASSERT_TRUE(sale.Set("Data", Text("2024-09-01")));
  EXPECT_EQ(ui_.messages(), Texts{"Questa operazione può comportare la variazione del "
                                  "progressivo documento [2], proseguire solo se si è sicuri..."});
  EXPECT_EQ(sale.Get("AnnoRiferimento").ToInt64(), 2024) << "a No keeps only the number";
  EXPECT_EQ(Number(sale), 2);
}

TEST_F(DocumentChecksTest, OrdersAreNumberedByYearAndArchivedState) {
  Attach();
  for (const char* table : {"OrdiniClienti", "OrdiniFornitori"}) {
    SCOPED_TRACE(table);
    Add(table, {{"Numero", Int(4)}, {"Archiviato", Flag(true)}});
    Row first = Add(table, {});
    Row second = Add(table, {});
    EXPECT_EQ(Number(first), 1);
    EXPECT_EQ(Number(second), 2);
    // Archived, the order joins the archived numbering of its year, after the question.
    Clear();
    ASSERT_TRUE(second.Set("Archiviato", Flag(true)));
    EXPECT_EQ(ui_.messages(), Texts{"Questa operazione può comportare la variazione del "
                                    "progressivo ordine [2], proseguire solo se si è sicuri..."});
    EXPECT_EQ(Number(second), 5);
    ui_.QueueAnswer(Answer::No);
    ASSERT_TRUE(second.Set("Data", Text("2025-01-01")));
    EXPECT_EQ(Number(second), 5);
    EXPECT_EQ(second.Get("AnnoRiferimento").ToInt64(), 2025);
  }
}

TEST_F(DocumentChecksTest, SavingASaleWarnsOfNumbersOutOfDateOrder) {
  Attach();
  const Variant invoice = Type("FATTURA");
  Sale({{"TipoDocumento", invoice}, {"Numero", Int(5)}, {"Data", Text("2026-02-10")}});
  Sale({{"TipoDocumento", invoice}, {"Numero", Int(9)}, {"Data", Text("2026-03-01")}});
  Sale({{"TipoDocumento", Type("SCONTRINO FISCALE")}, {"Numero", Int(1)}});
  struct Case {
    const char* date;
    int number;
    std::string warning;
  } cases[] = {
      {"2026-02-20", 7, ""},
      {"2026-01-15", 6,
       "Il progressivo corrente [6] non è coerente perchè il documento [FATTURA N. 5] con data "
       "successiva [10/02/2026] ha un progressivo precedente [5]"},
      {"2026-03-10", 8,
       "Il progressivo corrente [8] non è coerente perchè il documento [FATTURA N. 9] con data "
       "precedente [01/03/2026] ha un progressivo successivo [9]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.date);
    Row sale = *conn_->NewRow("Vendite");
    ASSERT_TRUE(sale.SetReferenceOid("TipoDocumento", invoice.ToInt64()));
    ASSERT_TRUE(sale.Set("Data", Text(c.date)));
    ASSERT_TRUE(sale.Set("Numero", Int(c.number)));
    Clear();
    EXPECT_TRUE(sale.Save()) << "a warning, not a refusal";
    EXPECT_EQ(ui_.messages(), c.warning.empty() ? Texts{} : Texts{c.warning});
    EXPECT_EQ(ui_.titles, c.warning.empty() ? Texts{} : Texts{"< ATTENZIONE >"});
    ASSERT_TRUE(sale.Delete());
  }
}

// ---- The customer of a document -------------------------------------------------------------

TEST_F(DocumentChecksTest, TheCustomerBringsListExemptionAndBankCharge) {
  switches_.config.Notify_ListinoRicarico = true;
  Attach();
  Row riba = Add("TipiPagamento", {{"Codice", Text("RB")},
                                   {"Descrizione", Text("RIBA 30")},
                                   {"ImportoSpeseBancarie", Amount("2.5")}});
  Row list = Add("Listini",
                 {{"Descrizione", Text("INGROSSO")}, {"PercentualeRicaricoPredefinito", Num(20)}});
  Row exempt = Add("EsenzioniIva", {{"Causale", Text("Art. 8")}, {"Esenzione", Flag(true)}});
  Row bank = Add("Banche", {{"Nome", Text("Banca Uno")}});
  Row rossi = Customer("Rossi Srl", {{"TipoPagamentoAbituale", Id(riba)},
                                     {"ListinoPredefinito", Id(list)},
                                     {"EsenzioneIVA", Id(exempt)},
                                     {"BancaDiAppoggio", Id(bank)}});
  Row bianchi = Customer("Bianchi", {{"TipoPagamentoAbituale", Id(riba)}});
  const std::string baseList =
      "< ATTENZIONE >\rIl listino di BASE impostato nel Cliente risulta senza ricarico "
      "predefinito\r\rAggiornare il Listino nel Cliente ?";
  const std::string charge =
      "Il tipo pagamento abituale 'RIBA 30' impostato nel Cliente <Bianchi> prevede le spese "
      "bancarie (2,50)...\r\rVuoi considerarle nello scontrino ?";
  Clear();

  Row invoice = Sale({{"TipoDocumento", Type("FATTURA")}, {"Cliente", Id(rossi)}});
  EXPECT_EQ(invoice.ReferenceOid("Listino"), list.Oid());
  EXPECT_TRUE(invoice.Get("IVAEsente").ToBool());
  EXPECT_EQ(invoice.Get("ImportoSpeseBancarie").ToMoney().ToString(), "2.5");
  EXPECT_EQ(ui_.messages(), Texts{}) << "a list with markup, a charge on an invoice: no question";

  ui_.QueueAnswer(Answer::No);  // the base list
  ui_.QueueAnswer(Answer::No);  // the charge on a receipt
  Row receipt = Sale({{"Cliente", Id(bianchi)}, {"TipoDocumento", Type("SCONTRINO FISCALE")}});
  EXPECT_EQ(ui_.messages(), (Texts{baseList, charge}));
  EXPECT_FALSE(receipt.Get("IVAEsente").ToBool());
  EXPECT_TRUE(receipt.Get("ImportoSpeseBancarie").ToMoney().IsZero());
  Clear();
  ASSERT_TRUE(receipt.SetReferenceOid("TipoDocumento", Type("SCONTRINO NON FISCALE").ToInt64()));
  EXPECT_EQ(receipt.Get("ImportoSpeseBancarie").ToMoney().ToString(), "2.5");  // Yes this time
  EXPECT_EQ(ui_.messages(), (Texts{"Questa operazione può comportare la variazione del "
                                   "progressivo documento [1], proseguire solo se si è sicuri...",
                                   charge}));

  Row order = Add("OrdiniClienti", {{"Cliente", Id(rossi)}});
  EXPECT_EQ(order.ReferenceOid("TipoPagamento"), riba.Oid());
  EXPECT_EQ(order.ReferenceOid("Listino"), list.Oid());
  EXPECT_EQ(order.ReferenceOid("BancaDiAppoggio"), bank.Oid());
  EXPECT_EQ(order.Get("Destinazione").ToText(), "Rossi Srl");
  Clear();
  Add("OrdiniClienti", {{"Cliente", Id(bianchi)}});
  Add("TrasportiClienti", {{"Cliente", Id(bianchi)}});
  EXPECT_EQ(ui_.messages(), (Texts{baseList, baseList}));
}

// ---- Refusals -------------------------------------------------------------------------------

TEST_F(DocumentChecksTest, EvasoFollowsAssociationsAndALoadNeedsItsNumber) {
  Attach();
  const std::string byHand =
      "N.B.: Lo stato di Evasione viene gestito automaticamente mediante l'impostazione dei dati "
      "Associati...";
  Row order = Add("OrdiniClienti", {});
  Row loose = Add("OrdiniClienti", {});
  Row sale = Sale({{"TipoDocumento", Type("FATTURA")}});
  ASSERT_TRUE(order.AddToList("VenditeAssociate", sale));
  Clear();
  EXPECT_TRUE(loose.Set("Evaso", Flag(true))) << "nothing associated: the person may force it";
  EXPECT_FALSE(order.Set("Evaso", Flag(!order.Get("Evaso").ToBool())));
  EXPECT_EQ(ui_.messages(), Texts{byHand});
  {
    Row::Guard fulfilment(order, kSettingEvaso);
    EXPECT_TRUE(order.Set("Evaso", Flag(!order.Get("Evaso").ToBool())));
  }

  Row load = *conn_->NewRow("Forniture");
  Clear();
  EXPECT_FALSE(load.Save());
  EXPECT_TRUE(load.IsPending());
  EXPECT_EQ(ui_.messages(),
            Texts{"E' necessario specificare il numero o il riferimento al documento di carico"});
  ASSERT_TRUE(load.Set("Documento", Text("B-77")));
  EXPECT_TRUE(load.Save());
}

TEST_F(DocumentChecksTest, DeletingAnAssociatedDocumentAsksWithItsCounts) {
  Attach();
  Row sale = Sale({{"TipoDocumento", Type("FATTURA")}});
  Row alone = Sale({{"TipoDocumento", Type("FATTURA")}});
  Row load = Add("Forniture", {{"Documento", Text("B-1")}});
  // Transport documents are not numbered by these hooks: each gets its own number.
  Row transport = Add("TrasportiClienti", {{"Numero", Int(1)}});
  ASSERT_TRUE(Add("TrasportiClienti", {{"Numero", Int(2)}}).AddToList("VenditeAssociate", sale));
  ASSERT_TRUE(Add("TrasportiClienti", {{"Numero", Int(3)}}).AddToList("VenditeAssociate", sale));
  ASSERT_TRUE(Add("OrdiniClienti", {}).AddToList("VenditeAssociate", sale));
  ASSERT_TRUE(Add("OrdiniFornitori", {}).AddToList("FornitureAssociate", load));
  ASSERT_TRUE(Add("OrdiniClienti", {}).AddToList("TrasportiAssociati", transport));
  struct Case {
    Row doc;
    std::string question;
  } cases[] = {
      {alone, ""},
      {sale, "Questo elemento è associato a 2 Trasporto/i e 1 Ordine/i\nContinuare ?"},
      {load, "Questo elemento è associato a 0 Trasporto/i e 1 Ordine/i\nContinuare ?"},
      {transport, "Questo elemento è associato a 1 Ordine/i\nContinuare ?"},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.question);
    Clear();
    if (!c.question.empty()) {
      ui_.QueueAnswer(Answer::No);
      EXPECT_FALSE(c.doc.Delete());
      EXPECT_TRUE(c.doc.IsValid());
      EXPECT_EQ(ui_.messages(), Texts{c.question});
    }
    EXPECT_TRUE(c.doc.Delete());  // default answer Yes
    EXPECT_FALSE(c.doc.IsValid());
  }
}

// ---- Rows -----------------------------------------------------------------------------------

TEST_F(DocumentChecksTest, APositiveQuantityOnAReturnWarnsOncePerDocument) {
  Attach();
  const std::string warning =
      "ATTENZIONE: La quantità dell'elemento impostato risulta positiva mentre l'operazione "
      "corrente (RESO) prevede quantità negative, verificare che il valore sia corretto...";
  Row article = Add("Articoli", {{"Codice", Text("A1")}});
  const Variant reso = Id(Get("Causali", "Descrizione", "RESO"));
  Row first = Sale({{"TipoDocumento", Type("FATTURA")}, {"Causale", reso}});
  Row second = Sale({{"TipoDocumento", Type("FATTURA")}, {"Causale", reso}});
  Row sale = Sale({{"TipoDocumento", Type("FATTURA")}});
  Clear();
  auto quantity = [&](Row& doc, bool freeRow, double q) {
    auto row = freeRow ? doc.AddListRow("DettagliLiberi") : doc.AddListRowFrom("Dettagli", article);
    ASSERT_TRUE(row);
    ASSERT_TRUE(row->Set("QuantitàScarico", Num(q)));
  };
  quantity(first, false, -1);
  quantity(sale, false, 2);
  EXPECT_EQ(ui_.messages(), Texts{}) << "a return's negative rows and a plain sale";
  quantity(first, false, 1);
  quantity(first, true, 3);
  quantity(second, true, 1);
  EXPECT_EQ(ui_.messages(), (Texts{warning, warning}));
}

TEST_F(DocumentChecksTest, LoweringATransportUnderWhatWasInvoicedAsks) {
  Attach();
  struct Case {
    const char* causal;
    double quantity, invoiced, lowered;
    std::string question;
  } cases[] = {
      {"VENDITA", 10, 6, 8, ""},
      {"VENDITA", 10, 0, 2, ""},
      {"VENDITA", 3, 6, 5, ""},  // raised, if still under: nothing taken back
      {"VENDITA", 10, 6, 4,
       "La quantità di trasporto risulta inferiore di quella impostata nelle fatture/ricevute "
       "corrispondenti. Continuare ?"},
      {"RESO", -10, -6, -4,
       "La quantità di reso risulta inferiore di quella impostata nelle fatture/ricevute "
       "corrispondenti. Continuare ?"},
  };
  int number = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.causal) + " " + std::to_string(c.lowered));
    Row doc = Add("TrasportiClienti", {{"Numero", Int(++number)},
                                       {"Causale", Id(Get("Causali", "Descrizione", c.causal))}});
    auto row = doc.AddListRow("DettagliLiberi");
    ASSERT_TRUE(row && row->Set("QuantitàTrasporto", Num(c.quantity)) &&
                row->Set("QuantitàScaricata", Num(c.invoiced)));
    Clear();
    if (!c.question.empty()) ui_.QueueAnswer(Answer::No);
    EXPECT_EQ(row->Set("QuantitàTrasporto", Num(c.lowered)), c.question.empty());
    EXPECT_EQ(ui_.messages(), c.question.empty() ? Texts{} : Texts{c.question});
    EXPECT_DOUBLE_EQ(row->Get("QuantitàTrasporto").ToDouble(),
                     c.question.empty() ? c.lowered : c.quantity);
  }
}

// ---- Attached files -------------------------------------------------------------------------

TEST_F(DocumentChecksTest, AttachedFilesFollowTheCodeOrTheDocument) {
  Attach();
  Row article = Add("Articoli", {{"Codice", Text(" AB/12:*? ")}});
  Row sale = Sale({{"TipoDocumento", Type("SCONTRINO FISCALE")}, {"Data", Text("2026-03-05")}});
  Row order = Add("OrdiniFornitori", {{"Data", Text("2026-01-02")}, {"Numero", Int(12)}});
  const std::string archive = dir_.string();
  struct Case {
    Row row;
    const char* field;
    std::string pattern;
  } cases[] = {
      {article, "File", archive + "/AB_12____*.*"},
      {article, "FileAnteprima", archive + "/AB_12____s_*.*"},
      {article, "Descrizione", ""},
      {sale, "File", archive + "/20260305_1_SCONTRINO FISCALE_*.*"},
      {order, "File", archive + "/20260102_12_*.*"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(checks::AttachedFilesPattern(switches_, c.row, c.field), c.pattern) << c.field;
  switches_.config.RootDir = "/srv/negozio/";
  EXPECT_EQ(checks::AttachedFilesPattern(switches_, order, "File"), "/srv/negozio/20260102_12_*.*");
}

}  // namespace
}  // namespace tillbook::data
