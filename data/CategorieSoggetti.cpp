#include "data/CategorieSoggetti.h"

#include <vector>

#include "data/shapes_registries.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

namespace {

// The named categories; versions before 1.1 wrote none of them.
std::vector<engine::FieldValues> NamedCategories() {
  return {{{"Descrizione", Text("PRIVATO")}, {"Categoria", Int(2)}},
          {{"Descrizione", Text("IMPRESA INDIVIDUALE")}, {"Categoria", Int(1)}},
          {{"Descrizione", Text("AZIENDA")}, {"Categoria", Int(0)}},
          {{"Descrizione", Text("S.R.L.")}, {"Categoria", Int(0)}},
          {{"Descrizione", Text("S.P.A.")}, {"Categoria", Int(0)}},
          {{"Descrizione", Text("S.N.C.")}, {"Categoria", Int(0)}}};
}

}  // namespace

void CategorieSoggetti::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Version = 1.2;
}

void CategorieSoggetti::itfDefTable_DefineStructure(engine::TableDef& d) {
  shapes::AddUniqueDescription(d, 64, "Descrizione della categoria");
  d.AddField("Categoria", FieldType::Integer, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Categoria del Soggetto", "0|AZIENDA|1|IMPRESA INDIVIDUALE|2|PRIVATO|9|ALTRO");
}

void CategorieSoggetti::itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection&,
                                                        double storedVersion, bool created) {
  if (created) {
    shapes::AddMissingRows(table, "Descrizione", NamedCategories());
    AddRows(table, {{{"Descrizione", Text("")}, {"Categoria", Int(9)}}});
  } else if (storedVersion < 1.1) {
    // A category someone already entered under one of these names is kept as it is.
    shapes::AddMissingRows(table, "Descrizione", NamedCategories());
  }
}

}  // namespace tillbook::data
