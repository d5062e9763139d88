// The operations reading the archive, on a new archive with the whole table list: what a
// document's price list offers an article row, the default VAT rate and the quick-code proposal.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "calc/archive_prices.h"
#include "calc/fulfilment.h"
#include "calc/quick_code.h"
#include "core/configuration.h"
#include "data/DB.h"
#include "data/TableClass.h"
#include "engine/connection.h"
#include "engine/database.h"
#include "engine/dataset.h"
#include "engine/row.h"

namespace tillbook::calc {
namespace {

using data::Int;
using data::Num;
using data::Text;

class ArchiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("tillbook-calc-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    connection_ = std::make_unique<engine::Connection>();
    connection_->Create((dir_ / "Tillbook.mdb").string());
    database_ = std::make_unique<engine::Database>(std::make_unique<data::DB>(), "Tillbook");
    database_->Attach(*connection_);
  }
  void TearDown() override {
    database_.reset();
    connection_.reset();
    std::filesystem::remove_all(dir_);
  }

  engine::Connection& conn() { return *connection_; }
  engine::Row Add(const char* table, const engine::FieldValues& values) {
    auto row = conn().AddRow(table, values);
    EXPECT_TRUE(row) << table;
    return *row;
  }
  engine::Row List(const char* description, double markup) {
    return Add("Listini", {{"Descrizione", Text(description)},
                           {"PercentualeRicaricoPredefinito", Num(markup)}});
  }
  // An article row of a new sale on `list` (none when nullopt).
  engine::Row SaleRow(const std::optional<engine::Row>& list, const engine::Row& article) {
    engine::Row sale =
        Add("Vendite", {{"Numero", Int(++saleNumber_)}, {"AnnoRiferimento", Int(2026)}});
    EXPECT_TRUE(sale.SetReference("Listino", list));
    auto row = sale.AddListRowFrom("Dettagli", article);
    EXPECT_TRUE(row);
    return *row;
  }

  std::filesystem::path dir_;
  std::unique_ptr<engine::Connection> connection_;
  std::unique_ptr<engine::Database> database_;
  int saleNumber_ = 0;
};

TEST_F(ArchiveTest, ListPriceSourcesComeFromTheDocumentListArticleAndSector) {
  const engine::Row wholesale = List("INGROSSO", 10);
  const engine::Row retail = List("DETTAGLIO", 30);
  const engine::Row other = List("PROMOZIONI", 5);
  auto baseIds = conn().FindOids("Listini", "Descrizione", Text("< BASE >"));
  const engine::Row base =
      baseIds.empty() ? List("< BASE >", 0) : *conn().GetRow("Listini", baseIds[0]);

  engine::Row sector =
      Add("Settori", {{"Codice", Text("FER")}, {"Descrizione", Text("FERRAMENTA")}});
  auto sectorLine = sector.AddListRow("ListiniPredefiniti");
  ASSERT_TRUE(sectorLine);
  ASSERT_TRUE(sectorLine->SetReference("Listino", wholesale));
  ASSERT_TRUE(sectorLine->Set("PercentualeRicarico", Num(50)));
  ASSERT_TRUE(sectorLine->Save());

  engine::Row article = Add("Articoli", {{"Codice", Text("A1")}, {"Descrizione", Text("Vite")}});
  ASSERT_TRUE(article.SetReference("Settore", sector));
  auto personal = article.AddListRow("ListiniPersonalizzati");
  ASSERT_TRUE(personal);
  ASSERT_TRUE(personal->SetReference("Listino", retail));
  ASSERT_TRUE(personal->Set("PrezzoVendita", Variant::Currency(*Money::Parse("9"))));
  ASSERT_TRUE(personal->Save());
  ASSERT_TRUE(article.Save());
  const Money personalPrice = personal->Get("PrezzoVendita").ToMoney();
  EXPECT_FALSE(personalPrice.IsZero());
  engine::Row loose = Add("Articoli", {{"Codice", Text("B2")}, {"Descrizione", Text("Chiodo")}});

  struct Case {
    const char* name;
    std::optional<engine::Row> list;
    const engine::Row* article;
    bool hasList, personal, isBase, hasSector;
    std::optional<double> sectorMarkup;
    double listMarkup;
  } cases[] = {
      {"no list", std::nullopt, &article, false, false, false, false, std::nullopt, 0},
      {"sector line of the list", wholesale, &article, true, false, false, true, 50.0, 10},
      {"personalised price", retail, &article, true, true, false, true, std::nullopt, 30},
      {"base list", base, &article, true, false, true, true, std::nullopt, 0},
      {"sector without a line for the list", other, &article, true, false, false, true,
       std::nullopt, 5},
      {"article without a sector", wholesale, &loose, true, false, false, false, std::nullopt, 10},
  };
  for (const Case& c : cases) {
    const engine::Row row = SaleRow(c.list, *c.article);
    const ListPriceSources s = ReadListPriceSources(row, "Vendite");
    EXPECT_EQ(s.hasList, c.hasList) << c.name;
    if (!c.hasList) continue;
    EXPECT_EQ(s.personalPrice.has_value(), c.personal) << c.name;
    if (c.personal) {
      EXPECT_EQ(*s.personalPrice, personalPrice) << c.name;
    }
    EXPECT_EQ(s.isBaseList, c.isBase) << c.name;
    EXPECT_EQ(s.hasSector, c.hasSector) << c.name;
    EXPECT_EQ(s.sectorMarkup, c.sectorMarkup) << c.name;
    EXPECT_DOUBLE_EQ(s.listDefaultMarkup, c.listMarkup) << c.name;
  }
  const core::Configuration config;
  EXPECT_DOUBLE_EQ(GetListPrice(SaleRow(retail, article), "Vendite", config),
                   personalPrice.ToDouble());
  EXPECT_DOUBLE_EQ(GetListPrice(SaleRow(std::nullopt, article), "Vendite", config), 0);
  EXPECT_DOUBLE_EQ(GetListPrice(SaleRow(wholesale, loose), "Vendite", config), 0);
  // A row read as belonging to another kind of document has no document, hence no list.
  EXPECT_FALSE(ReadListPriceSources(SaleRow(wholesale, article), "OrdiniClienti").hasList);
}

TEST_F(ArchiveTest, BaseListIsFoundByItsDescription) {
  List("ALFA", 10);
  List("ZETA", 20);
  const auto ids = conn().FindOids("Listini", "Descrizione", Text("< BASE >"));
  ASSERT_EQ(ids.size(), 1u);
  engine::DataSet found = FindBaseList(conn());
  ASSERT_FALSE(found.IsEOF());
  EXPECT_EQ(found.CurrentOid(), ids[0]);
  EXPECT_EQ(found.ColValue("Descrizione").ToText(), "< BASE >");
}

TEST_F(ArchiveTest, DefaultVatRateFollowsTheConfiguredCode) {
  core::Configuration config;
  config.Default_CodiceIVA = "ALIQ7";
  EXPECT_EQ(DefaultVatRate(conn(), config), std::nullopt);
  Add("CodiciIva",
      {{"Codice", Text("ALIQ7")}, {"Descrizione", Text("IVA al 7%")}, {"Percentuale", Num(7)}});
  EXPECT_EQ(DefaultVatRate(conn(), config), 7.0);
}

TEST_F(ArchiveTest, QuickCodeProposalOverTheArticles) {
  EXPECT_EQ(NextQuickCode(conn()), "");
  int n = 0;
  for (const char* code : {"9", "7", "10"})
    Add("Articoli", {{"Codice", Text("Q" + std::to_string(++n))},
                     {"Descrizione", Text("x")},
                     {"CodiceRapido", Text(code)}});
  EXPECT_EQ(NextQuickCode(conn()), "11");
  Add("Articoli",
      {{"Codice", Text("Q9")}, {"Descrizione", Text("x")}, {"CodiceRapido", Text("12X")}});
  EXPECT_EQ(NextQuickCode(conn()), "13X");
}

TEST_F(ArchiveTest, OrderCountersFollowTheSalesDrawingOnIt) {
  const FulfilmentLink& saleOnOrder = FulfilmentLinks()[2];
  ASSERT_EQ(saleOnOrder.drawn, "OrdiniClienti");
  ASSERT_EQ(saleOnOrder.drawing, "Vendite");
  engine::Row a = Add("Articoli", {{"Codice", Text("A1")}, {"Descrizione", Text("Vite")}});
  engine::Row b = Add("Articoli", {{"Codice", Text("B2")}, {"Descrizione", Text("Chiodo")}});
  engine::Row order = Add("OrdiniClienti", {{"Numero", Int(1)}, {"AnnoRiferimento", Int(2026)}});
  auto orderRow = [&](const engine::Row& article, double quantity) {
    auto row = order.AddListRowFrom("Dettagli", article);
    EXPECT_TRUE(row && row->Set("QuantitàOrdine", Num(quantity)) && row->Save());
  };
  orderRow(a, 10);
  orderRow(b, 5);
  auto freeRow = order.AddListRow("DettagliLiberi");
  ASSERT_TRUE(freeRow && freeRow->Set("Descrizione", Text("Montaggio")) &&
              freeRow->Set("QuantitàOrdine", Num(2)) && freeRow->Save());

  auto sale = [&](double quantityOfA, const char* freeText) {
    engine::Row s =
        Add("Vendite", {{"Numero", Int(++saleNumber_)}, {"AnnoRiferimento", Int(2026)}});
    auto row = s.AddListRowFrom("Dettagli", a);
    EXPECT_TRUE(row && row->Set("QuantitàScarico", Num(quantityOfA)) && row->Save());
    auto free = s.AddListRow("DettagliLiberi");
    EXPECT_TRUE(free && free->Set("Descrizione", Text(freeText)) &&
                free->Set("QuantitàScarico", Num(2)) && free->Save());
    return s;
  };
  auto counters = [&](const char* list) {
    std::vector<double> out;
    for (const engine::Row& r : order.List(list))
      out.push_back(r.Get("QuantitàScaricata").ToDouble());
    return out;
  };

  engine::Row first = sale(6, "MONTAGGIO");
  engine::Row second = sale(6, "Trasporto");
  EXPECT_FALSE(UpdateOrderFulfilment(order, first, saleOnOrder, false, false));
  EXPECT_EQ(counters("Dettagli"), (std::vector<double>{6, 0}));
  EXPECT_TRUE(UpdateOrderFulfilment(order, first, saleOnOrder, true, false));
  EXPECT_EQ(counters("DettagliLiberi"), (std::vector<double>{2}));
  // A second sale of 6 stops at the ordered 10; removing the first leaves 4.
  EXPECT_FALSE(UpdateOrderFulfilment(order, second, saleOnOrder, false, false));
  EXPECT_EQ(counters("Dettagli"), (std::vector<double>{10, 0}));
  EXPECT_FALSE(UpdateOrderFulfilment(order, first, saleOnOrder, false, true));
  EXPECT_EQ(counters("Dettagli"), (std::vector<double>{4, 0}));
  // The second sale's free row describes something else: the free counter stays.
  EXPECT_TRUE(UpdateOrderFulfilment(order, second, saleOnOrder, true, false));
  EXPECT_EQ(counters("DettagliLiberi"), (std::vector<double>{2}));
}

}  // namespace
}  // namespace tillbook::calc
