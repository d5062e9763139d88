#include "data/OrdiniFornitori.h"

#include "data/shapes_documents.h"
#include "engine/row.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void OrdiniFornitori::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Caption = "Ordini (Fornitori)";
  d.Version = 2.3;
  d.FieldOrder =
      "Data,AnnoRiferimento,Numero,Fornitore,Dettagli,DettagliLiberi,ImportoTotale,"
      "ImportoTotaleIVA,ImportoSpeseTrasporto,ImportoSpeseImballaggio,ImportoSpeseBancarie,"
      "ImportoSpeseAssicurative,ImportoSpeseBolli,ImportoTotaleOneri,Causale,TipoPagamento,"
      "BancaDiAppoggio,TipoPorto,FornitureAssociate,DataEvasione,Evaso,Riferimento,"
      "DocumentiRichiesti";
}

void OrdiniFornitori::itfDefTable_DefineStructure(engine::TableDef& d) {
  AddDocumentNumbering(d);
  AddDocumentTotals(d, "Totali", "Importo totale dell'operazione", true);
  AddDocumentCharges(d);
  d.AddField("DataEvasione", FieldType::DateTime, 0, "", "", kNotSet, kNotSet, kNotSet, false,
             "Data / Ora di chiusura o evasione", "", "Evasione");
  d.AddField("Evaso", FieldType::YesNo, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Segnala che la richiesta è stata completamente evasa", "", "Evasione");
  d.AddField("IVAEsente", FieldType::YesNo, 0, "", "", 1, kNotSet, kNotSet, true, "", "",
             "Operazione");
  d.AddField("Riferimento", FieldType::Text, 127, "", "", kNotSet, kNotSet, kNotSet, true, "", "",
             "Riferimenti");
  AddDocumentFiles(d);
  d.AddField("Note", FieldType::Memo, 0, "", "", kNotSet, kNotSet, kNotSet, true, "", "", "Note");
  AddDocumentArchived(d);

  d.AddReference("Fornitore", "Fornitori", false, false, "Codice", "RagioneSociale", kNotSet,
                 kNotSet, kNotSet, "", -2, true, "");
  AddOrderTerms(d);
  AddDocumentRowLists(
      d,
      {"DettagliOrdiniFornitori", "Descrizione,QuantitàOrdine,QuantitàCaricata,Importo,ImportoIVA",
       "DettagliOrdiniFornitoriLib", "Descrizione,QuantitàOrdine,Importo,ImportoIVA"},
      switches().Use_NoMagazzino);
  // Documents that fulfilled the order: linked, never owned.
  d.AddReference("FornitureAssociate", "Forniture", true, false, "Documento",
                 "TipoDocumento,ImportoTotale,Data", kNotSet, kNotSet, kNotSet,
                 "Forniture associate a questa operazione", -1, true, "Evasione");
  d.AddReference("TrasportiAssociati", "TrasportiFornitori", true, false, "Numero",
                 "TipoTrasporto,ImportoTotale,Data", kNotSet, kNotSet, kNotSet,
                 "Trasporti/Bolle associate a questa operazione", -1, true, "Evasione");
  AddDocumentOperator(d);

  d.AddIndex("Numero", true, "Inx_OrdiniFornitori")
      .AddIndexField("AnnoRiferimento")
      .AddIndexField("Archiviato");
}

void OrdiniFornitori::itfSetData_OnSelectReference(engine::Row&, std::string_view reference,
                                                   std::string& filter) {
  filter = DocumentChoiceFilter(reference, DocumentScope::Other);
}

}  // namespace tillbook::data
