#include "data/Valute.h"

#include "data/shapes_registries.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void Valute::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Version = 1.1;
}

void Valute::itfDefTable_DefineStructure(engine::TableDef& d) {
  shapes::AddUniqueDescription(d, 128, "Descrizione della valuta");
  d.AddField("Simbolo", FieldType::Text, 16, "", "", kNotSet, kNotSet, kNotSet, true,
             "Simbolo della valuta");
  d.AddField("RapportoDiCambio", FieldType::Number, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Rapporto di cambio utilizzato per il calcolo del prezzo di listino nella valuta del "
             "cliente");
}

void Valute::itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection&, double,
                                             bool created) {
  if (created)
    AddRows(
        table,
        {{{"Descrizione", Text("Euro")}, {"Simbolo", Text("€")}, {"RapportoDiCambio", Num(1)}},
         {{"Descrizione", Text("Dollaro")}, {"Simbolo", Text("$")}, {"RapportoDiCambio", Num(1)}}});
}

}  // namespace tillbook::data
