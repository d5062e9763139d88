// The table `DettagliPrezziFornitori`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class DettagliPrezziFornitori : public TableClass {
 public:
  explicit DettagliPrezziFornitori(const TableSwitches& s) : TableClass("DettagliPrezziFornitori", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
