#include "data/DettagliVenditeLib.h"

#include "data/shapes_documents.h"
#include "engine/row.h"

namespace tillbook::data {

void DettagliVenditeLib::itfDefTable_DefineIdentity(engine::TableDef& d) {
  DeclareFreeRows(d, 1.7, "Dettagli Liberi Vendite");
}

void DettagliVenditeLib::itfDefTable_DefineStructure(engine::TableDef& d) {
  AddRowAmounts(d, {.side = RowSide::Customer,
                    .quantity = "QuantitàScarico",
                    .unitPriceDescription = kDiscountedPurchaseUnitPrice,
                    .listAmountDescription = kListAmount,
                    .amountDescription = kRowAmount,
                    .referenceDescription = kTransportReference});
  d.AddIndex("Riferimento", false);
}

}  // namespace tillbook::data
