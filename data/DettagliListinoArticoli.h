// The table `DettagliListinoArticoli`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class DettagliListinoArticoli : public TableClass {
 public:
  explicit DettagliListinoArticoli(const TableSwitches& s) : TableClass("DettagliListinoArticoli", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
