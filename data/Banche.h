// The table `Banche`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class Banche : public TableClass {
 public:
  explicit Banche(const TableSwitches& s) : TableClass("Banche", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection& connection,
                                       double storedVersion, bool created) override;
};

}  // namespace tillbook::data
