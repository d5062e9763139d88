#include "data/DettagliOrdiniFornitoriLib.h"

#include "data/shapes_documents.h"
#include "engine/row.h"

namespace tillbook::data {

void DettagliOrdiniFornitoriLib::itfDefTable_DefineIdentity(engine::TableDef& d) {
  DeclareFreeRows(d, 2.0, "Dettagli Liberi Ordini Fornitori");
}

void DettagliOrdiniFornitoriLib::itfDefTable_DefineStructure(engine::TableDef& d) {
  AddRowAmounts(
      d, {.side = RowSide::Supplier,
          .quantity = "QuantitàOrdine",
          .fulfilled = "QuantitàCaricata",
          .fulfilledDescription = kFulfilledQuantity,
          .unitPriceDescription = kDiscountedPurchaseUnitPrice,
          .listAmountDescription = kNetListAmount,
          .amountDescription = "Importo totale della riga (Prezzo Unitario * QuantitàOrdine)"});
}

void DettagliOrdiniFornitoriLib::itfSetData_OnNewRow(engine::Row& row, engine::HookReply&) {
  SetDocumentRowDefaults(row);
}

void DettagliOrdiniFornitoriLib::itfSetData_OnSetParent(engine::Row& child,
                                                        const engine::Row& parent) {
  TakeDocumentExemption(child, parent);
}

}  // namespace tillbook::data
