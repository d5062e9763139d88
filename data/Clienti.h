// The table `Clienti`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class Clienti : public TableClass {
 public:
  explicit Clienti(const TableSwitches& s) : TableClass("Clienti", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
