#include "data/Fornitori.h"

#include "data/shapes_registries.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void Fornitori::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Caption = "Fornitori";
  d.BaseTable = "Soggetti";
  d.Version = 4.3;
}

void Fornitori::itfDefTable_DefineStructure(engine::TableDef& d) {
  shapes::AddSubjectCode(d, "Codice del Fornitore");
  d.AddField("TempoConsegna", FieldType::Integer, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Tempo di consegna espresso in giorni");

  shapes::AddPaymentReferences(d);
  shapes::AddAttachedDocuments(d);

  d.FieldOrder = "Codice";
}

}  // namespace tillbook::data
