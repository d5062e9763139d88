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

void DettagliVenditeLib::itfSetData_OnNewRow(engine::Row& row, engine::HookReply&) {
  SetDocumentRowDefaults(row);
}

void DettagliVenditeLib::itfSetData_OnSetParent(engine::Row& child, const engine::Row& parent) {
  TakeDocumentExemption(child, parent);
}

}  // namespace tillbook::data
