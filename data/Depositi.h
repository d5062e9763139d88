// The table `Depositi`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class Depositi : public TableClass {
 public:
  explicit Depositi(const TableSwitches& s) : TableClass("Depositi", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection& connection,
                                       double storedVersion, bool created) override;
};

}  // namespace tillbook::data
