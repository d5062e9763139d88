// The document and payment tables on a new archive with the whole table list: numbering
// uniqueness, the accompanying invoice as an extension of a sale, the order switch, and the rows
// and payment a sale owns.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "base/error.h"
#include "data/DB.h"
#include "engine/catalog.h"
#include "engine/connection.h"
#include "engine/database.h"

namespace tillbook::data {
namespace {

constexpr const char* kOrderTables[] = {
    "DettagliOrdiniClienti",   "DettagliOrdiniClientiLib",   "OrdiniClienti",
    "DettagliOrdiniFornitori", "DettagliOrdiniFornitoriLib", "OrdiniFornitori",
};

class DocumentsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("tillbook-documents-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    path_ = (dir_ / "Tillbook.mdb").string();
  }
  void TearDown() override {
    database_.reset();
    connection_.reset();
    std::filesystem::remove_all(dir_);
  }

  // Creates the archive (first call) or opens it again, defined with `switches`.
  void Define(TableSwitches switches = {}) {
    database_.reset();
    connection_ = std::make_unique<engine::Connection>();
    if (std::filesystem::exists(path_))
      connection_->Open(path_);
    else
      connection_->Create(path_);
    database_ = std::make_unique<engine::Database>(std::make_unique<DB>(switches), "Tillbook");
    database_->Attach(*connection_);
  }

  engine::Connection& conn() { return *connection_; }
  bool HasColumn(const char* table, const char* column) {
    return conn().Table(table).FindColumn(column).valid();
  }
  int64_t DocumentType(const char* description) {
    auto ids = conn().FindOids("TipiDocumento", "Descrizione", Text(description));
    EXPECT_EQ(ids.size(), 1u) << description;
    return ids.empty() ? 0 : ids.front();
  }
  engine::Row AddSale(const char* table, int number, int64_t type, int year, bool archived) {
    auto row = conn().AddRow(table, {{"Numero", Int(number)},
                                     {"TipoDocumento", Num(static_cast<double>(type))},
                                     {"AnnoRiferimento", Int(year)},
                                     {"Archiviato", Flag(archived)}});
    EXPECT_TRUE(row.has_value());
    return *row;
  }

  std::filesystem::path dir_;
  std::string path_;
  std::unique_ptr<engine::Connection> connection_;
  std::unique_ptr<engine::Database> database_;
};

TEST_F(DocumentsTest, SaleNumberIsUniquePerTypeYearAndArchivedState) {
  Define();
  const int64_t invoice = DocumentType("FATTURA");
  const int64_t receipt = DocumentType("SCONTRINO FISCALE");
  AddSale("Vendite", 7, invoice, 2026, false);

  struct Case {
    const char* name;
    int64_t type;
    int year;
    bool archived;
    bool accepted;
  } cases[] = {
      {"same number, type, year and state", invoice, 2026, false, false},
      {"archived copy of the same number", invoice, 2026, true, true},
      {"same number in another year", invoice, 2025, false, true},
      {"same number for another document type", receipt, 2026, false, true},
  };
  for (const auto& c : cases) {
    const int64_t before = conn().Count("Vendite");
    try {
      AddSale("Vendite", 7, c.type, c.year, c.archived);
      EXPECT_TRUE(c.accepted) << c.name;
    } catch (const Error& e) {
      EXPECT_FALSE(c.accepted) << c.name << ": " << e.message();
      EXPECT_NE(e.message().find("esiste già un elemento con gli stessi valori di Numero, "
                                 "TipoDocumento, AnnoRiferimento, Archiviato"),
                std::string::npos)
          << e.message();
      EXPECT_EQ(conn().Count("Vendite"), before) << c.name;  // nothing half-stored
    }
  }
  EXPECT_EQ(conn().Count("Vendite"), 4);
}

TEST_F(DocumentsTest, OtherDocumentsRefuseDuplicatesOnTheirOwnKeys) {
  Define();
  auto supplier = [&](const char* code) {
    auto row = conn().AddRow("Fornitori", {{"Codice", Text(code)}, {"RagioneSociale", Text(code)}});
    EXPECT_TRUE(row.has_value());
    return Num(static_cast<double>(row->Oid()));
  };
  auto transportType = [&](const char* description) {
    auto ids = conn().FindOids("TipiTrasporto", "Descrizione", Text(description));
    EXPECT_EQ(ids.size(), 1u) << description;
    return Num(ids.empty() ? 0.0 : static_cast<double>(ids.front()));
  };
  const Variant rossi = supplier("F-ROSSI"), bianchi = supplier("F-BIANCHI");
  const Variant ddt = transportType("Documento di Trasporto / Bolla");
  const Variant load = transportType("Carico da Fornitore (d.d.t.)");
  const engine::FieldValues order = {
      {"Numero", Int(4)}, {"AnnoRiferimento", Int(2026)}, {"Tipologia", Int(0)}};
  const engine::FieldValues supplierOrder = {{"Numero", Int(4)}, {"AnnoRiferimento", Int(2026)}};
  const engine::FieldValues delivery = {
      {"Documento", Text("B-77")}, {"Data", Text("2026-03-02")}, {"Fornitore", rossi}};
  const engine::FieldValues transport = {
      {"Numero", Int(9)}, {"AnnoRiferimento", Int(2026)}, {"TipoTrasporto", ddt}};
  const engine::FieldValues movement = {{"DataInserimento", Text("2026-03-02")},
                                        {"DataMovimento", Text("2026-03-02")},
                                        {"Tipo", Int(1)},
                                        {"Descrizione", Text("Incasso")},
                                        {"Soggetto", rossi}};
  auto with = [](engine::FieldValues values, const char* field, Variant value) {
    for (auto& [name, v] : values)
      if (name == field) v = value;
    return values;
  };

  struct Case {
    const char* name;
    const char* firstTable;
    engine::FieldValues first;
    const char* secondTable;
    engine::FieldValues second;
    bool accepted;
  } cases[] = {
      {"a quote takes the yearly number of an order", "OrdiniClienti", order, "OrdiniClienti",
       with(order, "Tipologia", Int(1)), false},
      {"customer and supplier orders are numbered apart", "OrdiniClienti", order, "OrdiniFornitori",
       supplierOrder, true},
      {"the same supplier document twice", "Forniture", delivery, "Forniture", delivery, false},
      {"the same document number from another supplier", "Forniture", delivery, "Forniture",
       with(delivery, "Fornitore", bianchi), true},
      {"customer and supplier transports share the numbering of a type", "TrasportiClienti",
       transport, "TrasportiFornitori", transport, false},
      {"another transport type starts its own numbering", "TrasportiClienti", transport,
       "TrasportiClienti", with(transport, "TipoTrasporto", load), true},
      {"the same cash-book movement twice", "PrimaNota", movement, "PrimaNota", movement, false},
      {"an exit with the same text and dates", "PrimaNota", movement, "PrimaNota",
       with(movement, "Tipo", Int(-1)), true},
  };
  for (const auto& c : cases) {
    auto first = conn().AddRow(c.firstTable, c.first);
    ASSERT_TRUE(first) << c.name;
    std::optional<engine::Row> second;
    try {
      second = conn().AddRow(c.secondTable, c.second);
    } catch (const Error& e) {
      EXPECT_NE(e.message().find("esiste già un elemento con gli stessi valori"), std::string::npos)
          << e.message();
    }
    EXPECT_EQ(second.has_value(), c.accepted) << c.name;
    // Each case starts from an archive without the previous case's documents.
    if (second) {
      ASSERT_TRUE(second->Delete()) << c.name;
    }
    ASSERT_TRUE(first->Delete()) << c.name;
  }
}

TEST_F(DocumentsTest, AccompanyingInvoiceIsASaleWithShippingData) {
  Define();
  const auto& sale = conn().Table("Vendite");
  const auto& accompanying = conn().Table("VenditeAccompagnatorie");
  for (const auto& column : sale.columnOrder)
    EXPECT_TRUE(accompanying.FindColumn(column).valid()) << column;
  for (const auto& ref : sale.references)
    EXPECT_NE(accompanying.FindReference(ref->def->name), nullptr) << ref->def->name;
  for (const char* own : {"Destinazione", "Spedito", "DataSpedizione", "NumeroColli",
                          "PesoComplessivo", "Vettore", "AspettoBeni", "CittàDestinazione"}) {
    EXPECT_TRUE(accompanying.FindColumn(own).valid()) << own;
    EXPECT_FALSE(sale.FindColumn(own).valid()) << own;
  }

  const int64_t invoice = DocumentType("FATTURA");
  auto shipped = AddSale("VenditeAccompagnatorie", 3, invoice, 2026, false);
  ASSERT_TRUE(shipped.Set("Note", Text("consegna al piano")));
  ASSERT_TRUE(shipped.Set("Destinazione", Text("Magazzino Nord")));
  auto asSale = shipped.As("Vendite");
  ASSERT_TRUE(asSale);
  EXPECT_EQ(asSale->Oid(), shipped.Oid());
  EXPECT_EQ(asSale->Get("Note").AsString(), "consegna al piano");
  EXPECT_EQ(asSale->Get("Numero").AsInteger(), 3);
  EXPECT_EQ(conn().Count("Vendite"), 1);

  // Both kinds draw on one numbering: a plain sale cannot take the accompanying invoice's number.
  EXPECT_THROW(AddSale("Vendite", 3, invoice, 2026, false), Error);
}

TEST_F(DocumentsTest, OrderSwitchAddsOrderTablesAndItemsAtTheNextDefinition) {
  TableSwitches noOrders;
  noOrders.Use_Ordini = false;
  Define(noOrders);
  for (const char* t : kOrderTables) {
    EXPECT_FALSE(conn().TableExists(t)) << t;
    EXPECT_EQ(conn().catalog().Find(t), nullptr) << t;
  }
  // Article rows copy the article's columns, so its order-only quantities stay out of them too.
  for (const char* rows : {"DettagliVendite", "DettagliForniture", "DettagliDDTClienti"})
    EXPECT_FALSE(HasColumn(rows, "QuantitàInOrdineClienti")) << rows;
  EXPECT_FALSE(HasColumn("DettagliVenditeLib", "QuantitàFinale"));
  const int64_t invoice = DocumentType("FATTURA");
  const int64_t saleId = AddSale("Vendite", 12, invoice, 2026, false).Oid();

  Define();  // the switch turned on
  for (const char* t : kOrderTables) EXPECT_TRUE(conn().TableExists(t)) << t;
  EXPECT_TRUE(HasColumn("DettagliVendite", "QuantitàInOrdineClienti"));
  EXPECT_TRUE(HasColumn("DettagliVenditeLib", "QuantitàFinale"));
  auto sale = conn().GetRow("Vendite", saleId);
  ASSERT_TRUE(sale);
  EXPECT_EQ(sale->Get("Numero").AsInteger(), 12);
  // A new order can point at the sale stored before orders existed.
  auto order = conn().AddRow("OrdiniClienti", {{"Numero", Int(1)}, {"AnnoRiferimento", Int(2026)}});
  ASSERT_TRUE(order);
  ASSERT_TRUE(order->AddToList("VenditeAssociate", *sale));
  EXPECT_EQ(order->List("VenditeAssociate").front().Oid(), saleId);
}

TEST_F(DocumentsTest, DeletingASaleDeletesEverythingItOwnsButNotTheArticle) {
  TableSwitches withFreeRows;
  withFreeRows.Use_NoMagazzino = true;
  Define(withFreeRows);
  auto article = conn().AddRow(
      "Articoli", {{"Codice", Text("PEN-01")}, {"Descrizione", Text("Penna a sfera")}});
  ASSERT_TRUE(article);
  auto sale = AddSale("Vendite", 1, DocumentType("FATTURA"), 2026, false);
  auto row = sale.AddListRowFrom("Dettagli", *article);
  ASSERT_TRUE(row);
  ASSERT_TRUE(row->Set("QuantitàScarico", Num(2)));
  EXPECT_EQ(row->Get("Descrizione").AsString(), "Penna a sfera");  // the article's copy
  auto freeRow = sale.AddListRow("DettagliLiberi");
  ASSERT_TRUE(freeRow);
  ASSERT_TRUE(freeRow->Set("Descrizione", Text("Confezione regalo")));
  auto payment = sale.NewReferencedRow("Pagamento");
  ASSERT_TRUE(payment);
  const int64_t paymentId = payment->Oid();
  auto instalment = payment->AddListRow("Dettagli");
  ASSERT_TRUE(instalment);
  ASSERT_TRUE(instalment->NewReferencedRow("Movimento"));
  ASSERT_EQ(conn().Count("PrimaNota"), 1);
  EXPECT_EQ(sale.ListCount("Dettagli"), 1);
  EXPECT_EQ(sale.ListCount("DettagliLiberi"), 1);

  ASSERT_TRUE(sale.Delete());
  EXPECT_EQ(conn().Count("DettagliVendite"), 0);
  EXPECT_EQ(conn().Count("DettagliVenditeLib"), 0);
  EXPECT_FALSE(conn().GetRow("PagamentiCliente", paymentId));
  EXPECT_EQ(conn().Count("DettagliPagamentiCliente"), 0);
  EXPECT_EQ(conn().Count("PrimaNota"), 0);  // the instalment's movement went with it
  EXPECT_TRUE(conn().GetRow("Articoli", article->Oid()));
}

TEST_F(DocumentsTest, FreeRowListsAreAlwaysDeclaredAndHiddenWithoutTheSwitch) {
  for (bool freeRows : {false, true}) {
    TableSwitches switches;
    switches.Use_NoMagazzino = freeRows;
    Define(switches);
    for (const char* header : {"Vendite", "VenditeAccompagnatorie", "Forniture", "OrdiniClienti",
                               "OrdiniFornitori", "TrasportiClienti", "TrasportiFornitori"}) {
      const auto* list = conn().Table(header).FindReference("DettagliLiberi");
      ASSERT_NE(list, nullptr) << header;
      EXPECT_EQ(list->def->a2, freeRows ? 0 : 15) << header;
    }
  }
}

}  // namespace
}  // namespace tillbook::data
