#include "data/TipiDocumento.h"

#include "engine/row.h"

#include "data/shapes_registries.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void TipiDocumento::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Version = 1.7;
}

void TipiDocumento::itfDefTable_DefineStructure(engine::TableDef& d) {
  shapes::AddUniqueDescription(d, 32);
  d.AddField("Contabilizza", FieldType::YesNo, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Identifica se si tratta di un'operazione da contabilizzare");
  d.AddField("Ambito", FieldType::Integer, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Indica l'ambito di utilizzo",
             "0|[ tutti ]|1|SOLO VENDITA|2|SOLO ACQUISTO|3|SOLO SCONTRINO");
  d.AddField("Abilitato", FieldType::YesNo, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Indica se il tipo di documento può essere usato per le successive operazioni");
}

void TipiDocumento::itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection&,
                                                    double, bool created) {
  if (!created) return;
  AddRows(table, {{{"Descrizione", Text("FATTURA")}, {"Contabilizza", Flag(true)}},
                  {{"Descrizione", Text("SCONTRINO FISCALE")},
                   {"Contabilizza", Flag(true)},
                   {"Ambito", Int(3)}},
                  {{"Descrizione", Text("RICEVUTA NON FISCALE")}, {"Contabilizza", Flag(false)}},
                  {{"Descrizione", Text("SCONTRINO NON FISCALE")},
                   {"Contabilizza", Flag(false)},
                   {"Ambito", Int(3)}}});
}

// A new document type: every scope, posted and enabled unless its row says otherwise.
void TipiDocumento::itfSetData_OnNewRow(engine::Row& row, engine::HookReply&) {
  row.Set("Ambito", Int(0));
  row.Set("Contabilizza", Flag(true));
  row.Set("Abilitato", Flag(true));
}

}  // namespace tillbook::data
