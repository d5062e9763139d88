// The table `Materiali`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class Materiali : public TableClass {
 public:
  explicit Materiali(const TableSwitches& s) : TableClass("Materiali", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
