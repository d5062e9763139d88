// The table `TabProspettiStampa`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class TabProspettiStampa : public TableClass {
 public:
  explicit TabProspettiStampa(const TableSwitches& s) : TableClass("TabProspettiStampa", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnNewRow(engine::Row& row, engine::HookReply& reply) override;
};

}  // namespace tillbook::data
