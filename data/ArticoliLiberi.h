// The table `ArticoliLiberi`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class ArticoliLiberi : public TableClass {
 public:
  explicit ArticoliLiberi(const TableSwitches& s) : TableClass("ArticoliLiberi", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
