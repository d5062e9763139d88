#include "data/OrdiniClienti.h"

#include "data/shapes_documents.h"
#include "engine/row.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void OrdiniClienti::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Caption = "Ordini / Preventivi / Proforma";
  d.Version = 2.7;
  d.FieldOrder =
      "Data,AnnoRiferimento,Numero,Cliente,Listino,Tipologia,DataFineValidità,Dettagli,"
      "DettagliLiberi,ImportoTotale,ImportoTotaleIVA,ImportoSpeseTrasporto,"
      "ImportoSpeseImballaggio,ImportoSpeseBancarie,ImportoSpeseAssicurative,ImportoSpeseBolli,"
      "ImportoTotaleOneri,Causale,TipoPagamento,BancaDiAppoggio,TipoPorto,Riferimento,"
      "Destinazione,IndirizzoDestinazione,CittàDestinazione,DocumentiRichiesti,VenditeAssociate,"
      "TrasportiAssociati,DataEvasione,Evaso";
}

void OrdiniClienti::itfDefTable_DefineStructure(engine::TableDef& d) {
  AddDocumentNumbering(d);
  d.AddField("Tipologia", FieldType::Integer, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Identifica la tipologia dell'operazione", "0|Ordine|1|Preventivo|2|Proforma", "");
  AddDocumentTotals(d, "Totali", "Importo totale dell'operazione (IVA esclusa)", true);
  AddDocumentCharges(d);
  d.AddField("Riferimento", FieldType::Text, 127, "", "", kNotSet, kNotSet, kNotSet, true, "", "",
             "Riferimenti");
  d.AddField("Destinazione", FieldType::Text, 64, "", "", kNotSet, kNotSet, kNotSet, true,
             "Ragione Sociale o Denominazione della destinazione se differente dalla Sede", "",
             "Destinazione");
  d.AddField("IndirizzoDestinazione", FieldType::Text, 127, "", "", kNotSet, kNotSet, kNotSet, true,
             "Indirizzo per la spedizione della merce", "", "Destinazione");
  AddDocumentFiles(d);
  d.AddField("DataEvasione", FieldType::DateTime, 0, "", "", kNotSet, kNotSet, kNotSet, false,
             "Data / Ora di chiusura o evasione", "", "Evasione");
  d.AddField("DataFineValidità", FieldType::Date, 0, "", "", kNotSet, kNotSet, kNotSet, false,
             "Data di fine validità", "", "");
  d.AddField("IVAEsente", FieldType::YesNo, 0, "", "", 1, kNotSet, kNotSet, true, "", "",
             "Operazione");
  d.AddField("Evaso", FieldType::YesNo, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Segnala che la richiesta è stata completamente evasa", "", "Evasione");
  d.AddField("Note", FieldType::Memo, 0, "", "", kNotSet, kNotSet, kNotSet, true, "", "", "Note");
  AddDocumentArchived(d);

  d.AddReference("Cliente", "Clienti", false, false, "Codice", "RagioneSociale", kNotSet, kNotSet,
                 kNotSet, "", -2, true, "");
  AddOrderTerms(d);
  AddDocumentRowLists(
      d,
      {"DettagliOrdiniClienti", "Descrizione,QuantitàOrdine,QuantitàScaricata,Importo,ImportoIVA",
       "DettagliOrdiniClientiLib", "Descrizione,QuantitàOrdine,Importo,ImportoIVA"},
      switches().Use_NoMagazzino);
  d.AddReference("Listino", "Listini", false, false, "",
                 "Descrizione,PercentualeRicaricoPredefinito", kNotSet, kNotSet, kNotSet,
                 "Listino usato per l'impostazione dei prezzi di vendita", -2, true, "Operazione");
  d.AddReference("CittàDestinazione", "Comuni", false, false, "", "Descrizione,CAP,Provincia",
                 kNotSet, kNotSet, kNotSet, "Città di destinazione della merce", -2, true,
                 "Destinazione");
  // Documents that fulfilled the order: linked, never owned.
  d.AddReference("VenditeAssociate", "Vendite", true, false, "Numero",
                 "TipoDocumento,ImportoTotale,Data", kNotSet, kNotSet, kNotSet,
                 "Fatture / Vendite associate a questa operazione", -1, true, "Evasione");
  d.AddReference("TrasportiAssociati", "TrasportiClienti", true, false, "Numero",
                 "TipoTrasporto,ImportoTotale,Data", kNotSet, kNotSet, kNotSet,
                 "Trasporti/Bolle associate a questa operazione", -1, true, "Evasione");
  AddDocumentOperator(d);

  // Orders are numbered per year only, whatever their kind.
  d.AddIndex("Numero", true, "Inx_OrdiniClienti")
      .AddIndexField("AnnoRiferimento")
      .AddIndexField("Archiviato");
}

void OrdiniClienti::itfSetData_OnSelectReference(engine::Row&, std::string_view reference,
                                                 std::string& filter) {
  filter = DocumentChoiceFilter(reference, DocumentScope::Other);
}

}  // namespace tillbook::data
