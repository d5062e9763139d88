#include "data/Titoli.h"

namespace tillbook::data {

// Deliberately empty: the class exists, but the table list leaves it out, so no archive has the
// table.
void Titoli::itfDefTable_DefineIdentity(engine::TableDef& d) {}

void Titoli::itfDefTable_DefineStructure(engine::TableDef& d) {}

}  // namespace tillbook::data
