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

}  // namespace tillbook::data
