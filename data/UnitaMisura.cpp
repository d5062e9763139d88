#include "data/UnitaMisura.h"

namespace tillbook::data {

using engine::FieldType;

void UnitaMisura::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Caption = "Unità di Misura";
}

void UnitaMisura::itfDefTable_DefineStructure(engine::TableDef& d) {
  d.AddField("Codice", FieldType::Text, 16);
  d.AddField("Descrizione", FieldType::Text, 64);
  d.AddField("Confezionamento", FieldType::Text, 30);
  d.AddField("SimboloMisura", FieldType::Text, 8);
  d.AddField("ElementiMultipli", FieldType::YesNo);
  d.AddField("Decimali", FieldType::YesNo);
  d.AddIndex("Codice", true);
  d.AddIndex("Descrizione", true);
}

void UnitaMisura::itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection&, double,
                                                  bool created) {
  if (!created) return;
  struct Unit {
    const char* code;
    const char* description;
    const char* packaging;
    bool multiple;
    const char* symbol;
    bool decimals;
  };
  static constexpr Unit kUnits[] = {
      {"QntPzz", "Quantita' pezzi", "Pezzi", false, "Pz", false},
      {"QntCnf", "Quantita' confezioni", "Confezioni", true, "Cnf", false},
      {"QntPnc", "Quantita' pancali", "Pancali", true, "Pnc", false},
      {"GrBst", "Peso imbustati (gr)", "Buste", false, "Gr", false},
      {"GrSct", "Peso scatole (gr)", "Scatole", false, "Gr", true},
      {"GrPzz", "Peso pezzi (gr)", "Pezzi", false, "Gr", true},
      {"KgSct", "Peso scatole (kg)", "Scatole", false, "Kg", true},
      {"KgPzz", "Peso pezzi (kg)", "Pezzi", false, "Kg", true},
      {"TmpOre", "Ore", "", false, "Ore", false},
      {"Corpo", "A Corpo", "", false, "", false},
  };
  for (const Unit& u : kUnits)
    AddRows(table, {{{"Codice", Text(u.code)},
                     {"Descrizione", Text(u.description)},
                     {"Confezionamento", Text(u.packaging)},
                     {"ElementiMultipli", Flag(u.multiple)},
                     {"SimboloMisura", Text(u.symbol)},
                     {"Decimali", Flag(u.decimals)}}});
}

}  // namespace tillbook::data
