#include "data/Vendite.h"

#include "data/shapes_documents.h"
#include "engine/row.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void Vendite::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Caption = "Vendite / Fatture";
  d.Version = 3.4;
  d.FieldOrder =
      "Cliente,TipoDocumento,Data,AnnoRiferimento,Numero,Listino,Causale,Dettagli,DettagliLiberi,"
      "ImportoTotale,ImportoTotaleIVA,ImportoRitenute,ImportoSpeseTrasporto,"
      "ImportoSpeseImballaggio,ImportoSpeseBancarie,ImportoSpeseAssicurative,ImportoSpeseBolli,"
      "ImportoTotaleOneri,IVAEsente,Pagamento";
}

void Vendite::itfDefTable_DefineStructure(engine::TableDef& d) {
  AddDocumentNumbering(d);
  AddDocumentTotals(d, "Totali", "Importo totale dell'operazione (IVA esclusa)", true);
  d.AddField("ImportoRitenute", FieldType::Money, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Importo relativo ad eventuale Ritenute (acconto trattenuto dall'azienda per impresa "
             "individuale)",
             "", "Pagamento");
  AddDocumentCharges(d);
  d.AddField("Riferimento", FieldType::Text, 127, "", "", kNotSet, kNotSet, kNotSet, true, "", "",
             "Riferimenti");
  AddDocumentFiles(d);
  d.AddField("IVAEsente", FieldType::YesNo, 0, "", "", 1, kNotSet, kNotSet, true, "", "",
             "Operazione");
  d.AddField("BollaDoganale", FieldType::YesNo, 0, "", "", 1, kNotSet, kNotSet, true,
             "Indica che la bolla doganale è stata ricevuta (quando previsto)", "", "Riferimenti");
  AddDocumentArchived(d);
  d.AddField("Note", FieldType::Memo, 0, "", "", kNotSet, kNotSet, kNotSet, true, "", "", "Note");

  d.AddReference("Cliente", "Clienti", false, false, "Codice", "RagioneSociale", kNotSet, kNotSet,
                 kNotSet, "", -2, true, "");
  d.AddReference("TipoDocumento", "TipiDocumento", false, false, "", "Descrizione", kNotSet,
                 kNotSet, kNotSet, "", -2, true, "");
  d.AddReference("Causale", "Causali", false, false, "", "Descrizione", kNotSet, kNotSet, kNotSet,
                 "", -2, true, "");
  d.AddReference("Pagamento", "PagamentiCliente", false, true, "",
                 "Importo,Saldato,TipoPagamento,DataInserimento", kNotSet, kNotSet, kNotSet, "", -2,
                 false, "Pagamento");
  d.AddReference("Listino", "Listini", false, false, "", "Descrizione", kNotSet, kNotSet, kNotSet,
                 "Listino usato per l'impostazione dei prezzi di vendita", -2, true, "Operazione");
  AddDocumentRowLists(
      d,
      {"DettagliVendite", "Descrizione,QuantitàScarico,Importo,ImportoIVA,Riferimento",
       "DettagliVenditeLib", "Descrizione,QuantitàScarico,Importo,ImportoIVA,Riferimento"},
      switches().Use_NoMagazzino);
  AddDocumentOperator(d);

  // One progressive number per document type, year and archived state.
  d.AddIndex("Numero", true, "Inx_Vendite")
      .AddIndexReference("TipoDocumento")
      .AddIndexField("AnnoRiferimento")
      .AddIndexField("Archiviato");
}

void Vendite::itfSetData_OnSelectReference(engine::Row&, std::string_view reference,
                                           std::string& filter) {
  filter = DocumentChoiceFilter(reference, DocumentScope::Sale);
}

void Vendite::itfSetData_OnSelect(engine::SelectRequest& request) {
  if (request.sort.empty()) request.sort = "*,Numero,Cliente";
}

}  // namespace tillbook::data
