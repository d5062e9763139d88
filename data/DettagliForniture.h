// The table `DettagliForniture`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class DettagliForniture : public TableClass {
 public:
  explicit DettagliForniture(const TableSwitches& s) : TableClass("DettagliForniture", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
