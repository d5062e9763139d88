#include "data/DettagliListinoSettori.h"

#include "data/shapes_registries.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void DettagliListinoSettori::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Version = 1;
}

void DettagliListinoSettori::itfDefTable_DefineStructure(engine::TableDef& d) {
  d.AddField("PercentualeRicarico", FieldType::Number, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Percentuale di ricarico");
  shapes::AddPriceListOfMarkup(d);
}

}  // namespace tillbook::data
