#include "data/DettagliForniture.h"

#include "data/shapes_documents.h"
#include "engine/row.h"

namespace tillbook::data {

void DettagliForniture::itfDefTable_DefineIdentity(engine::TableDef& d) {
  DeclareArticleRows(d, 2.9);
}

void DettagliForniture::itfDefTable_DefineStructure(engine::TableDef& d) {
  AddRowAmounts(d, {.side = RowSide::Supplier,
                    .quantity = "QuantitàCarico",
                    .unitPriceDescription = kDiscountedPurchaseUnitPrice,
                    .listAmountDescription = kNetListAmount,
                    .amountDescription = kNetRowAmount,
                    .chargeShare = true,
                    .referenceDescription = kTransportReference});
}

}  // namespace tillbook::data
