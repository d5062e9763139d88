#include "data/ZoneGeografiche.h"

#include "data/shapes_registries.h"

namespace tillbook::data {

void ZoneGeografiche::itfDefTable_DefineIdentity(engine::TableDef&) {}

void ZoneGeografiche::itfDefTable_DefineStructure(engine::TableDef& d) {
  shapes::AddUniqueDescription(d, 32, "Descrizione della Zona Geografica");
}

void ZoneGeografiche::itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection&,
                                                      double, bool created) {
  if (created) AddRows(table, {{{"Descrizione", Text("")}}});
}

}  // namespace tillbook::data
