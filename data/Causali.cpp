#include "data/Causali.h"

#include "data/shapes_registries.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void Causali::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Version = 1.4;
}

void Causali::itfDefTable_DefineStructure(engine::TableDef& d) {
  shapes::AddUniqueDescription(d, 64);
  d.AddField("Reso", FieldType::YesNo, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Identifica un'operazione di reso o nota di credito");
  d.AddField("InConto", FieldType::YesNo, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Identifica un'operazione in conto vendita, riparazione etc.");
  d.AddField("Abilitato", FieldType::YesNo, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Indica se la causale può essere usata per le successive operazioni");
}

void Causali::itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection&, double,
                                              bool created) {
  if (!created) return;
  // The reasons an archive starts with are usable at once: a document offers only enabled
  // reasons.
  const Variant yes = Flag(true);
  const std::pair<std::string, Variant> on = {"Abilitato", yes};
  AddRows(table,
          {{{"Descrizione", Text("VENDITA")}, on},
           {{"Descrizione", Text("ACQUISTO")}, on},
           {{"Descrizione", Text("RESO")}, {"Reso", yes}, on},
           {{"Descrizione", Text("CONTO VISIONE")}, {"InConto", yes}, on},
           {{"Descrizione", Text("CONTO VENDITA")}, {"InConto", yes}, on},
           {{"Descrizione", Text("CONTO RIPARAZIONE")}, {"InConto", yes}, on},
           {{"Descrizione", Text("RESO / CONTO VISIONE")}, {"Reso", yes}, {"InConto", yes}, on},
           {{"Descrizione", Text("RESO / CONTO VENDITA")}, {"Reso", yes}, {"InConto", yes}, on},
           {{"Descrizione", Text("RESO / CONTO RIPARAZIONE")}, {"Reso", yes}, {"InConto", yes}, on},
           {{"Descrizione", Text("NOTA DI CREDITO")}, {"Reso", yes}, on}});
}

}  // namespace tillbook::data
