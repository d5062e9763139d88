// The table `Vendite`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class Vendite : public TableClass {
 public:
  explicit Vendite(const TableSwitches& s) : TableClass("Vendite", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
