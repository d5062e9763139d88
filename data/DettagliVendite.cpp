#include "data/DettagliVendite.h"

#include "data/shapes_documents.h"
#include "engine/row.h"

namespace tillbook::data {

void DettagliVendite::itfDefTable_DefineIdentity(engine::TableDef& d) {
  DeclareArticleRows(d, 2.0);
}

void DettagliVendite::itfDefTable_DefineStructure(engine::TableDef& d) {
  AddRowAmounts(d, {.side = RowSide::Customer,
                    .quantity = "QuantitàScarico",
                    .quantityDescription = "Quantità di scarico dell'articolo",
                    .unitPriceDescription = kSaleUnitPrice,
                    .listAmountDescription = kListAmount,
                    .amountDescription = kRowAmount,
                    .finalAmountReadOnly = 1,
                    .referenceDescription = kTransportReference});
  d.AddIndex("Riferimento", false, "RigaRif");
}

void DettagliVendite::itfSetData_OnSelect(engine::SelectRequest& request) {
  if (request.sort.empty()) request.sort = "DettagliVendite.Riferimento,DettagliVendite.OID";
}

}  // namespace tillbook::data
