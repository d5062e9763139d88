// The table `Banche`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class Banche : public TableClass {
 public:
  explicit Banche(const TableSwitches& s) : TableClass("Banche", s) { Protect({"Nome", ""}); }
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection& connection,
                                       double storedVersion, bool created) override;
  void itfSetData_OnNewRow(engine::Row& row, engine::HookReply& reply) override;
};

}  // namespace tillbook::data
