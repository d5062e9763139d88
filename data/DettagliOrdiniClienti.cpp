#include "data/DettagliOrdiniClienti.h"

#include "data/shapes_documents.h"
#include "engine/row.h"

namespace tillbook::data {

void DettagliOrdiniClienti::itfDefTable_DefineIdentity(engine::TableDef& d) {
  DeclareArticleRows(d, 1.4);
}

void DettagliOrdiniClienti::itfDefTable_DefineStructure(engine::TableDef& d) {
  AddRowAmounts(d, {.side = RowSide::Customer,
                    .quantity = "QuantitàOrdine",
                    .fulfilled = "QuantitàScaricata",
                    .fulfilledDescription = kFulfilledQuantity,
                    .unitPriceDescription = kSaleUnitPrice,
                    .listAmountDescription = kNetListAmount,
                    .amountDescription = kNetRowAmount});
}

}  // namespace tillbook::data
