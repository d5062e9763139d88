// The table `OrdiniFornitori`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class OrdiniFornitori : public TableClass {
 public:
  explicit OrdiniFornitori(const TableSwitches& s) : TableClass("OrdiniFornitori", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
