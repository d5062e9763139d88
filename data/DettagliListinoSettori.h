// The table `DettagliListinoSettori`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class DettagliListinoSettori : public TableClass {
 public:
  explicit DettagliListinoSettori(const TableSwitches& s) : TableClass("DettagliListinoSettori", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
