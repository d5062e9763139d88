#include "data/DettagliOrdiniFornitori.h"

#include "data/shapes_documents.h"
#include "engine/row.h"

namespace tillbook::data {

void DettagliOrdiniFornitori::itfDefTable_DefineIdentity(engine::TableDef& d) {
  DeclareArticleRows(d, 1.6);
}

void DettagliOrdiniFornitori::itfDefTable_DefineStructure(engine::TableDef& d) {
  AddRowAmounts(d, {.side = RowSide::Supplier,
                    .quantity = "QuantitàOrdine",
                    .fulfilled = "QuantitàCaricata",
                    .fulfilledDescription = kFulfilledQuantity,
                    .unitPriceDescription = kDiscountedPurchaseUnitPrice,
                    .listAmountDescription = kNetListAmount,
                    .amountDescription = kNetRowAmount});
}

}  // namespace tillbook::data
