// The table `DettagliDDTClientiLib`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class DettagliDDTClientiLib : public TableClass {
 public:
  explicit DettagliDDTClientiLib(const TableSwitches& s) : TableClass("DettagliDDTClientiLib", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
