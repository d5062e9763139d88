// The table `Soggetti`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class Soggetti : public TableClass {
 public:
  explicit Soggetti(const TableSwitches& s) : TableClass("Soggetti", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
