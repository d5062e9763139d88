#include "data/Clienti.h"

#include "data/shapes_registries.h"
#include "engine/row.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void Clienti::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.BaseTable = "Soggetti";
  d.Version = 4.2;
}

void Clienti::itfDefTable_DefineStructure(engine::TableDef& d) {
  shapes::AddSubjectCode(d, "Codice del Cliente");
  d.AddField("PercentualeSconto", FieldType::Number, 0, "", "0.0", 1, kNotSet, 0, true,
             "Percentuale di sconto predefinita per il cliente");

  d.AddReference("ListinoPredefinito", "Listini", false, false, "", "Descrizione", kNotSet, kNotSet,
                 kNotSet, "Listino predefinito per la selezione dei prezzi di vendita");
  if (switches().Use_Agenti)
    d.AddReference("Agente", "Agenti", false, false, "Codice", "RagioneSociale", kNotSet, kNotSet,
                   kNotSet, "Agente incaricato per il Cliente");
  shapes::AddPaymentReferences(d);
  shapes::AddAttachedDocuments(d);

  d.FieldOrder = "Codice";
}

void Clienti::itfSetData_OnNewRow(engine::Row& row, engine::HookReply&) {
  SetSubjectDefaults(row, switches());
}

void Clienti::itfSetData_OnSelect(engine::SelectRequest& request) {
  if (request.sort.empty()) request.sort = "*,Codice,RagioneSociale";
}

}  // namespace tillbook::data
