#include "data/DettagliDDTFornitoriLib.h"

#include "data/shapes_documents.h"
#include "engine/row.h"

namespace tillbook::data {

void DettagliDDTFornitoriLib::itfDefTable_DefineIdentity(engine::TableDef& d) {
  DeclareFreeRows(d, 1.8, "Dettagli Liberi Bolle/Trasporti Fornitori");
}

void DettagliDDTFornitoriLib::itfDefTable_DefineStructure(engine::TableDef& d) {
  AddRowAmounts(d, {.side = RowSide::Supplier,
                    .quantity = "QuantitàTrasporto",
                    .fulfilled = "QuantitàCaricata",
                    .unitPriceDescription = kSaleUnitPrice,
                    .listAmountDescription = kNetListAmount,
                    .amountDescription = kRowAmount,
                    .referenceDescription = kTransportReference});
}

}  // namespace tillbook::data
