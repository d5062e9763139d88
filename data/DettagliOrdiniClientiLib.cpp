#include "data/DettagliOrdiniClientiLib.h"

#include "data/shapes_documents.h"
#include "engine/row.h"

namespace tillbook::data {

void DettagliOrdiniClientiLib::itfDefTable_DefineIdentity(engine::TableDef& d) {
  DeclareFreeRows(d, 1.8, "Dettagli Liberi Ordini Clienti");
}

void DettagliOrdiniClientiLib::itfDefTable_DefineStructure(engine::TableDef& d) {
  AddRowAmounts(
      d, {.side = RowSide::Customer,
          .quantity = "QuantitàOrdine",
          .fulfilled = "QuantitàScaricata",
          .fulfilledDescription = kFulfilledQuantity,
          .unitPriceDescription = kDiscountedPurchaseUnitPrice,
          .listAmountDescription = kListAmount,
          .amountDescription = "Importo totale della riga (Prezzo Unitario * QuantitàOrdine)"});
}

}  // namespace tillbook::data
