// The hooks of the registry and code tables on a real archive: protected placeholder and named
// rows, the registries' questions, the defaults of new rows, the follow-ups between related
// code tables, the choices and orders of lists, and document rows picking their article by code.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "data/DB.h"
#include "engine/catalog.h"
#include "engine/connection.h"
#include "engine/database.h"
#include "engine/dataset.h"
#include "engine/row.h"
#include "engine/ui_services.h"
#include "platform/clock.h"

namespace tillbook::data {
namespace {

using engine::Answer;
using engine::Row;

const char* const kNoChange = "Non è possibile modificare questo elemento";
const char* const kNoDelete = "Non è possibile eliminare questo elemento";

class HooksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("tillbook-hooks-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    platform::SetCurrentClockForTesting(&clock_);
    conn_ = std::make_unique<engine::Connection>(&ui_);
    conn_->Create((dir_ / "Tillbook.mdb").string());
  }
  void TearDown() override {
    platform::SetCurrentClockForTesting(nullptr);
    db_.reset();
    conn_.reset();
    std::filesystem::remove_all(dir_);
  }
  void Attach(TableSwitches s = {}) {
    s.Use_Zone = s.Use_Agenti = true;
    db_ = std::make_unique<engine::Database>(std::make_unique<DB>(s), "Tillbook");
    db_->Attach(*conn_);
    ui_.Clear();
  }
  engine::Connection& conn() { return *conn_; }
  Row Get(const std::string& table, const std::string& field, const Variant& value) {
    auto ids = conn().FindOids(table, field, value);
    EXPECT_EQ(ids.size(), 1u) << table << "." << field << " = " << value.ToText();
    return *conn().GetRow(table, ids.at(0));
  }
  Row Add(const std::string& table, const engine::FieldValues& values) {
    auto row = conn().AddRow(table, values);
    EXPECT_TRUE(row.has_value()) << table;
    return *row;
  }
  // A row started as a data panel starts it: defaults given, stored when saved.
  Row New(const std::string& table) {
    auto row = conn().NewRow(table);
    EXPECT_TRUE(row.has_value()) << table;
    return *row;
  }
  std::vector<std::string> Column(const std::string& table, const std::string& filter,
                                  const std::string& field) {
    engine::DataSet ds(conn(), engine::SelectRequest{table, filter, field, field});
    std::vector<std::string> out;
    for (ds.First(); !ds.IsEOF(); ds.Next()) out.push_back(ds.ColValue(field).ToText());
    return out;
  }
  static bool Has(const Row& r, const char* field) { return r.table().FindColumn(field).valid(); }
  static Variant Id(const Row& r) { return Variant::Double(static_cast<double>(r.Oid())); }

  platform::FixedClock clock_{*DateTime::FromParts(2026, 3, 14, 10, 30)};
  engine::ScriptedUi ui_;
  std::filesystem::path dir_;
  std::unique_ptr<engine::Connection> conn_;
  std::unique_ptr<engine::Database> db_;
};

// ---- Protected rows -----------------------------------------------------------------------

TEST_F(HooksTest, PlaceholderRowsKeepTheirEmptyKeyAndCannotBeDeleted) {
  Attach();
  struct Case {
    const char* table;
    const char* key;
    bool refusedAtSave;
  } cases[] = {
      {"Comuni", "Descrizione", true},
      {"Attività", "Descrizione", true},
      {"CategorieSoggetti", "Descrizione", false},
      {"ZoneGeografiche", "Descrizione", false},
      {"Reparti", "Descrizione", false},
      {"TipiPorto", "Descrizione", false},
      {"TipiAspettoBeni", "Descrizione", false},
      {"TipiSoggettiTrasorto", "Descrizione", false},
      {"EsenzioniIva", "Causale", true},
      {"Banche", "Nome", false},
      {"Vettori", "Codice", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.table);
    const int64_t before = conn().Count(c.table);
    Row placeholder = Get(c.table, c.key, Text(""));
    ui_.Clear();
    EXPECT_FALSE(placeholder.Set(c.key, Text("Nuovo nome")));
    EXPECT_TRUE(placeholder.IsEmpty(c.key));
    EXPECT_FALSE(placeholder.Delete());
    EXPECT_TRUE(placeholder.IsValid());
    EXPECT_EQ(placeholder.Save(), !c.refusedAtSave);
    std::vector<std::string> expected{kNoChange, kNoDelete};
    if (c.refusedAtSave) expected.push_back(kNoChange);
    EXPECT_EQ(ui_.messages(), expected);
    EXPECT_EQ(conn().Count(c.table), before);

    // Any other row is the person's: named when created, renamed and deleted freely.
    Row other = New(c.table);
    ASSERT_TRUE(other.Set(c.key, Text("Prima")));
    ASSERT_TRUE(other.Save());
    ASSERT_TRUE(other.Set(c.key, Text("Dopo")));
    EXPECT_EQ(other.Get(c.key).ToText(), "Dopo");
    EXPECT_TRUE(other.Delete());
    EXPECT_EQ(ui_.messages().size(), expected.size());
  }
}

TEST_F(HooksTest, NamedRowsRefuseWithTheirOwnMessages) {
  Attach();
  Row italy = Get("Nazioni", "Descrizione", Text("Italia"));
  EXPECT_FALSE(italy.Set("Descrizione", Text("Francia")));
  EXPECT_FALSE(italy.Delete());
  Row euro = Get("Valute", "Descrizione", Text("Euro"));
  EXPECT_TRUE(euro.Set("RapportoDiCambio", Num(1)));  // unchanged value: nothing to refuse
  EXPECT_FALSE(euro.Set("Descrizione", Text("Lira")));
  EXPECT_FALSE(euro.Delete());
  EXPECT_EQ(ui_.messages(), (std::vector<std::string>{kNoChange, kNoDelete, kNoChange, kNoDelete}));
  EXPECT_TRUE(Get("Valute", "Descrizione", Text("Dollaro")).Delete());

  // Agent "00": its code stays, the rest of it is the person's.
  ui_.Clear();
  Row agent = Get("Agenti", "Codice", Text("00"));
  EXPECT_FALSE(agent.Set("Codice", Text("01")));
  EXPECT_TRUE(agent.Set("RagioneSociale", Text("Vendita diretta")));
  EXPECT_TRUE(agent.Set("Provvigione", Num(3)));
  EXPECT_EQ(agent.Get("Codice").AsString(), "00");
  EXPECT_EQ(ui_.messages(), std::vector<std::string>{"Non è possibile modificare questo elemento\n"
                                                     "Gli altri campi sono modificabili."});

  // The base price list: not changed at all, not deleted.
  ui_.Clear();
  Row base = Get("Listini", "Descrizione", Text("< BASE >"));
  EXPECT_FALSE(base.Set("PercentualeRicaricoPredefinito", Num(30)));
  EXPECT_FALSE(base.Set("Descrizione", Text("BASE")));
  EXPECT_FALSE(base.Delete());
  EXPECT_EQ(ui_.messages(),
            (std::vector<std::string>{"Non puoi modificare il listino di base.",
                                      "Non puoi modificare il listino di base.", kNoDelete}));

  // Administrators stay; other operators go.
  ui_.Clear();
  EXPECT_FALSE(Get("Operatori", "Nome", Text("Amministratore")).Delete());
  Row second = Add("Operatori", {{"Nome", Text("Capo")}, {"LivelloAccesso", Int(1)}});
  EXPECT_FALSE(second.Delete());
  EXPECT_TRUE(Get("Operatori", "Nome", Text("Operatore")).Delete());
  EXPECT_EQ(ui_.messages(),
            (std::vector<std::string>{"Non è possibile eliminare l'utente Amministratore.",
                                      "Non è possibile eliminare l'utente Amministratore."}));
}

// ---- Questions of the registries ----------------------------------------------------------

TEST_F(HooksTest, RenamingAStoredArticleAsksFirst) {
  Attach();
  const std::string question =
      "La variazione del Codice interno potrebbe causare problemi nell'identificazione di "
      "eventuali movimentazioni già effettuate per questo Articolo, continuare ?";
  Row fresh = New("Articoli");
  ASSERT_TRUE(fresh.Set("Codice", Text("A1")));  // given while new: no question
  ASSERT_TRUE(fresh.Save());
  EXPECT_TRUE(ui_.messages().empty());

  ui_.QueueAnswer(Answer::No);
  EXPECT_FALSE(fresh.Set("Codice", Text("A2")));
  EXPECT_EQ(fresh.Get("Codice").AsString(), "A1");
  ui_.QueueAnswer(Answer::Yes);
  EXPECT_TRUE(fresh.Set("Codice", Text("A2")));
  EXPECT_EQ(Get("Articoli", "Codice", Text("A2")).Oid(), fresh.Oid());
  EXPECT_EQ(ui_.messages(), (std::vector<std::string>{question, question}));
}

TEST_F(HooksTest, DeletingAPriceListTakesItsPersonalisationsAfterTheQuestion) {
  Attach();
  Row list = Add("Listini", {{"Descrizione", Text("Rivenditori")}});
  Row keep = Add("Listini", {{"Descrizione", Text("Ingrosso")}});
  Row sector = Add("Settori", {{"Descrizione", Text("Cartoleria")}});
  Row article = Add("Articoli", {{"Codice", Text("A1")}});
  for (const Row* l : {&list, &keep}) {
    auto s = sector.AddListRow("ListiniPredefiniti");
    ASSERT_TRUE(s && s->SetReference("Listino", *l));
    auto a = article.AddListRow("ListiniPersonalizzati");
    ASSERT_TRUE(a && a->SetReference("Listino", *l));
  }
  const std::string question =
      "Sei sicuro di eliminare definitivamente il listino e tutte le relative personalizzazioni ?";
  ui_.Clear();
  ui_.QueueAnswer(Answer::No);
  EXPECT_FALSE(list.Delete());
  EXPECT_EQ(sector.ListCount("ListiniPredefiniti"), 2);
  ui_.QueueAnswer(Answer::Yes);
  EXPECT_TRUE(list.Delete());
  EXPECT_EQ(ui_.messages(), (std::vector<std::string>{question, question}));
  ASSERT_EQ(sector.ListCount("ListiniPredefiniti"), 1);
  ASSERT_EQ(article.ListCount("ListiniPersonalizzati"), 1);
  EXPECT_EQ(sector.List("ListiniPredefiniti")[0].ReferenceOid("Listino"), keep.Oid());
  EXPECT_EQ(article.List("ListiniPersonalizzati")[0].ReferenceOid("Listino"), keep.Oid());
}

TEST_F(HooksTest, ChangedRegisterCodeOfAVatCodeReachesItsDepartmentsOnYes) {
  Attach();
  Row vat = Get("CodiciIva", "Codice", Text("IVA10"));
  ASSERT_TRUE(vat.Set("CodiceCassaPredefinito", Int(2)));
  ASSERT_TRUE(vat.Save());
  Row food = Add("Reparti", {{"Descrizione", Text("Alimentari")}});
  Row bar = Add("Reparti", {{"Descrizione", Text("Bar")}});
  Row books = Add("Reparti", {{"Descrizione", Text("Libri")}});
  for (Row* r : {&food, &bar}) ASSERT_TRUE(r->SetReference("IVAPredefinita", vat));
  ASSERT_TRUE(books.SetReference("IVAPredefinita", Get("CodiciIva", "Codice", Text("IVA04"))));
  // A department takes its VAT code's register code when the code is chosen.
  EXPECT_EQ(food.Get("CodiceCassa").ToInt64(), 2);
  ASSERT_TRUE(bar.Set("CodiceCassa", Int(9)));
  ui_.Clear();

  const std::string question =
      "Il Codice Cassa Predefinito è stato variato, vuoi impostarlo in tutti i reparti correlati?";
  ASSERT_TRUE(vat.Set("CodiceCassaPredefinito", Int(5)));
  ui_.QueueAnswer(Answer::No);
  EXPECT_TRUE(vat.Save());  // No keeps the departments' codes; the VAT code is saved all the same
  EXPECT_EQ(food.Get("CodiceCassa").ToInt64(), 2);
  EXPECT_TRUE(vat.Save());  // asked once per change
  ASSERT_TRUE(vat.Set("CodiceCassaPredefinito", Int(6)));
  ui_.QueueAnswer(Answer::Yes);
  EXPECT_TRUE(vat.Save());
  EXPECT_EQ(food.Get("CodiceCassa").ToInt64(), 6);
  EXPECT_EQ(bar.Get("CodiceCassa").ToInt64(), 6);
  EXPECT_EQ(books.Get("CodiceCassa").ToInt64(), 0);
  EXPECT_EQ(ui_.messages(), (std::vector<std::string>{question, question}));

  // A sector takes its department's VAT code.
  Row sector = Add("Settori", {{"Descrizione", Text("Pasta")}});
  ASSERT_TRUE(sector.SetReference("Reparto", food));
  EXPECT_EQ(sector.ReferenceOid("IVAPredefinita"), vat.Oid());
}

// ---- Defaults of new rows -----------------------------------------------------------------

TEST_F(HooksTest, NewCustomersAndSuppliersStartFromTheConfiguredDefaults) {
  TableSwitches s;
  s.ProgrLen_ClientiForn = 5;
  Attach(s);
  Add("Clienti", {{"Codice", Text("00007")}, {"RagioneSociale", Text("Rossi")}});
  Add("Clienti", {{"Codice", Text("123456")}, {"RagioneSociale", Text("Codice lungo")}});
  Add("Clienti", {{"Codice", Text("AB123")}, {"RagioneSociale", Text("Codice misto")}});
  Row customer = New("Clienti");
  EXPECT_EQ(customer.Get("Codice").AsString(), "00008");  // only five-digit codes count
  EXPECT_DOUBLE_EQ(customer.Get("PercentualeSconto").ToDouble(), 0);
  EXPECT_EQ(customer.ReferenceOid("ListinoPredefinito"),
            Get("Listini", "Descrizione", Text("< BASE >")).Oid());
  EXPECT_EQ(customer.ReferenceOid("Agente"), Get("Agenti", "Codice", Text("00")).Oid());
  EXPECT_EQ(customer.ReferenceOid("BancaDiAppoggio"), Get("Banche", "Nome", Text("")).Oid());

  Row supplier = New("Fornitori");
  EXPECT_EQ(supplier.Get("Codice").AsString(), "00001");  // each table numbers its own
  EXPECT_EQ(supplier.Get("TempoConsegna").ToInt64(), 0);
  EXPECT_DOUBLE_EQ(New("Agenti").Get("Provvigione").ToDouble(), 0);

  // Without a code length the code is left to the person.
  Attach();
  EXPECT_EQ(New("Clienti").Get("Codice").AsString(), "");
}

TEST_F(HooksTest, NewArticlesTakeTodayTheDefaultUnitAndVatAndAreStampedOnSave) {
  TableSwitches s;
  s.ProgrLen_Articoli = 4;
  s.Default_UnitaMisura = "QntCnf";
  s.Default_CodiceIVA = "IVA10";
  Attach(s);
  Row article = New("Articoli");
  EXPECT_EQ(article.Get("Codice").AsString(), "0001");
  EXPECT_EQ(article.Get("DataInserimento").ToDateTime().ToIsoDate(), "2026-03-14");
  EXPECT_EQ(article.ReferenceOid("UnitaMisura"),
            Get("UnitaMisura", "Codice", Text("QntCnf")).Oid());
  EXPECT_EQ(article.ReferenceOid("IVA"), Get("CodiciIva", "Codice", Text("IVA10")).Oid());
  EXPECT_DOUBLE_EQ(article.Get("QuantitàTotaleScarichi").ToDouble(), 0);
  ASSERT_TRUE(article.Save());
  EXPECT_EQ(article.Get("DataModifica").ToDateTime().ToIsoDate(), "2026-03-14");
  clock_.Set(*DateTime::FromParts(2026, 4, 2));
  ASSERT_TRUE(article.Set("Descrizione", Text("Quaderno")));
  ASSERT_TRUE(article.Save());
  EXPECT_EQ(article.Get("DataModifica").ToDateTime().ToIsoDate(), "2026-04-02");
  EXPECT_EQ(article.Get("DataInserimento").ToDateTime().ToIsoDate(), "2026-03-14");
  EXPECT_EQ(New("Articoli").Get("Codice").AsString(), "0002");
}

TEST_F(HooksTest, NewDocumentsAndCodeRowsStartEmpty) {
  Attach();
  conn().Operator = "Operatore";
  for (const char* table : {"Vendite", "VenditeAccompagnatorie", "Forniture", "OrdiniClienti",
                            "OrdiniFornitori", "TrasportiClienti", "TrasportiFornitori"}) {
    SCOPED_TRACE(table);
    Row doc = New(table);
    EXPECT_EQ(doc.Get("Data").ToDateTime().ToIsoDate(), "2026-03-14");
    EXPECT_FALSE(doc.Get("Archiviato").ToBool());
    EXPECT_EQ(doc.Get("Note").ToText(), "");
    EXPECT_EQ(doc.ReferenceOid("Causale"), Get("Causali", "Descrizione", Text("VENDITA")).Oid());
    EXPECT_EQ(doc.ReferenceOid("Operatore"), Get("Operatori", "Nome", Text("Operatore")).Oid());
  }
  Row bank = New("Banche");
  EXPECT_EQ(bank.Get("Agenzia").ToText(), "");
  EXPECT_FALSE(bank.Get("BancaPropria").ToBool());
  Row payment = New("TipiPagamento");
  EXPECT_EQ(payment.Get("NumeroRate").ToInt64(), 0);
  EXPECT_FALSE(payment.Get("FineMese").IsNull());
}

TEST_F(HooksTest, DocumentRowsStartWithoutDiscountAndTakeTheDocumentsExemption) {
  Attach();
  Row article = Add("Articoli", {{"Codice", Text("A1")}});
  for (const char* header : {"Vendite", "Forniture", "OrdiniClienti", "OrdiniFornitori",
                             "TrasportiClienti", "TrasportiFornitori"}) {
    SCOPED_TRACE(header);
    // Two documents that differ in their unique keys whatever the header.
    const char* number = Has(New(header), "Numero") ? "Numero" : "Documento";
    Row exempt = Add(header, {{number, Int(1)}, {"IVAEsente", Flag(true)}});
    Row taxed = Add(header, {{number, Int(2)}});
    auto row = exempt.AddListRowFrom("Dettagli", article);
    auto free = exempt.AddListRow("DettagliLiberi");
    auto plain = taxed.AddListRow("Dettagli");
    ASSERT_TRUE(row && free && plain);
    EXPECT_TRUE(row->Get("IVAEsente").ToBool());
    EXPECT_TRUE(free->Get("IVAEsente").ToBool());
    EXPECT_FALSE(plain->Get("IVAEsente").ToBool());
    if (Has(*row, "PercentualeSconto"))
      EXPECT_DOUBLE_EQ(row->Get("PercentualeSconto").ToDouble(), 0);
    if (Has(*free, "Riferimento")) EXPECT_EQ(free->Get("Riferimento").ToText(), "");
  }
}

// ---- Choices and orders of lists ----------------------------------------------------------

TEST_F(HooksTest, DocumentsOfferOnlyEnabledTypesOfTheirScopeAndEnabledReasons) {
  Attach();
  Add("TipiDocumento", {{"Descrizione", Text("CARICO")}, {"Ambito", Int(2)}});
  Add("TipiDocumento", {{"Descrizione", Text("SOLO VENDITA")}, {"Ambito", Int(1)}});
  Add("TipiDocumento", {{"Descrizione", Text("DISMESSO")}, {"Abilitato", Flag(false)}});
  // The default reasons start enabled: disable all but two of them.
  for (const char* reason :
       {"ACQUISTO", "CONTO RIPARAZIONE", "CONTO VENDITA", "CONTO VISIONE", "NOTA DI CREDITO",
        "RESO / CONTO RIPARAZIONE", "RESO / CONTO VENDITA", "RESO / CONTO VISIONE"})
    ASSERT_TRUE(Get("Causali", "Descrizione", Text(reason)).Set("Abilitato", Flag(false)));
  Row sale = New("Vendite");
  Row load = New("Forniture");
  const auto saleTypes =
      Column("TipiDocumento", sale.SelectionFilter("TipoDocumento"), "Descrizione");
  EXPECT_EQ(saleTypes,
            (std::vector<std::string>{"FATTURA", "RICEVUTA NON FISCALE", "SCONTRINO FISCALE",
                                      "SCONTRINO NON FISCALE", "SOLO VENDITA"}));
  const auto loadTypes =
      Column("TipiDocumento", load.SelectionFilter("TipoDocumento"), "Descrizione");
  EXPECT_EQ(loadTypes, (std::vector<std::string>{"CARICO", "FATTURA", "RICEVUTA NON FISCALE"}));
  EXPECT_EQ(Column("Causali", sale.SelectionFilter("Causale"), "Descrizione"),
            (std::vector<std::string>{"RESO", "VENDITA"}));
  EXPECT_EQ(Column("Causali", load.SelectionFilter("Causale"), "Descrizione"),
            (std::vector<std::string>{"RESO", "VENDITA"}));
  EXPECT_EQ(sale.SelectionFilter("Cliente"), "");
}

TEST_F(HooksTest, ListsOpenInTheirDefaultOrder) {
  Attach();
  struct Case {
    const char* table;
    const char* sort;
  } cases[] = {
      {"Clienti", "*,Codice,RagioneSociale"},
      {"Fornitori", "*,Codice,RagioneSociale"},
      {"Agenti", "*,Codice,RagioneSociale"},
      {"Vendite", "*,Numero,Cliente"},
      {"TrasportiClienti", "*,Numero,Cliente"},
      {"Forniture", "*,Documento,Fornitore"},
      {"DettagliVendite", "DettagliVendite.Riferimento,DettagliVendite.OID"},
      {"PrimaNota", "DataInserimento,DataMovimento,Tipo,Descrizione"},
      {"DettagliPagamentiCliente", "DataScadenza,NumeroRata"},
  };
  for (const auto& c : cases) {
    engine::DataSet ds(conn(), engine::SelectRequest{c.table, "", "", ""});
    EXPECT_EQ(ds.request().sort, c.sort) << c.table;
    EXPECT_GE(ds.RowCount(), 0);  // the order is one the dialect accepts
  }
  engine::DataSet chosen(conn(), engine::SelectRequest{"Clienti", "", "", "RagioneSociale"});
  EXPECT_EQ(chosen.request().sort, "RagioneSociale");
}

// ---- Document rows pick their article by code --------------------------------------------

TEST_F(HooksTest, SaleRowsPickTheArticleByCodeAndDeposit) {
  Attach();
  Row shop = Get("Depositi", "Codice", Text(""));
  Row store = Add("Depositi", {{"Codice", Text("MAG2")}, {"Deposito", Text("Magazzino 2")}});
  Add("Articoli",
      {{"Codice", Text("A1")}, {"Descrizione", Text("Penna negozio")}, {"Deposito", Id(shop)}});
  Add("Articoli",
      {{"Codice", Text("A1")}, {"Descrizione", Text("Penna magazzino")}, {"Deposito", Id(store)}});
  Row only = Add("Articoli", {{"Codice", Text("B2")},
                              {"Descrizione", Text("Gomma")},
                              {"PrezzoVendita", Amount("0.80")},
                              {"Deposito", Id(store)}});
  Row sale = Add("Vendite", {{"Numero", Int(1)}});
  auto row = sale.AddListRow("Dettagli");
  ASSERT_TRUE(row);
  ui_.Clear();
  EXPECT_FALSE(row->Set("Codice", Text("ZZ")));
  EXPECT_FALSE(row->Set("Codice", Text("A1")));  // the row names no deposit yet
  EXPECT_EQ(ui_.messages(),
            (std::vector<std::string>{"Nessun elemento di Articoli con Codice «ZZ».",
                                      "Più elementi di Articoli hanno Codice «A1»: indicare "
                                      "prima Deposito."}));
  ASSERT_TRUE(row->Set("Codice", Text("b2")));
  EXPECT_EQ(row->BaseRow()->Oid(), only.Oid());
  EXPECT_EQ(row->Get("Descrizione").AsString(), "Gomma");
  EXPECT_EQ(row->Get("PrezzoVendita").ToMoney(), *Money::Parse("0.80"));
  EXPECT_EQ(row->ReferenceOid("Deposito"), store.Oid());
  // Now in the second deposit, the shared code is that deposit's article.
  ASSERT_TRUE(row->Set("Codice", Text("A1")));
  EXPECT_EQ(row->Get("Descrizione").AsString(), "Penna magazzino");

  // Free rows are free text: a description is never looked up.
  auto free = sale.AddListRow("DettagliLiberi");
  ASSERT_TRUE(free);
  EXPECT_TRUE(free->Set("Descrizione", Text("Confezione regalo")));
  EXPECT_FALSE(free->BaseRow());
}

}  // namespace
}  // namespace tillbook::data
