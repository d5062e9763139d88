// The table `DettagliOrdiniFornitori`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class DettagliOrdiniFornitori : public TableClass {
 public:
  explicit DettagliOrdiniFornitori(const TableSwitches& s)
      : TableClass("DettagliOrdiniFornitori", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnNewRow(engine::Row& row, engine::HookReply& reply) override;
  void itfSetData_OnSetParent(engine::Row& child, const engine::Row& parent) override;
};

}  // namespace tillbook::data
