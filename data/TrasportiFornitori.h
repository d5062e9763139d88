// The table `TrasportiFornitori`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class TrasportiFornitori : public TableClass {
 public:
  explicit TrasportiFornitori(const TableSwitches& s) : TableClass("TrasportiFornitori", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
