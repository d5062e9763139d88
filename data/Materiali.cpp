#include "data/Materiali.h"

namespace tillbook::data {

void Materiali::itfDefTable_DefineIdentity(engine::TableDef& d) {}

void Materiali::itfDefTable_DefineStructure(engine::TableDef& d) {}

}  // namespace tillbook::data
