// The table `DettagliOrdiniClientiLib`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class DettagliOrdiniClientiLib : public TableClass {
 public:
  explicit DettagliOrdiniClientiLib(const TableSwitches& s) : TableClass("DettagliOrdiniClientiLib", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
