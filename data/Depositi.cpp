#include "data/Depositi.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void Depositi::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Caption = "Depositi / Magazzini";
  d.Version = 1.2;
}

void Depositi::itfDefTable_DefineStructure(engine::TableDef& d) {
  d.AddField("Codice", FieldType::Code, 8, "", "", kNotSet, kNotSet, kNotSet, true,
             "Codice identificativo");
  d.AddField("Deposito", FieldType::Text, 32, "", "", kNotSet, kNotSet, kNotSet, true,
             "Nome del Deposito / Magazzino articoli");
  d.AddField("Descrizione", FieldType::Text, 128, "", "", kNotSet, kNotSet, kNotSet, true,
             "Descrizione / Dettagli del Deposito o del Magazzino");
  d.AddIndex("Codice", true);
  d.AddIndex("Deposito", true);
}

void Depositi::itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection&, double,
                                               bool created) {
  if (created)
    AddRows(table, {{{"Codice", Text("")},
                     {"Deposito", Text("Magazzino")},
                     {"Descrizione", Text("Materiale da vendere")}}});
}

}  // namespace tillbook::data
