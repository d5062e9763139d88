#include "data/AcquistoFornitori.h"

#include "data/shapes_payments.h"

namespace tillbook::data {

using engine::kNotSet;

void AcquistoFornitori::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Caption = "Acquisto dai Fornitori";
  d.Version = 2.8;
  d.FieldOrder =
      "Fornitore,TipoDocumento,Documento,DataDocumento,Importo,TipoPagamento,NumeroRate,"
      "DataDecorrenzaPagamento,Dettagli,Saldato,ImportoDaPagare,BancaDiRiferimento,Contabilizza,"
      "Movimento";
}

void AcquistoFornitori::itfDefTable_DefineStructure(engine::TableDef& d) {
  AddPaymentFields(d, "Data di inizio pagamento", false);

  d.AddReference("Fornitore", "Fornitori", false, false, "Codice", "RagioneSociale", kNotSet,
                 kNotSet, kNotSet, "", -2, true, "");
  d.AddReference("TipoPagamento", "TipiPagamento", false, false, "Codice", "Descrizione,Modalità",
                 kNotSet, kNotSet, kNotSet, "", -2, true, "");
  d.AddReference("TipoDocumento", "TipiDocumento", false, false, "", "Descrizione", kNotSet,
                 kNotSet, kNotSet, "", -2, true, "");
  d.AddReference("BancaDiRiferimento", "Banche", false, false, "",
                 "Nome,Agenzia,ABI,CAB,NumeroConto,CIN,CodiceSwift", kNotSet, kNotSet, kNotSet, "",
                 -2, true, "");
  d.AddReference("Dettagli", "DettagliAcquistoFornitori", true, true, "NumeroRata",
                 ",Tipo,Importo,DataScadenza,DataOperazione,Pagato,Modalità", kNotSet, kNotSet,
                 kNotSet, "", -2, true, "");
  AddCashBookMovement(d, "Movimento", "Movimento di Prima Nota relativo all'operazione");

  d.AddIndex("DataInserimento", false);
  d.AddIndex("DataDocumento", true, "InxAcqFornitori")
      .AddIndexField("Documento")
      .AddIndexField("DataInserimento")
      .AddIndexField("Importo")
      .AddIndexReference("Fornitore");
}

}  // namespace tillbook::data
