// The table `DettagliDDTFornitoriLib`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class DettagliDDTFornitoriLib : public TableClass {
 public:
  explicit DettagliDDTFornitoriLib(const TableSwitches& s)
      : TableClass("DettagliDDTFornitoriLib", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnNewRow(engine::Row& row, engine::HookReply& reply) override;
  void itfSetData_OnSetParent(engine::Row& child, const engine::Row& parent) override;
};

}  // namespace tillbook::data
