// The recalculation tools on small archives stored through the engine: the derived values are
// spoiled by raw statements first, so every figure the tools write must come from the
// movements; the exact texts of questions and phases; Stop and No; the switches.
#include "mainwindow/recalc.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/error.h"
#include "calc/prices.h"
#include "core/configuration.h"
#include "data/DB.h"
#include "data/TableClass.h"
#include "engine/catalog.h"
#include "engine/connection.h"
#include "engine/database.h"
#include "engine/ui_services.h"
#include "mainwindow/internal/archive_sql.h"

namespace tillbook::mainwindow {
namespace {

namespace fs = std::filesystem;
using data::Amount;
using data::Num;
using data::Text;

// Presses Stop at the first step of the phase whose text starts with `phase`, and keeps the
// text of every phase announced.
class StoppingUi : public engine::ScriptedUi {
 public:
  std::string stopAt;
  void ProgressStart(std::string_view title, int total) override {
    current_ = std::string(title);
    ScriptedUi::ProgressStart(title, total);
  }
  bool ProgressStep(int done, std::string_view text) override {
    if (!stopAt.empty() && current_.rfind(stopAt, 0) == 0) return false;
    return ScriptedUi::ProgressStep(done, text);
  }

 private:
  std::string current_;
};

class RecalcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("tillbook_recalc_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    conn_ = std::make_unique<engine::Connection>();
    conn_->Create((dir_ / "Tillbook.mdb").string());
    db_ = std::make_unique<engine::Database>(std::make_unique<data::DB>(), "Tillbook");
    db_->Attach(*conn_);
  }
  void TearDown() override {
    db_.reset();
    conn_.reset();
    fs::remove_all(dir_);
  }

  engine::Connection& conn() { return *conn_; }

  engine::Row Add(const char* table, const engine::FieldValues& values) {
    auto row = conn().AddRow(table, values);
    if (!row) throw Error("riga rifiutata", table);
    return *row;
  }
  static Variant Ref(int64_t oid) { return Variant::Long(static_cast<int32_t>(oid)); }
  static void Set(engine::Row& row, const engine::FieldValues& values) {
    for (const auto& [field, value] : values)
      if (!row.Set(field, value)) throw Error("valore rifiutato", field);
  }
  // A document row made from `article` (an article or a free article), written as it is stored
  // and nothing more: the tools must rebuild every figure from the movements alone, whatever
  // the hooks of the document rows would have kept up to date.
  int64_t Line(const engine::Row& document, const char* list, const engine::Row& article,
               engine::FieldValues values) {
    const engine::ReferenceInfo& ref = internal::ListOf(document.table(), list);
    const engine::TableInfo& rows = *ref.target;
    values.push_back({"Descrizione", article.Get("Descrizione")});
    std::string columns = internal::Quote(ref.ownerColumn) + ", " + internal::BaseLinkColumn(rows);
    std::string literals = std::to_string(document.Oid()) + ", " + std::to_string(article.Oid());
    std::vector<std::string> given;
    for (const auto& [field, value] : values) {
      if (std::find(given.begin(), given.end(), field) != given.end()) continue;
      given.push_back(field);
      columns += ", " + internal::SqlColumnOf(rows, field).column;
      literals += ", " + Literal(value);
    }
    Spoil("INSERT INTO " + internal::OwnTable(rows) + " (" + columns + ") VALUES (" + literals +
          ")");
    int64_t oid = 0;
    internal::ForEachResult(conn(), "SELECT MAX(\"OID\") FROM " + internal::OwnTable(rows), {},
                            [&](const std::vector<Variant>& r) { oid = r[0].ToInt64(); });
    return oid;
  }
  static std::string Literal(const Variant& v) {
    if (v.IsString()) return "'" + v.AsString() + "'";
    if (v.type() == VarType::Currency) return std::to_string(v.AsMoney().raw());
    return internal::SqlNumber(v.ToDouble());
  }
  // Links `item` to the list of `document`, at the end.
  void Link(const engine::Row& document, const char* list, const engine::Row& item) {
    Spoil("INSERT INTO " + internal::Quote(internal::ListOf(document.table(), list).linkTable) +
          " (\"OID_Owner\", \"OID_Item\") VALUES (" + std::to_string(document.Oid()) + ", " +
          std::to_string(item.Oid()) + ")");
  }
  // Raw statements, as another program or an old bug would have left the archive.
  void Spoil(const std::string& sql) {
    conn().RunAction([&] {
      conn().Execute(sql);
      return true;
    });
  }
  double Number(const char* table, int64_t oid, const char* field) {
    auto row = conn().GetRow(table, oid);
    if (!row) throw Error("riga mancante", table);
    const Variant v = row->Get(field);
    return v.IsNull() ? 0 : v.ToDouble();
  }
  bool Yes(const char* table, int64_t oid, const char* field) {
    return conn().GetRow(table, oid)->Get(field).ToBool();
  }

  fs::path dir_;
  std::unique_ptr<engine::Connection> conn_;
  std::unique_ptr<engine::Database> db_;
};

constexpr const char* kQuantitiesQuestion =
    "ATTENZIONE! - Questa operazione corregge le incongruenze nelle quantità degli articoli in "
    "relazione alle movimentazioni effettuate...\n\nContinuare ?";

// The shop of the quantity tests: article A loaded from two suppliers, partly by a transport
// document still open, sold and partly sent, on order from a customer and to a supplier;
// article C ordered for 10 and drawn by two sales of 6; article B never moved; a free article.
class QuantitiesTest : public RecalcTest {
 protected:
  void SetUp() override {
    RecalcTest::SetUp();
    Seed();
    SpoilEverything();
  }

  void Seed() {
    v = Add("Fornitori", {{"Codice", Text("V")}, {"RagioneSociale", Text("Verdi")}}).Oid();
    n = Add("Fornitori", {{"Codice", Text("N")}, {"RagioneSociale", Text("Neri")}}).Oid();
    const engine::Row r =
        Add("Clienti", {{"Codice", Text("R")}, {"RagioneSociale", Text("Rossi")}});
    engine::Row artA = Add("Articoli", {{"Codice", Text("A")}, {"Descrizione", Text("Vite")}});
    engine::Row artB = Add("Articoli", {{"Codice", Text("B")}, {"Descrizione", Text("Dado")}});
    engine::Row artC = Add("Articoli", {{"Codice", Text("C")}, {"Descrizione", Text("Chiodo")}});
    engine::Row freeArt = Add("ArticoliLiberi", {{"Descrizione", Text("Montaggio")}});
    a = artA.Oid(), b = artB.Oid(), c = artC.Oid(), f = freeArt.Oid();
    const Variant vRef = Ref(v);
    const Variant nRef = Ref(n);

    engine::Row l1 = Add("Forniture", {{"Data", Text("2024-03-01")}, {"Fornitore", vRef}});
    Line(l1, "Dettagli", artA,
         {{"QuantitàCarico", Num(10)},
          {"Importo", Amount("60.00")},
          {"ImportoParzialeOneri", Amount("5.00")}});
    Line(l1, "DettagliLiberi", freeArt, {{"QuantitàCarico", Num(3)}, {"Importo", Amount("9.00")}});
    engine::Row l2 = Add("Forniture", {{"Data", Text("2024-03-05")}, {"Fornitore", vRef}});
    Line(l2, "Dettagli", artA,
         {{"QuantitàCarico", Num(5)},
          {"Importo", Amount("40.00")},
          {"ImportoParzialeOneri", Amount("2.50")}});
    // Transport documents from suppliers: 8 sent, 5 of them loaded by l2; 2 not loaded yet.
    engine::Row t1 = Add("TrasportiFornitori", {{"Data", Text("2024-03-04")}, {"Fornitore", vRef}});
    t1Row = Line(t1, "Dettagli", artA, {{"QuantitàTrasporto", Num(8)}});
    Link(t1, "FornitureAssociate", l2);
    engine::Row t2 = Add("TrasportiFornitori", {{"Data", Text("2024-03-06")}, {"Fornitore", nRef}});
    t2Row = Line(t2, "Dettagli", artA, {{"QuantitàTrasporto", Num(2)}});
    this->t1 = t1.Oid();

    const Variant rRef = Ref(r.Oid());
    engine::Row s1 = Add("Vendite", {{"Data", Text("2024-03-10")}, {"Cliente", rRef}});
    Line(s1, "Dettagli", artA, {{"QuantitàScarico", Num(6)}, {"Importo", Amount("75.00")}});
    engine::Row s5 = Add("Vendite", {{"Data", Text("2024-03-10")}, {"Cliente", rRef}});
    Line(s5, "DettagliLiberi", freeArt,
         {{"QuantitàScarico", Num(1)}, {"Importo", Amount("12.50")}});
    engine::Row s2 = Add("Vendite", {{"Data", Text("2024-03-11")}, {"Cliente", rRef}});
    Line(s2, "Dettagli", artA, {{"QuantitàScarico", Num(2)}, {"Importo", Amount("25.00")}});
    engine::Row s3 = Add("Vendite", {{"Data", Text("2024-03-12")}, {"Cliente", rRef}});
    Line(s3, "Dettagli", artC, {{"QuantitàScarico", Num(6)}, {"Importo", Amount("10.00")}});
    engine::Row s4 = Add("Vendite", {{"Data", Text("2024-03-13")}, {"Cliente", rRef}});
    Line(s4, "Dettagli", artC, {{"QuantitàScarico", Num(6)}, {"Importo", Amount("10.00")}});
    // A customer transport document of 5, of which s2 invoiced 2.
    engine::Row c1 = Add("TrasportiClienti", {{"Data", Text("2024-03-11")}, {"Cliente", rRef}});
    c1Row = Line(c1, "Dettagli", artA, {{"QuantitàTrasporto", Num(5)}});
    Link(c1, "VenditeAssociate", s2);
    this->c1 = c1.Oid();

    // Orders: 10 of C drawn by two sales of 6; 7 of A drawn by the transport document; the
    // free article ordered for 2, of which s5 sold 1 (matched by description, any case).
    engine::Row o1 = Add("OrdiniClienti", {{"Data", Text("2024-03-09")}, {"Cliente", rRef}});
    o1Row = Line(o1, "Dettagli", artC, {{"QuantitàOrdine", Num(10)}});
    Link(o1, "VenditeAssociate", s3);
    Link(o1, "VenditeAssociate", s4);
    engine::Row o2 = Add("OrdiniClienti", {{"Data", Text("2024-03-09")}, {"Cliente", rRef}});
    o2Row = Line(o2, "Dettagli", artA, {{"QuantitàOrdine", Num(7)}});
    o2Free = Line(o2, "DettagliLiberi", freeArt,
                  {{"QuantitàOrdine", Num(2)}, {"Descrizione", Text("MONTAGGIO")}});
    Link(o2, "TrasportiAssociati", c1);
    Link(o2, "VenditeAssociate", s5);
    engine::Row p1 = Add("OrdiniFornitori", {{"Data", Text("2024-02-20")}, {"Fornitore", vRef}});
    p1Row = Line(p1, "Dettagli", artA, {{"QuantitàOrdine", Num(20)}});
    Link(p1, "FornitureAssociate", l1);
    this->o1 = o1.Oid(), this->o2 = o2.Oid(), this->p1 = p1.Oid();
    conn().Flush();

    // Per-supplier rows as the tests want them, whatever the load hooks made.
    Spoil("DELETE FROM DettagliPrezziFornitori");
    for (auto [article, supplier, price] :
         {std::tuple{a, v, "4.00"}, {a, n, "4.20"}, {b, v, "3.30"}}) {
      auto data = conn().GetRow("Articoli", article)->AddListRow("DatiFornitori");
      Set(*data, {{"PrezzoAcquistoMedio", Amount(price)}});
      data->SetReferenceOid("Fornitore", supplier);
      supplierRows[std::to_string(article) + "/" + std::to_string(supplier)] = data->Oid();
    }
    conn().Flush();
  }

  void SpoilEverything() {
    Spoil(
        "UPDATE Articoli SET Quantità=999, QuantitàTotaleCarichi=999, QuantitàTotaleScarichi=999, "
        "ImportoTotaleForniture=9990000, ImportoTotaleOneri=9990000, ImportoTotaleVendite=9990000,"
        " QuantitàInOrdineClienti=999, QuantitàInOrdineFornitori=999, QuantitàFinale=999;"
        "UPDATE ArticoliLiberi SET Quantità=999, QuantitàTotaleCarichi=999, "
        "QuantitàTotaleScarichi=999, ImportoTotaleForniture=9990000, ImportoTotaleVendite=9990000,"
        " QuantitàInOrdineClienti=999, QuantitàInOrdineFornitori=999, QuantitàFinale=999;"
        "UPDATE DettagliPrezziFornitori SET QuantitàTotaleCarichi=999, ImportoTotale=9990000, "
        "ImportoTotaleOneri=9990000;"
        "UPDATE DettagliOrdiniClienti SET QuantitàScaricata=99;"
        "UPDATE DettagliOrdiniClientiLib SET QuantitàScaricata=99;"
        "UPDATE DettagliOrdiniFornitori SET QuantitàCaricata=99;"
        "UPDATE DettagliDDTFornitori SET QuantitàCaricata=99;"
        "UPDATE DettagliDDTClienti SET QuantitàScaricata=99;"
        "UPDATE OrdiniClienti SET Evaso=0; UPDATE OrdiniFornitori SET Evaso=1;"
        "UPDATE TrasportiBase SET Evaso=1;");
  }

  struct Expected {
    const char* table;
    int64_t oid;
    const char* field;
    double value;
  };
  void ExpectAll(const std::vector<Expected>& expected) {
    for (const Expected& e : expected)
      EXPECT_NEAR(Number(e.table, e.oid, e.field), e.value, 1e-9)
          << e.table << " " << e.oid << " " << e.field;
  }
  std::vector<Expected> ArticleA() const {
    return {
        {"Articoli", a, "QuantitàTotaleCarichi", 20},  // 15 loaded + 3 + 2 pending
        {"Articoli", a, "ImportoTotaleForniture", 100}, {"Articoli", a, "ImportoTotaleOneri", 7.5},
        {"Articoli", a, "QuantitàTotaleScarichi", 11},  // 8 sold + 3 sent, not invoiced
        {"Articoli", a, "ImportoTotaleVendite", 100},   {"Articoli", a, "Quantità", 9}};
  }

  int64_t v = 0, n = 0, a = 0, b = 0, c = 0, f = 0;
  int64_t t1 = 0, c1 = 0, o1 = 0, o2 = 0, p1 = 0;
  int64_t t1Row = 0, t2Row = 0, c1Row = 0, o1Row = 0, o2Row = 0, o2Free = 0, p1Row = 0;
  std::map<std::string, int64_t> supplierRows;
  StoppingUi ui;
};

TEST_F(QuantitiesTest, RebuildsEveryFigureFromTheMovements) {
  // A row read before the tool must show the new values after it.
  engine::Row before = *conn().GetRow("Articoli", a);
  ASSERT_EQ(before.Get("Quantità").ToDouble(), 999);

  EXPECT_EQ(RecalcQuantities(conn(), ui, data::TableSwitches{}), ToolOutcome::Completed);

  EXPECT_EQ(before.Get("Quantità").ToDouble(), 9);
  std::vector<Expected> expected = ArticleA();
  const std::vector<Expected> more = {
      {"Articoli", a, "QuantitàInOrdineClienti", 2},     // 7 ordered, 5 sent
      {"Articoli", a, "QuantitàInOrdineFornitori", 10},  // 20 ordered, 10 loaded
      {"Articoli", a, "QuantitàFinale", 17},             // 10 + (9 - 2)
      // Never moved: everything back to 0.
      {"Articoli", b, "Quantità", 0},
      {"Articoli", b, "QuantitàTotaleCarichi", 0},
      {"Articoli", b, "QuantitàTotaleScarichi", 0},
      {"Articoli", b, "ImportoTotaleForniture", 0},
      {"Articoli", b, "ImportoTotaleOneri", 0},
      {"Articoli", b, "ImportoTotaleVendite", 0},
      {"Articoli", b, "QuantitàInOrdineClienti", 0},
      {"Articoli", b, "QuantitàInOrdineFornitori", 0},
      {"Articoli", b, "QuantitàFinale", 0},
      {"Articoli", c, "QuantitàTotaleScarichi", 12},
      {"Articoli", c, "Quantità", -12},
      {"Articoli", c, "QuantitàInOrdineClienti", 0},  // 10 ordered, 10 drawn (not 12)
      {"Articoli", c, "QuantitàFinale", -12},
      // The free article, over the free rows.
      {"ArticoliLiberi", f, "QuantitàTotaleCarichi", 3},
      {"ArticoliLiberi", f, "ImportoTotaleForniture", 9},
      {"ArticoliLiberi", f, "QuantitàTotaleScarichi", 1},
      {"ArticoliLiberi", f, "ImportoTotaleVendite", 12.5},
      {"ArticoliLiberi", f, "Quantità", 2},
      {"ArticoliLiberi", f, "QuantitàInOrdineClienti", 1},
      {"ArticoliLiberi", f, "QuantitàFinale", 1},
      // Fulfilment counters, from scratch.
      {"DettagliOrdiniClienti", o1Row, "QuantitàScaricata", 10},
      {"DettagliOrdiniClienti", o2Row, "QuantitàScaricata", 5},
      {"DettagliOrdiniClientiLib", o2Free, "QuantitàScaricata", 1},
      {"DettagliOrdiniFornitori", p1Row, "QuantitàCaricata", 10},
      {"DettagliDDTFornitori", t1Row, "QuantitàCaricata", 5},
      {"DettagliDDTFornitori", t2Row, "QuantitàCaricata", 0},
      {"DettagliDDTClienti", c1Row, "QuantitàScaricata", 2},
  };
  expected.insert(expected.end(), more.begin(), more.end());
  ExpectAll(expected);
  EXPECT_TRUE(Yes("OrdiniClienti", o1, "Evaso"));
  EXPECT_FALSE(Yes("OrdiniClienti", o2, "Evaso"));
  EXPECT_FALSE(Yes("OrdiniFornitori", p1, "Evaso"));
  EXPECT_FALSE(Yes("TrasportiFornitori", t1, "Evaso"));
  EXPECT_FALSE(Yes("TrasportiClienti", c1, "Evaso"));

  // Per supplier: Verdi loaded 15 and has 3 pending; Neri only 2 pending, no amount, so its
  // average price stays; B's row has no movement at all.
  const auto row = [&](int64_t article, int64_t supplier) {
    return supplierRows.at(std::to_string(article) + "/" + std::to_string(supplier));
  };
  ExpectAll({{"DettagliPrezziFornitori", row(a, v), "QuantitàTotaleCarichi", 18},
             {"DettagliPrezziFornitori", row(a, v), "ImportoTotale", 100},
             {"DettagliPrezziFornitori", row(a, v), "ImportoTotaleOneri", 7.5},
             {"DettagliPrezziFornitori", row(a, v), "PrezzoAcquistoMedio", 5.5556},
             {"DettagliPrezziFornitori", row(a, n), "QuantitàTotaleCarichi", 2},
             {"DettagliPrezziFornitori", row(a, n), "ImportoTotale", 0},
             {"DettagliPrezziFornitori", row(a, n), "PrezzoAcquistoMedio", 4.2},
             {"DettagliPrezziFornitori", row(b, v), "QuantitàTotaleCarichi", 0},
             {"DettagliPrezziFornitori", row(b, v), "ImportoTotale", 0},
             {"DettagliPrezziFornitori", row(b, v), "ImportoTotaleOneri", 0},
             {"DettagliPrezziFornitori", row(b, v), "PrezzoAcquistoMedio", 3.3}});
  EXPECT_EQ(conn().Count("DettagliPrezziFornitori"), 3);  // no row made for anyone

  EXPECT_EQ(ui.log(), (std::vector<std::string>{
                          std::string("ASK ") + kQuantitiesQuestion + " -> Ok",
                          "PROGRESS FASE 1 di 5: Ricalcolo delle quantità evase negli Ordini "
                          "Clienti... 2",
                          "PROGRESS END",
                          "PROGRESS FASE 2 di 5: Ricalcolo delle quantità evase negli Ordini "
                          "Fornitori... 1",
                          "PROGRESS END",
                          "PROGRESS FASE 3 di 5: Ricalcolo delle quantità evase nei Trasporti "
                          "Fornitori... 2",
                          "PROGRESS END",
                          "PROGRESS FASE 4 di 5: Ricalcolo delle quantità evase nei Trasporti "
                          "Clienti... 1",
                          "PROGRESS END",
                          "PROGRESS FASE 5 di 5: Ricalcolo delle quantità negli Articoli "
                          "Magazzino... 3",
                          "PROGRESS END",
                          "PROGRESS FASE 5 di 5: Ricalcolo delle quantità negli Articoli "
                          "Liberi... 3",
                          "PROGRESS END",
                          "MSG OPERAZIONE COMPLETATA.",
                      }));
}

TEST_F(QuantitiesTest, WithoutOrdersTheOrderFiguresStayAsTheyAre) {
  data::TableSwitches switches;
  switches.Use_Ordini = false;
  ASSERT_EQ(RecalcQuantities(conn(), ui, switches), ToolOutcome::Completed);
  ExpectAll(ArticleA());
  ExpectAll({{"Articoli", a, "QuantitàInOrdineClienti", 999},
             {"Articoli", a, "QuantitàInOrdineFornitori", 999},
             {"Articoli", a, "QuantitàFinale", 999},
             {"ArticoliLiberi", f, "QuantitàFinale", 999},
             {"DettagliOrdiniClienti", o1Row, "QuantitàScaricata", 99},
             {"DettagliOrdiniFornitori", p1Row, "QuantitàCaricata", 99},
             // The transport documents are still rebuilt.
             {"DettagliDDTFornitori", t1Row, "QuantitàCaricata", 5}});
  EXPECT_FALSE(Yes("OrdiniClienti", o1, "Evaso"));
}

TEST_F(QuantitiesTest, WithoutFreeRowsOnlyTheArticleRowsCount) {
  // Order o2 of 2 = 7 of A drawn to 5 and 2 "Montaggio" drawn to 1: when free rows are ignored,
  // making A complete must make the order fulfilled.
  Spoil("UPDATE DettagliOrdiniClienti SET QuantitàOrdine=5 WHERE OID=" + std::to_string(o2Row));
  data::TableSwitches switches;
  switches.Use_NoMagazzino = false;
  ASSERT_EQ(RecalcQuantities(conn(), ui, switches), ToolOutcome::Completed);
  EXPECT_TRUE(Yes("OrdiniClienti", o2, "Evaso"));
  ExpectAll({{"DettagliOrdiniClientiLib", o2Free, "QuantitàScaricata", 99},
             {"ArticoliLiberi", f, "Quantità", 999}});
  for (const std::string& line : ui.log())
    EXPECT_EQ(line.find("Articoli Liberi"), std::string::npos);

  ASSERT_EQ(RecalcQuantities(conn(), ui, data::TableSwitches{}), ToolOutcome::Completed);
  EXPECT_FALSE(Yes("OrdiniClienti", o2, "Evaso"));  // the free row still waits for 1
}

TEST_F(QuantitiesTest, StopKeepsThePhasesDoneAndLeavesTheRest) {
  ui.stopAt = "FASE 3";
  EXPECT_EQ(RecalcQuantities(conn(), ui, data::TableSwitches{}), ToolOutcome::Stopped);
  ExpectAll({{"DettagliOrdiniClienti", o1Row, "QuantitàScaricata", 10},   // phase 1 done
             {"DettagliOrdiniFornitori", p1Row, "QuantitàCaricata", 10},  // phase 2 done
             {"DettagliDDTFornitori", t1Row, "QuantitàCaricata", 99},     // phase 3 stopped
             {"DettagliDDTClienti", c1Row, "QuantitàScaricata", 99},
             {"Articoli", a, "Quantità", 999}});
  EXPECT_TRUE(Yes("OrdiniClienti", o1, "Evaso"));
  EXPECT_EQ(ui.messages().size(), 1u);  // the question only: not completed

  // Stopped in the middle of the stock phase: the statements before the Stop stay written.
  StoppingUi later;
  later.stopAt = "FASE 5 di 5: Ricalcolo delle quantità negli Articoli Liberi";
  EXPECT_EQ(RecalcQuantities(conn(), later, data::TableSwitches{}), ToolOutcome::Stopped);
  ExpectAll(ArticleA());
  ExpectAll({{"ArticoliLiberi", f, "Quantità", 999}});
}

TEST_F(QuantitiesTest, CancelWritesNothing) {
  ui.QueueAnswer(engine::Answer::Cancel);
  EXPECT_EQ(RecalcQuantities(conn(), ui, data::TableSwitches{}), ToolOutcome::Cancelled);
  ExpectAll({{"Articoli", a, "Quantità", 999},
             {"DettagliOrdiniClienti", o1Row, "QuantitàScaricata", 99}});
  EXPECT_EQ(ui.log().size(), 1u);
}

TEST_F(RecalcTest, SubjectTotalsComeFromPaymentsAndPurchases) {
  const int64_t rossi =
      Add("Clienti", {{"Codice", Text("R")}, {"RagioneSociale", Text("Rossi")}}).Oid();
  const int64_t bianchi =
      Add("Clienti", {{"Codice", Text("B")}, {"RagioneSociale", Text("Bianchi")}}).Oid();
  const int64_t verdi =
      Add("Fornitori", {{"Codice", Text("V")}, {"RagioneSociale", Text("Verdi")}}).Oid();
  const int64_t neri =
      Add("Fornitori", {{"Codice", Text("N")}, {"RagioneSociale", Text("Neri")}}).Oid();
  for (const char* amount : {"120.00", "30.55", "-10.00"})
    Add("PagamentiCliente", {{"Importo", Amount(amount)}, {"Cliente", Ref(rossi)}});
  Add("AcquistoFornitori", {{"Importo", Amount("250.01")}, {"Fornitore", Ref(verdi)}});
  Add("AcquistoFornitori", {{"Importo", Amount("0.99")}, {"Fornitore", Ref(verdi)}});
  conn().Flush();
  Spoil("UPDATE Soggetti SET TotaleVenduto=12345, TotaleAcquistato=12345");

  engine::ScriptedUi ui;
  ASSERT_EQ(RecalcSubjectTotals(conn(), ui), ToolOutcome::Completed);
  EXPECT_EQ(conn().GetRow("Clienti", rossi)->Get("TotaleVenduto").ToMoney(),
            *Money::Parse("140.55"));
  EXPECT_EQ(conn().GetRow("Clienti", bianchi)->Get("TotaleVenduto").ToMoney(), Money());
  EXPECT_EQ(conn().GetRow("Fornitori", verdi)->Get("TotaleAcquistato").ToMoney(),
            *Money::Parse("251.00"));
  EXPECT_EQ(conn().GetRow("Fornitori", neri)->Get("TotaleAcquistato").ToMoney(), Money());
  // A customer's purchases total is not the customers' phase's business.
  EXPECT_EQ(conn().GetRow("Clienti", rossi)->Get("TotaleAcquistato").ToMoney(),
            Money::FromRaw(12345));
  EXPECT_EQ(ui.log(),
            (std::vector<std::string>{
                "ASK ATTENZIONE! - Questa operazione corregge le incongruenze nei totali delle "
                "schede Clienti/Fornitori in relazione alle movimentazioni effettuate...\n\n"
                "Continuare ? -> Ok",
                "PROGRESS FASE 1 di 2: Ricalcolo dei totali schede Clienti... 1", "PROGRESS END",
                "PROGRESS FASE 2 di 2: Ricalcolo dei totali schede Fornitori... 1", "PROGRESS END",
                "MSG OPERAZIONE COMPLETATA."}));

  Spoil("UPDATE Soggetti SET TotaleVenduto=12345, TotaleAcquistato=12345");
  StoppingUi stopping;
  stopping.stopAt = "FASE 2";
  ASSERT_EQ(RecalcSubjectTotals(conn(), stopping), ToolOutcome::Stopped);
  EXPECT_EQ(conn().GetRow("Clienti", rossi)->Get("TotaleVenduto").ToMoney(),
            *Money::Parse("140.55"));
  EXPECT_EQ(conn().GetRow("Fornitori", verdi)->Get("TotaleAcquistato").ToMoney(),
            Money::FromRaw(12345));
}

// Loads in and out of March 2024 for article A, rows the period aggregate must leave out, and
// articles the tool must not touch.
class PricesTest : public RecalcTest {
 protected:
  void SetUp() override {
    RecalcTest::SetUp();
    const Variant supplier = Variant::Long(static_cast<int32_t>(
        Add("Fornitori", {{"Codice", Text("V")}, {"RagioneSociale", Text("Verdi")}}).Oid()));
    artA = Add("Articoli", {{"Codice", Text("A")}, {"Descrizione", Text("Vite")}}).Oid();
    artB = Add("Articoli", {{"Codice", Text("B")}, {"Descrizione", Text("Dado")}}).Oid();
    artD = Add("Articoli", {{"Codice", Text("D")}, {"Descrizione", Text("Omaggio")}}).Oid();
    const engine::Row a = *conn().GetRow("Articoli", artA);
    const engine::Row d = *conn().GetRow("Articoli", artD);
    const auto load = [&](const char* date) {
      return Add("Forniture", {{"Data", Text(date)}, {"Fornitore", supplier}});
    };
    const auto row = [&](const engine::Row& doc, const engine::Row& article, double quantity,
                         const char* amount, const char* charges) {
      Line(doc, "Dettagli", article,
           {{"QuantitàCarico", Num(quantity)},
            {"Importo", Amount(amount)},
            {"ImportoParzialeOneri", Amount(charges)}});
    };
    row(load("2024-02-29"), a, 10, "100.00", "10.00");  // before the period
    const engine::Row first = load("2024-03-01");
    row(first, a, 10, "60.00", "5.00");              // 6.00 a unit, 0.50 of charges
    row(first, a, 0, "10.00", "0");                  // no quantity: left out
    row(load("2024-03-31"), a, 3, "40.00", "2.50");  // 13.3333..., 0.8333...: last day counts
    const engine::Row gift = load("2024-03-15");
    row(gift, a, 3, "0", "0");  // no amount: left out
    row(gift, d, 2, "0", "0");
    row(load("2024-04-01"), a, 1, "999.00", "0");  // after the period
    Spoil(
        "UPDATE Articoli SET PrezzoAcquisto=12300, PrezzoAcquistoMedio=12300, "
        "CostoOneriUnitario=12300");
  }
  ToolOutcome RunMarch(engine::UiServices& ui) {
    return RecalcPurchasePrices(conn(), ui, *DateTime::FromParts(2024, 3, 1),
                                *DateTime::FromParts(2024, 3, 31));
  }
  Money Price(int64_t article, const char* field) {
    return conn().GetRow("Articoli", article)->Get(field).ToMoney();
  }

  int64_t artA = 0, artB = 0, artD = 0;
};

TEST_F(PricesTest, AveragesOfThePeriodBecomeThePurchasePrices) {
  engine::ScriptedUi ui;
  ASSERT_EQ(RunMarch(ui), ToolOutcome::Completed);
  // (6.00 + 13.3333...) / 2 and (0.50 + 0.8333...) / 2, as currency amounts.
  EXPECT_EQ(Price(artA, "PrezzoAcquisto"), *Money::Parse("9.6667"));
  EXPECT_EQ(Price(artA, "PrezzoAcquistoMedio"), *Money::Parse("9.6667"));
  EXPECT_EQ(Price(artA, "CostoOneriUnitario"), *Money::Parse("0.6667"));
  for (int64_t untouched : {artB, artD})
    for (const char* field : {"PrezzoAcquisto", "PrezzoAcquistoMedio", "CostoOneriUnitario"})
      EXPECT_EQ(Price(untouched, field), *Money::Parse("1.23")) << untouched << " " << field;
  EXPECT_EQ(ui.log(),
            (std::vector<std::string>{
                "ASK ATTENZIONE! - Questa operazione aggiorna i Prezzi di Acquisto, i "
                "Costi relativi agli Oneri e i Prezzi di Vendita per tutti gli articoli "
                "movimentati nelle forniture del periodo indicato...\n\nCONTINUARE ? -> Ok",
                "PROGRESS Ricalcolo Prezzi da Forniture... 1", "PROGRESS END",
                "MSG OPERAZIONE COMPLETATA."}));
}

TEST_F(PricesTest, CancelWritesNothing) {
  engine::ScriptedUi ui;
  ui.QueueAnswer(engine::Answer::Cancel);
  ASSERT_EQ(RunMarch(ui), ToolOutcome::Cancelled);
  EXPECT_EQ(Price(artA, "PrezzoAcquisto"), *Money::Parse("1.23"));
}

// Depends on the price rules of the article table: the sale price is not written by the tools
// themselves but by the hooks of "PrezzoAcquisto", "PrezzoAcquistoMedio", "CostoOneriUnitario"
// and "PercentualeRicarico".
TEST_F(PricesTest, PriceRulesFollow_SalePriceAfterBothPriceTools) {
  Spoil("UPDATE Articoli SET PercentualeRicarico=50, PrezzoVendita=0");
  engine::ScriptedUi ui;
  ASSERT_EQ(RunMarch(ui), ToolOutcome::Completed);
  const calc::ArticleCosts costs{*Money::Parse("9.6667"), *Money::Parse("9.6667"),
                                 *Money::Parse("0.6667")};
  const core::Configuration config;
  EXPECT_NEAR(Price(artA, "PrezzoVendita").ToDouble(),
              calc::CalcSalePriceFromMarkup(costs, 50, config), 1e-9);
  Spoil("UPDATE Listini SET PercentualeRicaricoPredefinito=20");
  ASSERT_EQ(ResetBaseMarkup(conn(), ui), ToolOutcome::Completed);
  EXPECT_NEAR(Price(artA, "PrezzoVendita").ToDouble(),
              calc::CalcSalePriceFromMarkup(costs, 20, config), 1e-9);
}

class MarkupTest : public RecalcTest {
 protected:
  void SetUp() override {
    RecalcTest::SetUp();
    for (const char* code : {"A", "B", "C"})
      articles.push_back(
          Add("Articoli", {{"Codice", Text(code)}, {"Descrizione", Text(code)}}).Oid());
    Spoil(
        "UPDATE Articoli SET PercentualeRicarico=30;"
        "UPDATE Listini SET PercentualeRicaricoPredefinito=12.5 WHERE Descrizione='< BASE >'");
  }
  std::vector<double> Markups() {
    std::vector<double> out;
    for (int64_t a : articles) out.push_back(Number("Articoli", a, "PercentualeRicarico"));
    return out;
  }
  std::vector<int64_t> articles;
};

constexpr const char* kMarkupInformation =
    "ASK Questa funzione aggiorna i Prezzi di Vendita predefiniti di tutti gli articoli "
    "aggiornando il ricarico predefinito configurato nel Listino di BASE...\n\nContinuare ? -> ";

TEST_F(MarkupTest, EveryArticleTakesTheBaseListMarkup) {
  engine::ScriptedUi ui;
  ASSERT_EQ(ResetBaseMarkup(conn(), ui), ToolOutcome::Completed);
  EXPECT_EQ(Markups(), (std::vector<double>{12.5, 12.5, 12.5}));
  EXPECT_EQ(ui.log(),
            (std::vector<std::string>{
                std::string(kMarkupInformation) + "Ok",
                "ASK Impostare il Ricarico di base < 12,5 > in tutti gli articoli ? -> Yes",
                "PROGRESS Impostazione Ricarico di Base e Ricalcolo Prezzi di Vendita "
                "predefiniti... 3",
                "PROGRESS END", "MSG OPERAZIONE COMPLETATA."}));
}

TEST_F(MarkupTest, NoOrStopOrNoBaseList) {
  engine::ScriptedUi no;
  no.QueueAnswer(engine::Answer::Ok);
  no.QueueAnswer(engine::Answer::No);
  EXPECT_EQ(ResetBaseMarkup(conn(), no), ToolOutcome::Cancelled);
  EXPECT_EQ(Markups(), (std::vector<double>{30, 30, 30}));

  engine::ScriptedUi stop;
  stop.StopProgressAt(2);
  EXPECT_EQ(ResetBaseMarkup(conn(), stop), ToolOutcome::Stopped);
  EXPECT_EQ(Markups(), (std::vector<double>{12.5, 30, 30}));
  EXPECT_EQ(stop.messages().back(),
            "Impostare il Ricarico di base < 12,5 > in tutti gli articoli ?");

  Spoil("DELETE FROM Listini");
  engine::ScriptedUi missing;
  EXPECT_EQ(ResetBaseMarkup(conn(), missing), ToolOutcome::Cancelled);
  EXPECT_EQ(missing.log(), (std::vector<std::string>{std::string(kMarkupInformation) + "Ok",
                                                     "MSG Il listino di base non è stato "
                                                     "identificato!"}));
  EXPECT_EQ(Markups(), (std::vector<double>{12.5, 30, 30}));
}

}  // namespace
}  // namespace tillbook::mainwindow
