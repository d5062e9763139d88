#include "data/Attivita.h"

#include "data/shapes_registries.h"

namespace tillbook::data {

void Attività::itfDefTable_DefineIdentity(engine::TableDef&) {}

void Attività::itfDefTable_DefineStructure(engine::TableDef& d) {
  shapes::AddUniqueDescription(d, 32);
}

void Attività::itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection&, double,
                                               bool created) {
  if (created) AddRows(table, {{{"Descrizione", Text("")}}});
}

}  // namespace tillbook::data
