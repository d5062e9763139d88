// The table `CodiciIva`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class CodiciIva : public TableClass {
 public:
  explicit CodiciIva(const TableSwitches& s) : TableClass("CodiciIva", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection& connection,
                                       double storedVersion, bool created) override;
  void itfSetData_OnUpdateField(engine::Row& row, std::string_view field,
                                engine::HookReply& reply) override;
  void itfSetData_OnUpdateRow(engine::Row& row, engine::HookReply& reply) override;
};

}  // namespace tillbook::data
