// The table `DettagliVendite`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class DettagliVendite : public TableClass {
 public:
  explicit DettagliVendite(const TableSwitches& s) : TableClass("DettagliVendite", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnSelect(engine::SelectRequest& request) override;
  void itfSetData_OnNewRow(engine::Row& row, engine::HookReply& reply) override;
  void itfSetData_OnSetParent(engine::Row& child, const engine::Row& parent) override;
};

}  // namespace tillbook::data
