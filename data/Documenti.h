// The table `Documenti`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class Documenti : public TableClass {
 public:
  explicit Documenti(const TableSwitches& s) : TableClass("Documenti", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
