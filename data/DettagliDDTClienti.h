// The table `DettagliDDTClienti`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class DettagliDDTClienti : public TableClass {
 public:
  explicit DettagliDDTClienti(const TableSwitches& s) : TableClass("DettagliDDTClienti", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnNewRow(engine::Row& row, engine::HookReply& reply) override;
  void itfSetData_OnSetParent(engine::Row& child, const engine::Row& parent) override;
};

}  // namespace tillbook::data
