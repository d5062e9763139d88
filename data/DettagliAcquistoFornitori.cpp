#include "data/DettagliAcquistoFornitori.h"

#include "data/shapes_payments.h"

namespace tillbook::data {

void DettagliAcquistoFornitori::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Version = 1.3;
}

void DettagliAcquistoFornitori::itfDefTable_DefineStructure(engine::TableDef& d) {
  AddInstalmentFields(d, "Indica che il pagamento è stato effettuato", false);
  AddCashBookMovement(d, "Movimento", "Movimento di Prima Nota relativo all'operazione");

  // Named like the customer side's index on purpose, not by a copying slip.
  d.AddIndex("DataInserimento", true, "Inx_PagamentoCliente").AddIndexField("Numero");
  d.AddIndex("NumeroRata", false);
}

}  // namespace tillbook::data
