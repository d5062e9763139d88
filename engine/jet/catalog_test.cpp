#include "engine/jet/catalog.h"

#include <gtest/gtest.h>

#include "engine/jet/testing/shop_catalog.h"
#include "engine/jet/translator.h"

namespace tillbook::jet {
namespace {

using testing::ShopCatalog;

TEST(CatalogTest, StorageFollowsTheEngineLayout) {
  const Catalog& c = ShopCatalog();
  struct Case {
    const char* table;
    const char* column;
    const char* storage;
  } cases[] = {
      {"Clienti", "Codice", "Clienti"},
      {"Clienti", "RagioneSociale", "Soggetti"},
      {"Clienti", "OID_Città", "Soggetti"},
      {"Clienti", "OID_ListinoPredefinito", "Clienti"},
      {"Clienti", "OID", "Clienti"},
      {"clienti", "ragionesociale", "Soggetti"},
      {"VenditeAccompagnatorie", "Data", "Vendite"},
      {"VenditeAccompagnatorie", "OID_Cliente", "Vendite"},
      {"VenditeAccompagnatorie", "Spedito", "VenditeAccompagnatorie"},
      {"TrasportiClienti", "Numero", "TrasportiBase"},
      {"TrasportiClienti", "OID_Cliente", "TrasportiClienti"},
      // Rows that copy their base keep every column themselves.
      {"DettagliVendite", "Descrizione", "DettagliVendite"},
      {"DettagliVendite", "OID_IVA", "DettagliVendite"},
      {"DettagliVendite", "OID_Articoli", "DettagliVendite"},
      {"DettagliVendite", "QuantitàScarico", "DettagliVendite"},
  };
  for (const Case& k : cases) {
    EXPECT_EQ(c.StorageTable(k.table, k.column), k.storage) << k.table << "." << k.column;
  }
  EXPECT_EQ(c.OwnerColumn("Vendite", "Dettagli"), "OIDOwner_Vendite_Dettagli");
  EXPECT_EQ(c.ListTable("Articoli", "CodiciCorrelati"), "Lst_Articoli_CodiciCorrelati");
}

TEST(CatalogTest, InheritedNames) {
  const Catalog& c = ShopCatalog();
  const TableInfo* rows = c.FindTable("DettagliVendite");
  ASSERT_TRUE(rows);
  EXPECT_TRUE(FindField(c, *rows, "descrizione").field);
  EXPECT_TRUE(FindReference(c, *rows, "IVA").reference);
  // Copied rows do not carry the base row's lists.
  EXPECT_FALSE(FindReference(c, *rows, "DatiFornitori").reference);
  const TableInfo* customers = c.FindTable("Clienti");
  EXPECT_EQ(FindReference(c, *customers, "Città").declaredIn->name, "Soggetti");
  EXPECT_EQ(IdentityChain(c, *customers).size(), 2u);
  EXPECT_EQ(IdentityChain(c, *rows).size(), 1u);
  EXPECT_EQ(CopiedBase(c, *rows)->name, "Articoli");
  EXPECT_EQ(AllFields(c, *customers).front().field->name, "RagioneSociale");
}

TEST(CatalogTest, OwnersAreDerivedFromOwnedReferences) {
  const Catalog& c = ShopCatalog();
  auto rows = c.Owners("DettagliVendite");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].ownerTable, "Vendite");
  EXPECT_FALSE(rows[0].single);
  EXPECT_EQ(rows[0].ownerColumn, "OIDOwner_Vendite_Dettagli");
  auto payment = c.Owners("PagamentiCliente");
  ASSERT_EQ(payment.size(), 1u);
  EXPECT_TRUE(payment[0].single);
  EXPECT_EQ(c.Owners("Documenti").size(), 3u);
  EXPECT_EQ(c.Owners("PrimaNota").size(), 5u);
}

TEST(CatalogTest, TypeCodesArePinned) {
  struct Case {
    int code;
    LogicalType type;
  } cases[] = {
      {0, LogicalType::Text},     {2, LogicalType::Text},     {3, LogicalType::Text},
      {4, LogicalType::Text},     {5, LogicalType::Text},     {6, LogicalType::Text},
      {7, LogicalType::Text},     {8, LogicalType::Text},     {11, LogicalType::Integer},
      {12, LogicalType::Integer}, {14, LogicalType::Boolean}, {15, LogicalType::Number},
      {16, LogicalType::Number},  {17, LogicalType::Date},    {19, LogicalType::Date},
      {20, LogicalType::Money},
  };
  for (const Case& k : cases) EXPECT_EQ(TypeOfCode(k.code), k.type) << k.code;
}

}  // namespace
}  // namespace tillbook::jet
