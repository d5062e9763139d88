#include "data/TrasportiBase.h"

#include "data/shapes_documents.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void TrasportiBase::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Caption = "D.D.T. / Bolle";
  d.Version = 3.9;
  d.FieldOrder =
      "Data,AnnoRiferimento,Numero,TipoTrasporto,ImportoTotale,ImportoTotaleIVA,"
      "ImportoSpeseTrasporto,ImportoSpeseImballaggio,ImportoSpeseBancarie,"
      "ImportoSpeseAssicurative,ImportoSpeseBolli,ImportoTotaleOneri,Causale,AMezzo,Vettore,"
      "SecondoVettore,TipoPorto,NumeroColli,AspettoBeni,PesoComplessivo,Riferimento,"
      "DataEvasione,Evaso,DataSpedizione,Spedito";
}

void TrasportiBase::itfDefTable_DefineStructure(engine::TableDef& d) {
  AddDocumentNumbering(d);
  AddDocumentTotals(d, "Importi", "Importo totale dell'operazione (IVA esclusa)", true);
  AddDocumentCharges(d);
  d.AddField("DataEvasione", FieldType::DateTime, 0, "", "", kNotSet, kNotSet, kNotSet, false,
             "Data / Ora di chiusura o evasione", "", "Evasione");
  d.AddField("DataSpedizione", FieldType::DateTime, 0, "", "", kNotSet, kNotSet, kNotSet, false,
             "Data / Ora della spedizione", "", "Evasione");
  d.AddField("IVAEsente", FieldType::YesNo, 0, "", "", 1, kNotSet, kNotSet, true, "", "",
             "Pagamento");
  d.AddField("NumeroColli", FieldType::Integer, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Numero dei colli complessivi", "", "Beni");
  d.AddField("PesoComplessivo", FieldType::Number, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Peso complessivo (espresso in Kg)", "", "Beni");
  d.AddField("Riferimento", FieldType::Text, 127, "", "", kNotSet, kNotSet, kNotSet, true, "", "",
             "Riferimenti");
  AddDocumentFiles(d);
  d.AddField("Evaso", FieldType::YesNo, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Segnala che le relativa Fattura / Ricevuta è stata completamente evasa (può essere "
             "anche multipla)",
             "", "Evasione");
  d.AddField("Spedito", FieldType::YesNo, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Segnala se la spedizione è stata effettuata", "", "Evasione");
  d.AddField("Note", FieldType::Memo, 0, "", "", kNotSet, kNotSet, kNotSet, true, "", "", "Note");
  AddDocumentArchived(d);

  d.AddReference("TipoTrasporto", "TipiTrasporto", false, false, "Abbreviazione", "Descrizione",
                 kNotSet, kNotSet, kNotSet, "", -2, true, "Riferimenti");
  d.AddReference("Causale", "Causali", false, false, "", "Descrizione", kNotSet, kNotSet, kNotSet,
                 "", -2, true, "");
  d.AddReference("AMezzo", "TipiSoggettiTrasorto", false, false, "", "Descrizione", kNotSet,
                 kNotSet, kNotSet, "", -2, true, "Spedizione");
  d.AddReference("Vettore", "Vettori", false, false, "", "RagioneSociale", kNotSet, kNotSet,
                 kNotSet, "Vettore o primo vettore se ne sono previsti più di uno", -2, true,
                 "Spedizione");
  d.AddReference("SecondoVettore", "Vettori", false, false, "", "RagioneSociale", kNotSet, kNotSet,
                 kNotSet, "Secondo vettore se previsto", -2, true, "Spedizione");
  d.AddReference("TipoPorto", "TipiPorto", false, false, "", "Descrizione", kNotSet, kNotSet,
                 kNotSet, "Identifica chi paga il trasporto", -2, true, "Spedizione");
  d.AddReference("AspettoBeni", "TipiAspettoBeni", false, false, "", "Descrizione", kNotSet,
                 kNotSet, kNotSet, "Aspetto esteriore dei beni", -2, true, "Beni");
  d.AddReference("TipoPagamento", "TipiPagamento", false, false, "Codice", "Descrizione", kNotSet,
                 kNotSet, kNotSet, "Tipo di pagamento previsto", -2, true, "Pagamento");
  d.AddReference("BancaDiAppoggio", "Banche", false, false, "Nome", "Agenzia", kNotSet, kNotSet,
                 kNotSet, "Banca di appoggio", -2, true, "Pagamento");
  AddDocumentOperator(d);

  // Customer and supplier documents share one numbering per transport type, year and archived
  // state, since both live in this table.
  d.AddIndex("Numero", true, "Inx_TrasportiClienti")
      .AddIndexReference("TipoTrasporto")
      .AddIndexField("AnnoRiferimento")
      .AddIndexField("Archiviato");
}

}  // namespace tillbook::data
