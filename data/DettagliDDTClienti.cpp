#include "data/DettagliDDTClienti.h"

#include "data/shapes_documents.h"
#include "engine/row.h"

namespace tillbook::data {

void DettagliDDTClienti::itfDefTable_DefineIdentity(engine::TableDef& d) {
  DeclareArticleRows(d, 2.5);
}

void DettagliDDTClienti::itfDefTable_DefineStructure(engine::TableDef& d) {
  AddRowAmounts(d, {.side = RowSide::Customer,
                    .quantity = "QuantitàTrasporto",
                    .fulfilled = "QuantitàScaricata",
                    .unitPriceDescription = kSaleUnitPrice,
                    .listAmountDescription = kNetListAmount,
                    .amountDescription = kNetRowAmount,
                    .referenceDescription = kOrderReference});
  d.AddIndex("Riferimento", false, "DettDDTRif");
}

}  // namespace tillbook::data
