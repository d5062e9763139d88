#include "data/Comuni.h"

#include "engine/connection.h"
#include "engine/row.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void Comuni::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Caption = "Comuni / Città";
  d.Version = 1.8;
}

void Comuni::itfDefTable_DefineStructure(engine::TableDef& d) {
  d.AddField("Descrizione", FieldType::Text, 64, "", "", kNotSet, kNotSet, kNotSet, true,
             "Descrizione del Comune");
  d.AddField("CAP", FieldType::Code, 8, "", "", kNotSet, kNotSet, kNotSet, true,
             "Codice Avviamento Postale");
  d.AddField("Provincia", FieldType::Code, 32, "", "", kNotSet, kNotSet, kNotSet, true,
             "Provincia di appartenenza del Comune");

  d.AddReference("Nazione", "Nazioni", false, false, "", "Descrizione");

  d.AddIndex("Descrizione", false);
  d.AddIndex("CAP", false);
  d.AddIndex("Descrizione", true, "InxComuni")
      .AddIndexReference("Nazione")
      .AddIndexField("CAP")
      .AddIndexField("Provincia");
}

void Comuni::itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection& connection,
                                             double, bool created) {
  if (!created) return;
  // The empty town, then one Italian town so that the list is not empty on first use. The town
  // carries only the fields this table declares: its ISTAT codes have no column here.
  AddRows(table, {{{"Descrizione", Text("")}},
                  {{"Descrizione", Text("Roma")},
                   {"CAP", Text("00100")},
                   {"Provincia", Text("RM")},
                   {"Nazione", RowId(connection, "Nazioni", "Descrizione", Text("Italia"))}}});
}

// A new town is Italian until told otherwise.
void Comuni::itfSetData_OnNewRow(engine::Row& row, engine::HookReply&) {
  row.Set("CAP", Text(""));
  row.Set("Provincia", Text(""));
  const auto italy = row.connection().FindOids("Nazioni", "Descrizione", Text("Italia"));
  if (!italy.empty()) row.SetReferenceOid("Nazione", italy.front());
}

}  // namespace tillbook::data
