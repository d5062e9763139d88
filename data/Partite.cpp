#include "data/Partite.h"

namespace tillbook::data {

// Deliberately empty: the class exists, but the table list leaves it out, so no archive has the
// table.
void Partite::itfDefTable_DefineIdentity(engine::TableDef& d) {}

void Partite::itfDefTable_DefineStructure(engine::TableDef& d) {}

}  // namespace tillbook::data
