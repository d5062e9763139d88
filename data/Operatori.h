// The table `Operatori`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class Operatori : public TableClass {
 public:
  explicit Operatori(const TableSwitches& s) : TableClass("Operatori", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnNewRow(engine::Row& row, engine::HookReply& reply) override;
  void itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection& connection,
                                       double storedVersion, bool created) override;
  void itfSetData_OnDeleteRow(engine::Row& row, engine::HookReply& reply) override;
};

}  // namespace tillbook::data
