#include "data/TipiAspettoBeni.h"

#include "data/shapes_registries.h"

namespace tillbook::data {

void TipiAspettoBeni::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Version = 1;
}

void TipiAspettoBeni::itfDefTable_DefineStructure(engine::TableDef& d) {
  shapes::AddUniqueDescription(d, 32);
}

void TipiAspettoBeni::itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection&,
                                                      double, bool created) {
  if (created)
    AddRows(table, {{{"Descrizione", Text("")}},
                    {{"Descrizione", Text("A VISTA")}},
                    {{"Descrizione", Text("BUSTE")}},
                    {{"Descrizione", Text("SCATOLE")}}});
}

}  // namespace tillbook::data
