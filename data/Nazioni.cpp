#include "data/Nazioni.h"

#include "data/shapes_registries.h"

namespace tillbook::data {

void Nazioni::itfDefTable_DefineIdentity(engine::TableDef&) {}

void Nazioni::itfDefTable_DefineStructure(engine::TableDef& d) {
  shapes::AddUniqueDescription(d, 127, "Descrizione della Nazione");
}

void Nazioni::itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection&, double,
                                              bool created) {
  if (created) AddRows(table, {{{"Descrizione", Text("Italia")}}});
}

}  // namespace tillbook::data
