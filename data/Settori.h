// The table `Settori`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class Settori : public TableClass {
 public:
  explicit Settori(const TableSwitches& s) : TableClass("Settori", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection& connection,
                                       double storedVersion, bool created) override;
  void itfSetData_OnUpdateReference(engine::Row& row, std::string_view reference,
                                    const engine::Row* referenced,
                                    engine::HookReply& reply) override;
};

}  // namespace tillbook::data
