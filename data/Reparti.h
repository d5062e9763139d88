// The table `Reparti`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class Reparti : public TableClass {
 public:
  explicit Reparti(const TableSwitches& s) : TableClass("Reparti", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection& connection,
                                       double storedVersion, bool created) override;
};

}  // namespace tillbook::data
