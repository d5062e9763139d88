// The table `MigrazioneCampi`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class MigrazioneCampi : public TableClass {
 public:
  explicit MigrazioneCampi(const TableSwitches& s) : TableClass("MigrazioneCampi", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
