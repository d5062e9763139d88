#include "data/TipiTrasporto.h"

#include "engine/row.h"

#include <vector>

#include "data/shapes_registries.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

namespace {

// Loads from suppliers and returns to customers; versions before 1.2 had only the delivery note.
std::vector<engine::FieldValues> LaterTransportTypes() {
  return {
      {{"Descrizione", Text("Carico da Fornitore (d.d.t.)")}, {"Abbreviazione", Text("Carico")}},
      {{"Descrizione", Text("Reso a Cliente")}, {"Abbreviazione", Text("ResoCli")}}};
}

}  // namespace

void TipiTrasporto::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Version = 1.3;
}

void TipiTrasporto::itfDefTable_DefineStructure(engine::TableDef& d) {
  shapes::AddUniqueDescription(d, 32);
  d.AddField("Abbreviazione", FieldType::Text, 8);
  d.AddField("Abilitato", FieldType::YesNo, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Indica il tipo che può essere usata per le successive operazioni");
}

void TipiTrasporto::itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection&,
                                                    double storedVersion, bool created) {
  if (created) {
    AddRows(table, {{{"Descrizione", Text("Documento di Trasporto / Bolla")},
                     {"Abbreviazione", Text("D.d.T.")}}});
    shapes::AddMissingRows(table, "Descrizione", LaterTransportTypes());
  } else if (storedVersion < 1.2) {
    shapes::AddMissingRows(table, "Descrizione", LaterTransportTypes());
  }
}

void TipiTrasporto::itfSetData_OnNewRow(engine::Row& row, engine::HookReply&) {
  row.Set("Abilitato", Flag(true));
}

}  // namespace tillbook::data
