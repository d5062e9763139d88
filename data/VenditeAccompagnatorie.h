// The table `VenditeAccompagnatorie`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class VenditeAccompagnatorie : public TableClass {
 public:
  explicit VenditeAccompagnatorie(const TableSwitches& s) : TableClass("VenditeAccompagnatorie", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
