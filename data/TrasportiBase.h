// The table `TrasportiBase`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class TrasportiBase : public TableClass {
 public:
  explicit TrasportiBase(const TableSwitches& s) : TableClass("TrasportiBase", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
