#include "data/Fornitori.h"

#include "data/shapes_registries.h"
#include "engine/row.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void Fornitori::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Caption = "Fornitori";
  d.BaseTable = "Soggetti";
  d.Version = 4.3;
}

void Fornitori::itfDefTable_DefineStructure(engine::TableDef& d) {
  shapes::AddSubjectCode(d, "Codice del Fornitore");
  d.AddField("TempoConsegna", FieldType::Integer, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Tempo di consegna espresso in giorni");

  shapes::AddPaymentReferences(d);
  shapes::AddAttachedDocuments(d);

  d.FieldOrder = "Codice";
}

void Fornitori::itfSetData_OnNewRow(engine::Row& row, engine::HookReply&) {
  SetSubjectDefaults(row, switches());
  row.Set("TempoConsegna", Int(0));
}

void Fornitori::itfSetData_OnSelect(engine::SelectRequest& request) {
  if (request.sort.empty()) request.sort = "*,Codice,RagioneSociale";
}

}  // namespace tillbook::data
