// The table `DettagliVenditeLib`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class DettagliVenditeLib : public TableClass {
 public:
  explicit DettagliVenditeLib(const TableSwitches& s) : TableClass("DettagliVenditeLib", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnNewRow(engine::Row& row, engine::HookReply& reply) override;
  void itfSetData_OnSetParent(engine::Row& child, const engine::Row& parent) override;
};

}  // namespace tillbook::data
