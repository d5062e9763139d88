#include "data/DettagliFornitureLib.h"

#include "data/shapes_documents.h"
#include "engine/row.h"

namespace tillbook::data {

void DettagliFornitureLib::itfDefTable_DefineIdentity(engine::TableDef& d) {
  DeclareFreeRows(d, 1.7, "Dettagli Liberi Forniture");
}

void DettagliFornitureLib::itfDefTable_DefineStructure(engine::TableDef& d) {
  AddRowAmounts(
      d, {.side = RowSide::Supplier,
          .quantity = "QuantitàCarico",
          .unitPriceDescription = kDiscountedPurchaseUnitPrice,
          .listAmountDescription = kNetListAmount,
          .amountDescription = "Importo totale della riga (Prezzo Unitario * QuantitàCarico)",
          .referenceDescription = kTransportReference});
}

}  // namespace tillbook::data
