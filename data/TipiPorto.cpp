#include "data/TipiPorto.h"

#include "data/shapes_registries.h"

namespace tillbook::data {

using engine::FieldType;

void TipiPorto::itfDefTable_DefineIdentity(engine::TableDef&) {}

void TipiPorto::itfDefTable_DefineStructure(engine::TableDef& d) {
  shapes::AddUniqueDescription(d, 32);
  d.AddField("Note", FieldType::Text, 255);
}

void TipiPorto::itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection&, double,
                                                bool created) {
  if (created)
    AddRows(table, {{{"Descrizione", Text("")}},
                    {{"Descrizione", Text("Franco")}},
                    {{"Descrizione", Text("Assegnato")}}});
}

}  // namespace tillbook::data
