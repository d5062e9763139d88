#include "data/EsenzioniIva.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void EsenzioniIva::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Caption = "Esenzioni Iva";
  d.Version = 1.2;
}

void EsenzioniIva::itfDefTable_DefineStructure(engine::TableDef& d) {
  d.AddField("Esenzione", FieldType::YesNo, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Attivare per indicare l'esenzione da IVA");
  d.AddField("Causale", FieldType::Text, 127, "", "", kNotSet, kNotSet, kNotSet, true,
             "Descrizione della causale di esenzione da IVA");
  d.AddIndex("Causale", true);
}

void EsenzioniIva::itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection&,
                                                   double, bool created) {
  if (created)
    AddRows(table, {{{"Causale", Text("")}, {"Esenzione", Flag(false)}},
                    {{"Causale", Text("ESENTE")}, {"Esenzione", Flag(true)}}});
}

}  // namespace tillbook::data
