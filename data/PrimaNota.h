// The table `PrimaNota`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class PrimaNota : public TableClass {
 public:
  explicit PrimaNota(const TableSwitches& s) : TableClass("PrimaNota", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnSelect(engine::SelectRequest& request) override;
};

}  // namespace tillbook::data
