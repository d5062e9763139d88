#include "data/Vettori.h"

#include "data/shapes_registries.h"

namespace tillbook::data {

void Vettori::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.BaseTable = "Soggetti";
  d.Version = 2.1;
}

void Vettori::itfDefTable_DefineStructure(engine::TableDef& d) {
  shapes::AddSubjectCode(d, "Codice del Vettore");
  shapes::AddAttachedDocuments(d);
}

void Vettori::itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection&, double,
                                              bool created) {
  // The empty placeholder carrier documents start with.
  if (created) AddRows(table, {{{"Codice", Text("")}, {"RagioneSociale", Text("")}}});
}

}  // namespace tillbook::data
