// The table `Causali`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class Causali : public TableClass {
 public:
  explicit Causali(const TableSwitches& s) : TableClass("Causali", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection& connection,
                                       double storedVersion, bool created) override;
};

}  // namespace tillbook::data
