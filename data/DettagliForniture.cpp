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

void DettagliForniture::itfSetData_OnNewRow(engine::Row& row, engine::HookReply&) {
  SetDocumentRowDefaults(row);
}

void DettagliForniture::itfSetData_OnSetParent(engine::Row& child, const engine::Row& parent) {
  TakeDocumentExemption(child, parent);
}

}  // namespace tillbook::data
