#include "data/CodiciCorrelati.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void CodiciCorrelati::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Version = 1;
  d.TableOptions = 1;
}

void CodiciCorrelati::itfDefTable_DefineStructure(engine::TableDef& d) {
  d.AddField("Codice", FieldType::Text, 32, "", "", 1, kNotSet, kNotSet, true, "Codice aggiuntivo");
  d.AddField("Note", FieldType::Text, 128);
  d.AddIndex("Codice", false);
}

}  // namespace tillbook::data
