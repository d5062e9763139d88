// The table `Fornitori`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class Fornitori : public TableClass {
 public:
  explicit Fornitori(const TableSwitches& s) : TableClass("Fornitori", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnNewRow(engine::Row& row, engine::HookReply& reply) override;
  void itfSetData_OnSelect(engine::SelectRequest& request) override;
};

}  // namespace tillbook::data
