// The amounts and counters the document hooks keep: row amounts on both sides, header totals
// with charges and exemption, stock and totals of the articles, average purchase cost and
// charge spread of loads, per-supplier data, and the fulfilment of associated documents.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "data/DB.h"
#include "engine/connection.h"
#include "engine/database.h"
#include "engine/row.h"
#include "engine/ui_services.h"

namespace tillbook::data {
namespace {

using engine::Row;

class DocumentRulesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("tillbook-rules-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    connection_ = std::make_unique<engine::Connection>();
    connection_->Create((dir_ / "Tillbook.mdb").string());
    connection_->SetUi(&ui_);
    ui_.SetDefaultAnswer(engine::Answer::Yes);
    database_ = std::make_unique<engine::Database>(std::make_unique<DB>(TableSwitches{}), "T");
    database_->Attach(*connection_);
  }
  void TearDown() override {
    database_.reset();
    connection_.reset();
    std::filesystem::remove_all(dir_);
  }

  engine::Connection& conn() { return *connection_; }
  Row Add(const char* table, const engine::FieldValues& values) {
    auto row = conn().AddRow(table, values);
    EXPECT_TRUE(row.has_value()) << table;
    return *row;
  }
  Row Article(const char* code, const char* price = "0") {
    return Add("Articoli", {{"Codice", Text(code)}, {"PrezzoVendita", Amount(price)}});
  }
  Row Fetch(const Row& row) { return *conn().GetRow(row.TableName(), row.Oid()); }
  double Number(const Row& row, const char* field) { return Fetch(row).Get(field).ToDouble(); }
  std::string Text_(const Row& row, const char* field) { return Fetch(row).Get(field).ToText(); }
  // A document row for `article` with `values` written one by one, as a person types them.
  Row Line(Row& doc, const Row& article, const engine::FieldValues& values,
           const char* list = "Dettagli") {
    auto row = doc.AddListRowFrom(list, article);
    EXPECT_TRUE(row.has_value());
    for (const auto& [field, value] : values) EXPECT_TRUE(row->Set(field, value)) << field;
    return *row;
  }
  Row Supplier(const char* code) { return Add("Fornitori", {{"Codice", Text(code)}}); }
  Row LoadOf(const Row& supplier, const char* number) {
    return Add("Forniture", {{"Fornitore", Num(static_cast<double>(supplier.Oid()))},
                             {"Documento", Text(number)}});
  }

  std::filesystem::path dir_;
  engine::ScriptedUi ui_;
  std::unique_ptr<engine::Connection> connection_;
  std::unique_ptr<engine::Database> database_;
};

TEST_F(DocumentRulesTest, SaleRowAmountsVatAndFinalPrice) {
  Row article = Article("A1", "1.99");
  Row sale = Add("Vendite", {});
  Row row = Line(sale, article,
                 {{"QuantitàScarico", Num(3)},
                  {"PrezzoUnitario", Amount("1.99")},
                  {"PercentualeSconto", Num(10)}});
  // The discount applies to the unrounded gross: 5.97 less 10 % is 5.373, rounded 5.37.
  EXPECT_EQ(Text_(row, "ImportoListino"), "5.97");
  EXPECT_EQ(Text_(row, "Importo"), "5.37");
  EXPECT_EQ(Text_(row, "ImportoIVA"), "0");  // the article has no VAT code
  EXPECT_EQ(Text_(row, "ImportoFinale"), "5.37");
  EXPECT_EQ(Text_(row, "PrezzoUnitarioFinale"), "1.79");

  // A final price typed on a discounted row moves the discount and keeps the unit price.
  auto iva = conn().FindOids("CodiciIva", "Codice", Text("IVA20"));
  ASSERT_EQ(iva.size(), 1u);
  ASSERT_TRUE(row.SetReferenceOid("IVA", iva.front()));
  EXPECT_EQ(Text_(row, "ImportoIVA"), "1.074");
  ASSERT_TRUE(row.Set("PrezzoUnitarioFinale", Amount("1.80")));
  EXPECT_EQ(Text_(row, "PrezzoUnitario"), "1.99");
  EXPECT_NEAR(Number(row, "PercentualeSconto"), (1.99 - 1.5) * 100 / 1.99, 1e-9);
}

TEST_F(DocumentRulesTest, AnAmountOnARowWithoutQuantityGivesTheQuantity) {
  Row article = Article("A1");
  Row sale = Add("Vendite", {});
  Row row = Line(sale, article, {{"PrezzoUnitario", Amount("2.00")}, {"Importo", Amount("5.00")}});
  // A unit without decimals: 2.5 pieces round to even, 2, and the amount follows the quantity.
  EXPECT_EQ(Number(row, "QuantitàScarico"), 2);
  EXPECT_EQ(Text_(row, "Importo"), "4");
}

TEST_F(DocumentRulesTest, HeaderTotalsFollowRowsChargesAndExemption) {
  Row article = Article("A1");
  auto iva = conn().FindOids("CodiciIva", "Codice", Text("IVA20")).front();
  ASSERT_TRUE(article.SetReferenceOid("IVA", iva));
  Row sale = Add("Vendite", {});
  Row row = Line(sale, article, {{"QuantitàScarico", Num(2)}, {"PrezzoUnitario", Amount("10")}});
  EXPECT_EQ(Text_(sale, "ImportoTotale"), "20");
  EXPECT_EQ(Text_(sale, "ImportoTotaleIVA"), "4");

  ASSERT_TRUE(sale.Set("ImportoSpeseTrasporto", Amount("5")));
  ASSERT_TRUE(sale.Set("ImportoSpeseBolli", Amount("2")));
  EXPECT_EQ(Text_(sale, "ImportoTotaleOneri"), "7");
  EXPECT_EQ(Text_(sale, "ImportoTotale"), "27");
  EXPECT_EQ(Text_(sale, "ImportoTotaleIVA"), "5.4");

  // Exemption takes the VAT off the rows and the charges; clearing it gives both back.
  ASSERT_TRUE(sale.Set("IVAEsente", Flag(true)));
  EXPECT_EQ(Text_(row, "ImportoIVA"), "0");
  EXPECT_EQ(Text_(sale, "ImportoTotale"), "27");
  EXPECT_EQ(Text_(sale, "ImportoTotaleIVA"), "0");
  ASSERT_TRUE(sale.Set("IVAEsente", Flag(false)));
  EXPECT_EQ(Text_(row, "ImportoIVA"), "4");
  EXPECT_EQ(Text_(row, "Importo"), "20");
  EXPECT_EQ(Text_(sale, "ImportoTotaleIVA"), "5.4");

  ASSERT_TRUE(Fetch(row).Delete());
  EXPECT_EQ(Text_(sale, "ImportoTotale"), "7");
  EXPECT_EQ(Text_(sale, "ImportoTotaleIVA"), "1.4");
}

TEST_F(DocumentRulesTest, SalesMoveStockAndAPendingRowCountsOnlyOnceSaved) {
  Row article = Article("A1");
  Row sale = Add("Vendite", {});
  auto pending = sale.AddListRow("Dettagli", /*held=*/true);
  ASSERT_TRUE(pending.has_value());
  ASSERT_TRUE(pending->Set("Codice", Text("A1")));
  ASSERT_TRUE(pending->Set("PrezzoUnitario", Amount("3")));
  ASSERT_TRUE(pending->Set("QuantitàScarico", Num(4)));
  EXPECT_EQ(Number(article, "Quantità"), 0);
  EXPECT_EQ(Text_(sale, "ImportoTotale"), "0");
  pending->Discard();
  EXPECT_EQ(Number(article, "Quantità"), 0);

  auto held = sale.AddListRow("Dettagli", true);
  ASSERT_TRUE(held->Set("Codice", Text("A1")));
  ASSERT_TRUE(held->Set("PrezzoUnitario", Amount("3")));
  ASSERT_TRUE(held->Set("QuantitàScarico", Num(4)));
  ASSERT_TRUE(held->Save());
  EXPECT_EQ(Number(article, "Quantità"), -4);
  EXPECT_EQ(Number(article, "QuantitàTotaleScarichi"), 4);
  EXPECT_EQ(Text_(article, "ImportoTotaleVendite"), "12");
  EXPECT_EQ(Text_(sale, "ImportoTotale"), "12");

  ASSERT_TRUE(held->Set("QuantitàScarico", Num(1)));
  EXPECT_EQ(Number(article, "Quantità"), -1);
  EXPECT_EQ(Text_(article, "ImportoTotaleVendite"), "3");

  // The row moves to another article: the first gets back what it counted.
  Row other = Article("B2");
  ASSERT_TRUE(held->Set("Codice", Text("B2")));
  EXPECT_EQ(Number(article, "Quantità"), 0);
  EXPECT_EQ(Number(article, "QuantitàTotaleScarichi"), 0);
  EXPECT_EQ(Number(other, "Quantità"), -1);

  // Deleting the sale gives the stock back.
  ASSERT_TRUE(Fetch(sale).Delete());
  EXPECT_EQ(Number(other, "Quantità"), 0);
  EXPECT_EQ(Text_(other, "ImportoTotaleVendite"), "0");
}

TEST_F(DocumentRulesTest, LoadsKeepTheAverageCostAndThePerSupplierData) {
  Row article = Article("A1");
  Row verdi = Supplier("VERDI");
  Row first = LoadOf(verdi, "1");
  Line(first, article, {{"QuantitàCarico", Num(10)}, {"PrezzoListino", Amount("5")}});
  Row second = LoadOf(verdi, "2");
  Row row = Line(second, article, {{"QuantitàCarico", Num(10)}, {"PrezzoListino", Amount("7")}});
  // Stock 10 at 5.00 and a load of 10 at 7.00: 6.00; removing it again gives 5.00.
  EXPECT_EQ(Number(article, "Quantità"), 20);
  EXPECT_EQ(Text_(article, "PrezzoAcquistoMedio"), "6");
  EXPECT_EQ(Text_(article, "ImportoTotaleForniture"), "120");
  auto data = Fetch(article).List("DatiFornitori");
  ASSERT_EQ(data.size(), 1u);
  EXPECT_EQ(data[0].Get("QuantitàTotaleCarichi").ToDouble(), 20);
  EXPECT_EQ(data[0].Get("ImportoTotale").ToText(), "120");
  EXPECT_EQ(data[0].Get("PrezzoAcquisto").ToText(), "7");

  ASSERT_TRUE(Fetch(row).Delete());
  EXPECT_EQ(Number(article, "Quantità"), 10);
  EXPECT_EQ(Text_(article, "PrezzoAcquistoMedio"), "5");
  EXPECT_EQ(Fetch(article).List("DatiFornitori")[0].Get("ImportoTotale").ToText(), "50");

  // Another supplier on the first load takes its data along.
  Row neri = Supplier("NERI");
  ASSERT_TRUE(Fetch(first).SetReferenceOid("Fornitore", neri.Oid()));
  for (const Row& d : Fetch(article).List("DatiFornitori"))
    EXPECT_EQ(d.Get("QuantitàTotaleCarichi").ToDouble(),
              d.ReferenceOid("Fornitore") == neri.Oid() ? 10 : 0);
}

TEST_F(DocumentRulesTest, ANetPriceTypedOnALoadRowBecomesADiscount) {
  Row article = Article("A1");
  Row load = LoadOf(Supplier("S"), "1");
  Row row = Line(load, article, {{"QuantitàCarico", Num(2)}, {"PrezzoUnitario", Amount("4")}});
  EXPECT_EQ(Text_(row, "PrezzoListino"), "4");
  EXPECT_EQ(Number(row, "PercentualeSconto"), 0);
  ASSERT_TRUE(row.Set("PrezzoUnitario", Amount("3")));
  EXPECT_EQ(Number(row, "PercentualeSconto"), 25);
  EXPECT_EQ(Text_(row, "Importo"), "6");
}

TEST_F(DocumentRulesTest, AnArchivedLoadSpreadsItsChargesOverTheRows) {
  Row a = Article("A"), b = Article("B");
  Row load = LoadOf(Supplier("S"), "1");
  Row big = Line(load, a, {{"QuantitàCarico", Num(8)}, {"PrezzoListino", Amount("100")}});
  Row small = Line(load, b, {{"QuantitàCarico", Num(4)}, {"PrezzoListino", Amount("50")}});
  ASSERT_TRUE(load.Set("ImportoSpeseTrasporto", Amount("50")));
  ASSERT_TRUE(load.Set("DistribuisciCostoOneri", Flag(true)));
  ASSERT_TRUE(load.Save());
  EXPECT_EQ(Text_(small, "ImportoParzialeOneri"), "0");  // not archived yet
  ASSERT_TRUE(load.Set("Archiviato", Flag(true)));
  ASSERT_TRUE(load.Save());
  // Goods 1000.00 and charges 50.00: a row of 200.00 takes 10.000.
  EXPECT_EQ(Text_(small, "ImportoParzialeOneri"), "10");
  EXPECT_EQ(Text_(big, "ImportoParzialeOneri"), "40");
  EXPECT_EQ(Text_(b, "ImportoTotaleOneri"), "10");
  EXPECT_EQ(Text_(b, "CostoOneriUnitario"), "2.5");
  // Saved again unchanged, the charges are not spread twice.
  ASSERT_TRUE(load.Save());
  EXPECT_EQ(Text_(b, "ImportoTotaleOneri"), "10");
}

TEST_F(DocumentRulesTest, OrdersFollowTheirAssociatedSales) {
  Row article = Article("A1");
  Row order = Add("OrdiniClienti", {});
  Row line = Line(order, article, {{"QuantitàOrdine", Num(10)}});
  EXPECT_EQ(Number(article, "QuantitàInOrdineClienti"), 10);
  EXPECT_EQ(Number(article, "QuantitàFinale"), -10);
  Row s1 = Add("Vendite", {{"Numero", Int(1)}});
  Line(s1, article, {{"QuantitàScarico", Num(6)}});
  Row s2 = Add("Vendite", {{"Numero", Int(2)}});
  Line(s2, article, {{"QuantitàScarico", Num(6)}});

  ASSERT_TRUE(order.AddToList("VenditeAssociate", s1));
  EXPECT_EQ(Number(line, "QuantitàScaricata"), 6);
  EXPECT_FALSE(Fetch(order).Get("Evaso").ToBool());
  ASSERT_TRUE(order.AddToList("VenditeAssociate", s2));
  // 6 and 6 drawn from 10 stop at 10; what is left on order goes to 0.
  EXPECT_EQ(Number(line, "QuantitàScaricata"), 10);
  EXPECT_TRUE(Fetch(order).Get("Evaso").ToBool());
  EXPECT_EQ(Number(article, "QuantitàInOrdineClienti"), 0);
  EXPECT_EQ(Number(article, "QuantitàFinale"), -12);

  // Deleting a sale takes it out of the order: 10 - 6 = 4, open again.
  ASSERT_TRUE(Fetch(s1).Delete());
  EXPECT_EQ(Number(line, "QuantitàScaricata"), 4);
  EXPECT_FALSE(Fetch(order).Get("Evaso").ToBool());
  EXPECT_EQ(Fetch(order).ListCount("VenditeAssociate"), 1);
  EXPECT_EQ(Number(article, "QuantitàInOrdineClienti"), 6);
}

TEST_F(DocumentRulesTest, TransportDocumentsCountWhatIsNotInvoicedYet) {
  Row article = Article("A1");
  Row transport = Add("TrasportiClienti", {{"Numero", Int(1)}});
  Line(transport, article, {{"QuantitàTrasporto", Num(5)}});
  EXPECT_EQ(Number(article, "Quantità"), -5);
  EXPECT_EQ(Number(article, "QuantitàTotaleScarichi"), 5);

  // The invoice of 3 of them: the goods leave the stock once, not twice.
  Row sale = Add("Vendite", {{"Numero", Int(1)}});
  Line(sale, article, {{"QuantitàScarico", Num(3)}});
  ASSERT_TRUE(transport.AddToList("VenditeAssociate", sale));
  EXPECT_EQ(Number(article, "Quantità"), -5);
  EXPECT_EQ(Number(article, "QuantitàTotaleScarichi"), 5);
  ASSERT_TRUE(transport.RemoveFromList("VenditeAssociate", sale));
  EXPECT_EQ(Number(article, "Quantità"), -8);
}

}  // namespace
}  // namespace tillbook::data
