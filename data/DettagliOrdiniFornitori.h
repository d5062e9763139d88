// The table `DettagliOrdiniFornitori`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class DettagliOrdiniFornitori : public TableClass {
 public:
  explicit DettagliOrdiniFornitori(const TableSwitches& s) : TableClass("DettagliOrdiniFornitori", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
