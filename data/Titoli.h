// The table `Titoli`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class Titoli : public TableClass {
 public:
  explicit Titoli(const TableSwitches& s) : TableClass("Titoli", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
