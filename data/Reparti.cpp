#include "data/Reparti.h"

#include "data/shapes_registries.h"
#include "engine/row.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void Reparti::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Version = 1.7;
}

void Reparti::itfDefTable_DefineStructure(engine::TableDef& d) {
  shapes::AddUniqueDescription(d, 32);
  d.AddField("CodiceCassa", FieldType::Integer, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Codice del reparto nel registratore di cassa");
  shapes::AddDefaultVat(d);
}

void Reparti::itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection&, double,
                                              bool created) {
  if (created) AddRows(table, {{{"Descrizione", Text("")}}});
}

// The register's department code follows the VAT code chosen for the department.
void Reparti::itfSetData_OnUpdateReference(engine::Row& row, std::string_view reference,
                                           const engine::Row* referenced, engine::HookReply&) {
  if (reference == "IVAPredefinita" && referenced)
    row.Set("CodiceCassa", referenced->Get("CodiceCassaPredefinito"));
}

}  // namespace tillbook::data
