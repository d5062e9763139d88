#include "data/Listini.h"

#include "data/shapes_registries.h"
#include "engine/connection.h"
#include "engine/row.h"

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

// Deleting a price list takes its personalisations of sectors and articles with it.
void Listini::itfSetData_OnDeleteRow(engine::Row& row, engine::HookReply& reply) {
  TableClass::itfSetData_OnDeleteRow(row, reply);
  if (reply.cancelled() ||
      !reply.Ask("Sei sicuro di eliminare definitivamente il listino e tutte le relative "
                 "personalizzazioni ?"))
    return;
  engine::Connection& c = row.connection();
  for (const char* table : {"DettagliListinoSettori", "DettagliListinoArticoli"})
    for (int64_t id : c.FindOids(table, "Listino", Variant::Double(row.Oid())))
      if (auto personal = c.GetRow(table, id); personal && !personal->Delete()) {
        reply.Refuse({});
        return;
      }
}

}  // namespace tillbook::data
