#include "data/Settori.h"

#include "data/shapes_registries.h"
#include "engine/row.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void Settori::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Version = 2.2;
}

void Settori::itfDefTable_DefineStructure(engine::TableDef& d) {
  d.AddField("Descrizione", FieldType::Text, 64);
  d.AddField("Codice", FieldType::Code, 16);

  d.AddReference("Reparto", "Reparti", false, false, "", "Descrizione,IVAPredefinita,CodiceCassa",
                 kNotSet, kNotSet, kNotSet, "Reparto nel quale è contenuto il settore");
  shapes::AddDefaultVat(d);
  d.AddReference("ListiniPredefiniti", "DettagliListinoSettori", true, true, "",
                 "Listino,PercentualeRicarico", kNotSet, kNotSet, kNotSet,
                 "Listini predefiniti per il settore, hanno precedenza rispetto a quelli del "
                 "reparto");

  // Sector names repeat across departments.
  d.AddIndex("Descrizione", true, "InxSettori").AddIndexReference("Reparto");
  d.AddIndex("Codice", false);
}

void Settori::itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection&, double,
                                              bool created) {
  if (created) AddRows(table, {{{"Descrizione", Text("")}}});
}

// A sector starts from its department's VAT code.
void Settori::itfSetData_OnUpdateReference(engine::Row& row, std::string_view reference,
                                           const engine::Row* referenced, engine::HookReply&) {
  if (reference == "Reparto" && referenced)
    row.SetReferenceOid("IVAPredefinita", referenced->ReferenceOid("IVAPredefinita"));
}

}  // namespace tillbook::data
