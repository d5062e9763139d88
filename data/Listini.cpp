#include "data/Listini.h"

#include "data/shapes_registries.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void Listini::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Version = 1.6;
}

void Listini::itfDefTable_DefineStructure(engine::TableDef& d) {
  shapes::AddUniqueDescription(d, 64, "Descrizione del Listino");
  d.AddField("PercentualeRicaricoPredefinito", FieldType::Number, 0, "", "", kNotSet, kNotSet,
             kNotSet, true, "Percentuale di ricarico predefinito");
  d.AddField("Note", FieldType::Text, 255);
}

void Listini::itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection&, double,
                                              bool created) {
  if (created)
    AddRows(table, {{{"Descrizione", Text("< BASE >")},
                     {"PercentualeRicaricoPredefinito", Num(0)},
                     {"Note", Text("LISTINO PREDEFINITO, LA PERCENTUALE DI RICARICO VIENE "
                                   "IMPOSTATA AUTOMATICAMENTE NEI NUOVI ARTICOLI")}}});
}

}  // namespace tillbook::data
