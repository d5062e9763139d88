// The table `TrasportiClienti`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class TrasportiClienti : public TableClass {
 public:
  explicit TrasportiClienti(const TableSwitches& s) : TableClass("TrasportiClienti", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
