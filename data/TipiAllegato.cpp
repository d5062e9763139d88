#include "data/TipiAllegato.h"

#include "data/shapes_registries.h"

namespace tillbook::data {

using engine::FieldType;

void TipiAllegato::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Version = 1;
}

void TipiAllegato::itfDefTable_DefineStructure(engine::TableDef& d) {
  shapes::AddUniqueDescription(d, 32);
  d.AddField("Note", FieldType::Text, 255);
}

void TipiAllegato::itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection&,
                                                   double, bool created) {
  if (created)
    AddRows(table, {{{"Descrizione", Text("Dichiarazione di conformità C.E.")}},
                    {{"Descrizione", Text("Schede di sicurezza")}},
                    {{"Descrizione", Text("Manuali d'uso/manutenzione")}}});
}

}  // namespace tillbook::data
