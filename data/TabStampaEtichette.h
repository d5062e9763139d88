// The table `TabStampaEtichette`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class TabStampaEtichette : public TableClass {
 public:
  explicit TabStampaEtichette(const TableSwitches& s) : TableClass("TabStampaEtichette", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
