// The table `UnitaMisura`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class UnitaMisura : public TableClass {
 public:
  explicit UnitaMisura(const TableSwitches& s) : TableClass("UnitaMisura", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection& connection,
                                       double storedVersion, bool created) override;
};

}  // namespace tillbook::data
