#include "data/DB.h"

namespace tillbook::data {

void DB::itfDefDatabase_Define(engine::DatabaseDef&) {
  // The table classes join this list as the data model is written.
}

}  // namespace tillbook::data
