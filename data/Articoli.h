// The table `Articoli`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class Articoli : public TableClass {
 public:
  explicit Articoli(const TableSwitches& s) : TableClass("Articoli", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
