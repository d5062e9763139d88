#include "data/TipiSoggettiTrasorto.h"

#include "data/shapes_registries.h"

namespace tillbook::data {

void TipiSoggettiTrasorto::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Version = 1;
}

void TipiSoggettiTrasorto::itfDefTable_DefineStructure(engine::TableDef& d) {
  shapes::AddUniqueDescription(d, 32);
}

void TipiSoggettiTrasorto::itfSetData_OnUpdatedTableStruct(engine::Table& table,
                                                           engine::Connection&, double,
                                                           bool created) {
  if (created)
    AddRows(table, {{{"Descrizione", Text("")}},
                    {{"Descrizione", Text("DESTINATARIO")}},
                    {{"Descrizione", Text("MITTENTE")}},
                    {{"Descrizione", Text("VETTORE")}}});
}

}  // namespace tillbook::data
