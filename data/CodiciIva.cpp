#include "data/CodiciIva.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void CodiciIva::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Caption = "Codici Iva";
  d.Version = 1.4;
}

void CodiciIva::itfDefTable_DefineStructure(engine::TableDef& d) {
  d.AddField("Codice", FieldType::Text, 16);
  d.AddField("Descrizione", FieldType::Text, 255);
  d.AddField("Percentuale", FieldType::Number, 0, "", "", 15, kNotSet, 1);
  d.AddField("CodiceCassaPredefinito", FieldType::Integer, 0, "", "", kNotSet, kNotSet, kNotSet,
             true, "Codice del reparto predefinito nel registratore di cassa");
  d.AddIndex("Codice", true);
  d.AddIndex("Descrizione", false);
  d.AddIndex("Percentuale", false);
}

void CodiciIva::itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection&, double,
                                                bool created) {
  if (created)
    AddRows(
        table,
        {{{"Codice", Text("00")},
          {"Descrizione", Text("Fuori campo IVA")},
          {"Percentuale", Num(0)}},
         {{"Codice", Text("IVA20")}, {"Descrizione", Text("IVA al 20%")}, {"Percentuale", Num(20)}},
         {{"Codice", Text("IVA10")}, {"Descrizione", Text("IVA al 10%")}, {"Percentuale", Num(10)}},
         {{"Codice", Text("IVA04")}, {"Descrizione", Text("IVA al 4%")}, {"Percentuale", Num(4)}}});
}

}  // namespace tillbook::data
