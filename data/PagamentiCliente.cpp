#include "data/PagamentiCliente.h"

#include "data/shapes_payments.h"

namespace tillbook::data {

using engine::kNotSet;

void PagamentiCliente::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Caption = "Pagamenti del Cliente";
  d.Version = 2.8;
  d.FieldOrder =
      "Cliente,TipoDocumento,Documento,DataDocumento,Importo,TipoPagamento,NumeroRate,"
      "DataDecorrenzaPagamento,Dettagli,Saldato,ImportoDaPagare,BancaDiRiferimento,"
      "BancaPropriaRiBa,Contabilizza,Movimento";
}

void PagamentiCliente::itfDefTable_DefineStructure(engine::TableDef& d) {
  AddPaymentFields(d, "Data di decorrenza del pagamento", true);

  d.AddReference("Cliente", "Clienti", false, false, "Codice", "RagioneSociale", kNotSet, kNotSet,
                 kNotSet, "", -2, true, "");
  d.AddReference("TipoDocumento", "TipiDocumento", false, false, "", "Descrizione,Contabilizza",
                 kNotSet, kNotSet, kNotSet, "", -2, true, "");
  d.AddReference("TipoPagamento", "TipiPagamento", false, false, "Codice", "Descrizione,Modalità",
                 kNotSet, kNotSet, kNotSet, "", -2, true, "");
  d.AddReference("BancaDiRiferimento", "Banche", false, false, "",
                 "Nome,Agenzia,ABI,CAB,NumeroConto,CIN,CodiceSwift", kNotSet, kNotSet, kNotSet,
                 "Banca del Cliente", -2, true, "");
  d.AddReference("Dettagli", "DettagliPagamentiCliente", true, true, "NumeroRata",
                 ",Tipo,Importo,DataScadenza,DataOperazione,Pagato,DaVerificare,Insoluto,Modalità",
                 kNotSet, kNotSet, kNotSet, "", -2, true, "");
  AddCashBookMovement(d, "Movimento", "Movimento di Prima Nota relativo all'operazione");
  d.AddReference("BancaPropriaRiBa", "Banche", false, false, "",
                 "Nome,Agenzia,ABI,CAB,NumeroConto,CIN,CodiceSwift", kNotSet, kNotSet, kNotSet,
                 "Eventuale Banca Propria che gestisce le transazioni se si tratta di Ri.Ba.", -2,
                 false, "");

  d.AddIndex("DataInserimento", false);
  d.AddIndex("DataDocumento", true, "InxPagCliente")
      .AddIndexField("Documento")
      .AddIndexField("DataInserimento")
      .AddIndexField("Importo")
      .AddIndexReference("Cliente");
}

}  // namespace tillbook::data
