#include "data/TrasportiFornitori.h"

#include "data/shapes_documents.h"
#include "engine/row.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void TrasportiFornitori::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Caption = "Trasporti/Bolle Fornitori";
  d.BaseTable = "TrasportiBase";
  d.Version = 3.4;
  d.FieldOrder =
      "Fornitore,Dettagli,DettagliLiberi,Provenienza,IndirizzoProvenienza,CittàProvenienza";
}

void TrasportiFornitori::itfDefTable_DefineStructure(engine::TableDef& d) {
  d.AddField("Documento", FieldType::Text, 32, "", "", kNotSet, kNotSet, kNotSet, true,
             "Indica il documento relativo al Fornitore (D.D.T., etc.)", "", "");
  d.AddField("Provenienza", FieldType::Text, 64, "", "", kNotSet, kNotSet, kNotSet, true,
             "Ragione Sociale o Denominazione della provenienza", "", "Provenienza");
  d.AddField("IndirizzoProvenienza", FieldType::Text, 127, "", "", kNotSet, kNotSet, kNotSet, true,
             "Indirizzo di provenienza della merce", "", "Provenienza");
  d.AddField("DistribuisciCostoOneri", FieldType::YesNo, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Distribuisce proporzionalmente gli oneri nei prezzi di vendita per rientrare nei "
             "costi",
             "", "Oneri");

  d.AddReference("Fornitore", "Fornitori", false, false, "Codice", "RagioneSociale", kNotSet,
                 kNotSet, kNotSet, "", -2, true, "");
  AddDocumentRowLists(
      d,
      {"DettagliDDTFornitori", "Descrizione,QuantitàTrasporto,Importo,ImportoIVA",
       "DettagliDDTFornitoriLib", "Descrizione,QuantitàTrasporto,Importo,ImportoIVA"},
      switches().Use_NoMagazzino);
  d.AddReference("CittàProvenienza", "Comuni", false, false, "", "Descrizione,CAP,Provincia",
                 kNotSet, kNotSet, kNotSet, "Città di provenienza della merce", -2, true,
                 "Provenienza");
  // The loads that took this document in: linked, never owned.
  d.AddReference("FornitureAssociate", "Forniture", true, false, "Documento",
                 "TipoDocumento,ImportoTotale,Data", kNotSet, kNotSet, kNotSet,
                 "Fatture / Vendite associate a questa operazione", -1, true, "Evasione");

  d.AddIndex("", false, "InxDDTFornitori")
      .AddIndexReference("Fornitore")
      .AddIndexField("Documento");
}

void TrasportiFornitori::itfSetData_OnSelectReference(engine::Row&, std::string_view reference,
                                                      std::string& filter) {
  filter = DocumentChoiceFilter(reference, DocumentScope::Other);
}

}  // namespace tillbook::data
