// The table `DettagliFornitureLib`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class DettagliFornitureLib : public TableClass {
 public:
  explicit DettagliFornitureLib(const TableSwitches& s) : TableClass("DettagliFornitureLib", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
