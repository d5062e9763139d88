// The table `DettagliVendite`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class DettagliVendite : public TableClass {
 public:
  explicit DettagliVendite(const TableSwitches& s) : TableClass("DettagliVendite", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
