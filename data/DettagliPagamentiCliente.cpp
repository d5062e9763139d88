#include "data/DettagliPagamentiCliente.h"

#include "data/shapes_payments.h"

namespace tillbook::data {

void DettagliPagamentiCliente::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Version = 1.7;
}

void DettagliPagamentiCliente::itfDefTable_DefineStructure(engine::TableDef& d) {
  AddInstalmentFields(d, "Indica che il pagamento è stato effettuato (contabilizza se richiesto)",
                      true);
  AddCashBookMovement(d, "Movimento", "Movimento di Prima Nota relativo all'operazione");
  AddCashBookMovement(d, "MovimentoInsoluto",
                      "Movimento di Prima Nota relativo all'eventuale insoluto");

  d.AddIndex("DataInserimento", true, "Inx_PagamentoCliente").AddIndexField("Numero");
  d.AddIndex("NumeroRata", false);
  d.AddIndex("Note", false);
}

}  // namespace tillbook::data
