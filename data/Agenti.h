// The table `Agenti`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class Agenti : public TableClass {
 public:
  explicit Agenti(const TableSwitches& s) : TableClass("Agenti", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection& connection,
                                       double storedVersion, bool created) override;
};

}  // namespace tillbook::data
