#include "data/DettagliDDTFornitori.h"

#include "data/shapes_documents.h"
#include "engine/row.h"

namespace tillbook::data {

void DettagliDDTFornitori::itfDefTable_DefineIdentity(engine::TableDef& d) {
  DeclareArticleRows(d, 2.8, "Dettagli Bolle/Trasporti Fornitori");
}

void DettagliDDTFornitori::itfDefTable_DefineStructure(engine::TableDef& d) {
  AddRowAmounts(d, {.side = RowSide::Supplier,
                    .quantity = "QuantitàTrasporto",
                    .fulfilled = "QuantitàCaricata",
                    .unitPriceDescription = kSaleUnitPrice,
                    .listAmountDescription = kNetListAmount,
                    .amountDescription = kRowAmount,
                    .chargeShare = true,
                    .referenceDescription = kTransportReference});
}

}  // namespace tillbook::data
