// The table `TipiPorto`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class TipiPorto : public TableClass {
 public:
  explicit TipiPorto(const TableSwitches& s) : TableClass("TipiPorto", s) {
    Protect({"Descrizione", ""});
  }
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection& connection,
                                       double storedVersion, bool created) override;
};

}  // namespace tillbook::data
