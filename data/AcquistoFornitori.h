// The table `AcquistoFornitori`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class AcquistoFornitori : public TableClass {
 public:
  explicit AcquistoFornitori(const TableSwitches& s) : TableClass("AcquistoFornitori", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
