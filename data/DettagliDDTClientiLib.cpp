#include "data/DettagliDDTClientiLib.h"

#include "data/shapes_documents.h"
#include "engine/row.h"

namespace tillbook::data {

void DettagliDDTClientiLib::itfDefTable_DefineIdentity(engine::TableDef& d) {
  DeclareFreeRows(d, 1.5, "Dettagli Liberi Trasporti/Bolle Clienti");
}

void DettagliDDTClientiLib::itfDefTable_DefineStructure(engine::TableDef& d) {
  AddRowAmounts(d, {.side = RowSide::Customer,
                    .quantity = "QuantitàTrasporto",
                    .fulfilled = "QuantitàScaricata",
                    .unitPriceDescription = kSaleUnitPrice,
                    .listAmountDescription = kListAmount,
                    .amountDescription = kRowAmount,
                    .referenceDescription = kOrderReference});
  d.AddIndex("Riferimento", false);
}

void DettagliDDTClientiLib::itfSetData_OnNewRow(engine::Row& row, engine::HookReply&) {
  SetDocumentRowDefaults(row);
}

void DettagliDDTClientiLib::itfSetData_OnSetParent(engine::Row& child, const engine::Row& parent) {
  TakeDocumentExemption(child, parent);
}

}  // namespace tillbook::data
