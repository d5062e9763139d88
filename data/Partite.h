// The table `Partite`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class Partite : public TableClass {
 public:
  explicit Partite(const TableSwitches& s) : TableClass("Partite", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
