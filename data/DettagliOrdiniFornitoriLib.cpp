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

}  // namespace tillbook::data
