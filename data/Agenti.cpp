#include "data/Agenti.h"

#include "data/shapes_registries.h"
#include "engine/row.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void Agenti::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.BaseTable = "Soggetti";
  d.Version = 2;
}

void Agenti::itfDefTable_DefineStructure(engine::TableDef& d) {
  shapes::AddSubjectCode(d, "Codice dell'Agente");
  d.AddField("Provvigione", FieldType::Number, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Provvigione assegnata all'Agente");

  if (switches().Use_Zone)
    d.AddReference("ZoneDiCopertura", "ZoneGeografiche", true, false, "", "Descrizione", kNotSet,
                   kNotSet, kNotSet, "Zona di rappresentanza per l' Agente");
  d.AddReference("BancaDiAppoggio", "Banche", false, false, "Nome", "Agenzia", kNotSet, kNotSet,
                 kNotSet, "Banca di appoggio abituale dell'Agente");
}

void Agenti::itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection&, double,
                                             bool created) {
  // Agent "00" stands for "no agent": new customers point at it. A new archive has no zones, so
  // its list of covered zones starts empty.
  if (created) AddRows(table, {{{"Codice", Text("00")}, {"RagioneSociale", Text("")}}});
}

void Agenti::itfSetData_OnNewRow(engine::Row& row, engine::HookReply&) {
  row.Set("Provvigione", Num(0));
}

void Agenti::itfSetData_OnSelect(engine::SelectRequest& request) {
  if (request.sort.empty()) request.sort = "*,Codice,RagioneSociale";
}

}  // namespace tillbook::data
