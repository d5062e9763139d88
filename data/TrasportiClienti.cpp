#include "data/TrasportiClienti.h"

#include "data/shapes_documents.h"
#include "engine/row.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void TrasportiClienti::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Caption = "Trasporti/Bolle Clienti";
  d.BaseTable = "TrasportiBase";
  d.Version = 3.1;
  d.FieldOrder =
      "Cliente,Listino,Dettagli,DettagliLiberi,Destinazione,IndirizzoDestinazione,"
      "CittàDestinazione";
}

void TrasportiClienti::itfDefTable_DefineStructure(engine::TableDef& d) {
  d.AddField("Destinazione", FieldType::Text, 64, "", "", kNotSet, kNotSet, kNotSet, true,
             "Ragione Sociale o Denominazione della destinazione se differente dalla Sede", "",
             "Destinazione");
  d.AddField("IndirizzoDestinazione", FieldType::Text, 127, "", "", kNotSet, kNotSet, kNotSet, true,
             "Indirizzo per la spedizione della merce", "", "Destinazione");

  d.AddReference("Cliente", "Clienti", false, false, "Codice", "RagioneSociale", kNotSet, kNotSet,
                 kNotSet, "", -2, true, "");
  d.AddReference("Listino", "Listini", false, false, "",
                 "Descrizione,PercentualeRicaricoPredefinito", kNotSet, kNotSet, kNotSet,
                 "Listino usato per l'impostazione dei prezzi di vendita", -2, true, "Riferimenti");
  AddDocumentRowLists(d,
                      {"DettagliDDTClienti", "Descrizione,QuantitàTrasporto,Importo,ImportoIVA",
                       "DettagliDDTClientiLib", "Descrizione,QuantitàTrasporto,Importo,ImportoIVA"},
                      switches().Use_NoMagazzino);
  d.AddReference("CittàDestinazione", "Comuni", false, false, "", "Descrizione,CAP,Provincia",
                 kNotSet, kNotSet, kNotSet, "Città di destinazione della merce", -2, true,
                 "Destinazione");
  // The sales that invoiced this document: linked, never owned.
  d.AddReference("VenditeAssociate", "Vendite", true, false, "Numero",
                 "TipoDocumento,ImportoTotale,Data", kNotSet, kNotSet, kNotSet,
                 "Fatture / Vendite associate a questa operazione", -1, true, "Evasione");
}

void TrasportiClienti::itfSetData_OnSelectReference(engine::Row&, std::string_view reference,
                                                    std::string& filter) {
  filter = DocumentChoiceFilter(reference, DocumentScope::Other);
}

void TrasportiClienti::itfSetData_OnSelect(engine::SelectRequest& request) {
  if (request.sort.empty()) request.sort = "*,Numero,Cliente";
}

}  // namespace tillbook::data
