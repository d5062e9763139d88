#include "data/Forniture.h"

#include "data/shapes_documents.h"
#include "engine/row.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void Forniture::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Caption = "Forniture (Carichi)";
  d.Version = 3.6;
  d.FieldOrder =
      "Fornitore,TipoDocumento,Documento,Data,Causale,Dettagli,DettagliLiberi,ImportoTotale,"
      "ImportoTotaleIVA,ImportoSpeseTrasporto,ImportoSpeseImballaggio,ImportoSpeseBancarie,"
      "ImportoSpeseAssicurative,ImportoSpeseBolli,ImportoTotaleOneri,DistribuisciCostoOneri,"
      "IVAEsente,Pagamento";
}

void Forniture::itfDefTable_DefineStructure(engine::TableDef& d) {
  d.AddField("Documento", FieldType::Text, 32, "", "", kNotSet, kNotSet, kNotSet, true,
             "Indica il documento relativo alla Fornitura (Fattura, Bolla, etc.)", "", "");
  d.AddField("Data", FieldType::Date, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Data relativa al documento", "", "");
  AddDocumentTotals(d, "Totali", "Importo totale della Fornitura", false);
  AddDocumentCharges(d);
  d.AddField("DistribuisciCostoOneri", FieldType::YesNo, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Distribuisce proporzionalmente gli oneri nei prezzi di vendita per rientrare nei "
             "costi",
             "", "Oneri");
  d.AddField("IVAEsente", FieldType::YesNo, 0, "", "", 1, kNotSet, kNotSet, true, "", "",
             "Operazione");
  d.AddField("Riferimento", FieldType::Text, 127, "", "", kNotSet, kNotSet, kNotSet, true, "", "",
             "Riferimenti");
  AddDocumentFiles(d);
  d.AddField("Note", FieldType::Text, 255, "", "", kNotSet, kNotSet, kNotSet, true, "", "", "Note");
  AddDocumentArchived(d);

  d.AddReference("Fornitore", "Fornitori", false, false, "Codice", "RagioneSociale", kNotSet,
                 kNotSet, kNotSet, "", -2, true, "");
  d.AddReference("TipoDocumento", "TipiDocumento", false, false, "", "Descrizione,Contabilizza",
                 kNotSet, kNotSet, kNotSet, "", -2, true, "");
  d.AddReference("Causale", "Causali", false, false, "", "Descrizione", kNotSet, kNotSet, kNotSet,
                 "", -2, true, "");
  d.AddReference("Pagamento", "AcquistoFornitori", false, true, "",
                 "Importo,Saldato,TipoPagamento,DataInserimento", kNotSet, kNotSet, kNotSet, "", -2,
                 false, "Pagamento");
  AddDocumentRowLists(d,
                      {"DettagliForniture", "Descrizione,QuantitàCarico,Importo,ImportoIVA",
                       "DettagliFornitureLib", "Descrizione,QuantitàCarico,Importo,ImportoIVA"},
                      switches().Use_NoMagazzino);
  AddDocumentOperator(d);

  d.AddIndex("Data", false);
  d.AddIndex("Documento", false);
  // A load is the supplier's own document: its number and date, once per supplier.
  d.AddIndex("Data", true, "Inx_Forniture")
      .AddIndexReference("Fornitore")
      .AddIndexField("Documento");
}

void Forniture::itfSetData_OnSelectReference(engine::Row&, std::string_view reference,
                                             std::string& filter) {
  filter = DocumentChoiceFilter(reference, DocumentScope::Load);
}

void Forniture::itfSetData_OnSelect(engine::SelectRequest& request) {
  if (request.sort.empty()) request.sort = "*,Documento,Fornitore";
}

}  // namespace tillbook::data
